#include "FileWriter.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace platform {

namespace {

// A file rewritten in place keeps its old bytes in memory to put them back on failure; beyond this
// size the fallback is refused rather than risk a half-written file that cannot be restored.
constexpr qint64 kMaxInPlaceSize = 64 * 1024 * 1024;

bool fail(QString* error, const QString& reason)
{
    if (error)
        *error = reason;
    return false;
}

// QTemporaryFile's names: the file's name, a dot and six letters or digits. A name made only of small
// letters ("kelmtips.ini.backup") looks like a user's own copy and is never touched; a temporary name
// is rarely so, and such a leftover merely stays.
bool looksTemporary(const QString& name, const QString& base)
{
    if (name.size() != base.size() + 7 || !name.startsWith(base) || name[base.size()] != u'.')
        return false;
    bool lowerOnly = true;
    for (QChar c : QStringView(name).sliced(base.size() + 1)) {
        if (!(c.isDigit() || (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z')) || c.unicode() > 127)
            return false;
        lowerOnly = lowerOnly && c >= u'a' && c <= u'z';
    }
    return !lowerOnly;
}

void removeStaleTemporaryFiles(const QFileInfo& target)
{
    const QDir folder = target.absoluteDir();
    const QString base = target.fileName();
    const QDateTime limit = QDateTime::currentDateTimeUtc().addSecs(-kStaleTemporaryFileSeconds);
    const QFileInfoList entries =
        folder.entryInfoList({base + QStringLiteral(".??????")}, QDir::Files | QDir::Hidden | QDir::NoSymLinks);
    for (const QFileInfo& entry : entries) {
        if (looksTemporary(entry.fileName(), base) && entry.lastModified().toUTC() < limit)
            QFile::remove(entry.filePath());
    }
}

// The rule the kernel's protected_symlinks applies to opens, which resolving a link ourselves bypasses: a
// link in a world-writable sticky folder (/tmp) is followed only when it belongs to this user or to the
// folder's owner, so that nobody can plant a link there that turns our write onto a file of ours.
bool linkMayBeFollowed(const QString& link)
{
#ifdef Q_OS_UNIX
    struct stat linkStatus {};
    struct stat folderStatus {};
    if (::lstat(QFile::encodeName(link).constData(), &linkStatus) != 0)
        return false;
    if (!S_ISLNK(linkStatus.st_mode))
        return true;
    if (::stat(QFile::encodeName(QFileInfo(link).absolutePath()).constData(), &folderStatus) != 0)
        return false;
    const bool shared = (folderStatus.st_mode & S_ISVTX) && (folderStatus.st_mode & S_IWOTH);
    return !shared || linkStatus.st_uid == ::geteuid() || linkStatus.st_uid == folderStatus.st_uid;
#else
    Q_UNUSED(link);
    return true;
#endif
}

// Each link on the way from path to the file it names passes the rule above.
bool linksMayBeFollowed(QString path)
{
    constexpr int kMaxLinks = 40; // as the kernel's own limit: beyond it the links go round in a loop
    for (int links = 0; links < kMaxLinks; ++links) {
        const QFileInfo info(path);
        if (!info.isSymLink())
            return true;
        if (!linkMayBeFollowed(path))
            return false;
        path = info.symLinkTarget();
    }
    return false;
}

bool writeInPlace(const QString& path, const QByteArray& bytes, QString* error)
{
    QFile file(path);
    if (file.size() > kMaxInPlaceSize)
        return fail(error, QStringLiteral("no temporary file can be made beside it"));
    // Unbuffered: a failed write must leave nothing queued that would later land over the restored bytes.
    if (!file.open(QIODevice::ReadWrite | QIODevice::Unbuffered))
        return fail(error, file.errorString());
    const QByteArray old = file.read(kMaxInPlaceSize + 1);
    if (file.error() != QFileDevice::NoError || old.size() > kMaxInPlaceSize)
        return fail(error, QStringLiteral("no temporary file can be made beside it"));
    return RewriteInPlace(file, old, bytes, error);
}

} // namespace

bool RewriteInPlace(QFile& file, const QByteArray& old, const QByteArray& bytes, QString* error)
{
    // One write of the whole content, then the cut: the file never holds a mix of two writes' lines.
    const auto put = [&file](const QByteArray& data) {
        return file.seek(0) && file.write(data) == data.size() && file.flush() && file.resize(data.size()) &&
               file.error() == QFileDevice::NoError;
    };
    if (put(bytes))
        return true;
    const QString reason = file.errorString();
    file.unsetError();
    if (!put(old))
        return fail(error, reason + QStringLiteral(" (and the old contents could not be put back)"));
    return fail(error, reason);
}

bool WriteWholeFile(const QString& path, const QByteArray& bytes, QString* error)
{
    return WriteWholeFile(path, bytes, WriteFallback::None, error);
}

bool WriteWholeFile(const QString& path, const QByteArray& bytes, WriteFallback fallback, QString* error)
{
    if (path.isEmpty())
        return fail(error, QStringLiteral("no file name"));
    const QFileInfo given(path);
    QString target = path;
    if (given.exists()) {
        // Through any symbolic links to the file itself, so that the links stay links.
        if (!given.isFile())
            return fail(error, QStringLiteral("not a regular file"));
        if (given.isSymLink() && !linksMayBeFollowed(path))
            return fail(error, QStringLiteral("a link that another user put in a shared folder"));
        target = given.canonicalFilePath();
    } else if (given.isSymbolicLink()) {
        return fail(error, QStringLiteral("a link to a missing file"));
    }

    QSaveFile file(target);
    if (!file.open(QIODevice::WriteOnly)) {
        // Most often a folder that cannot be written, holding a file that can.
        const QFileInfo existing(target);
        if (fallback == WriteFallback::InPlace && existing.isFile() && existing.isWritable())
            return writeInPlace(target, bytes, error);
        return fail(error, file.errorString());
    }
    // QSaveFile::commit() ignores a failure of its own final flush, so everything is flushed and checked
    // here while the old file is still in place.
    if (file.write(bytes) != bytes.size() || !file.flush() || file.error() != QFileDevice::NoError) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return fail(error, reason);
    }
    if (!file.commit())
        return fail(error, file.errorString());
    removeStaleTemporaryFiles(QFileInfo(target));
    return true;
}

} // namespace platform
