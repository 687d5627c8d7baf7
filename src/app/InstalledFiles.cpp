#include "InstalledFiles.h"

#include "platform/Desktop.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QScopeGuard>

namespace kelm {

namespace {

// The installation's shared files and its data seen from its program folder; the build writes them
// from the install layout (bin/, share/kelm/ and share/kelm/data/).
const QString kSharedFromProgram = QStringLiteral(KELM_SHARE_FROM_PROGRAM);
const QString kDataFromProgram = QStringLiteral(KELM_DATA_FROM_PROGRAM);

} // namespace

QString HelpFile(const QString& programFolder)
{
    const QString name = QString::fromLatin1(kHelpFileName);
    if (platform::FileExists(QDir::current().filePath(name)))
        return name;
    for (const QString& folder : {programFolder, QDir::cleanPath(programFolder + u'/' + kSharedFromProgram)}) {
        const QString installed = QDir(folder).filePath(name);
        if (platform::FileExists(installed))
            return QDir::toNativeSeparators(installed);
    }
    return name;
}

QString InstalledDataFolder(const QString& programFolder)
{
    return QDir::cleanPath(programFolder + u'/' + kDataFromProgram);
}

bool MakeDataFolder(const QString& folder, const QString& installedData)
{
    const QFileInfo target(folder);
    if (target.exists() || target.isSymLink() || !QFileInfo(installedData).isDir())
        return false;
    const QString parent = target.absolutePath();
    // Beside the folder, so that the rename stays on one file system; named by the process, so that two
    // first starts at once never share it.
    const QString staged = parent + QStringLiteral("/.") + target.fileName() + QStringLiteral(".new-") +
                           QString::number(QCoreApplication::applicationPid());
    if (!QDir().mkpath(parent) || !QDir().mkdir(staged))
        return false;
    const auto removeStaged = qScopeGuard([&staged] { QDir(staged).removeRecursively(); });
    const QDir source(installedData);
    for (const QString& name : source.entryList(QDir::Files)) {
        const QString copy = QDir(staged).filePath(name);
        if (!QFile::copy(source.filePath(name), copy))
            return false;
        // The copy takes the installation's permissions; the user's files are the user's to change.
        QFile::setPermissions(copy, QFile::permissions(copy) | QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    }
    // A start that made the folder meanwhile keeps its own.
    return QDir().rename(staged, folder);
}

} // namespace kelm
