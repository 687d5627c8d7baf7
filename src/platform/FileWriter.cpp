#include "FileWriter.h"

#include "FileWriterDetail.h"
#include "PendingFile.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif
#ifdef Q_OS_WIN
#include <io.h>
#endif

namespace platform {

namespace {

bool fail(QString& error, const QString& reason)
{
    error = reason;
    return false;
}

// QSaveFile's temporary names: the file's name, a dot and six letters or digits. A name made only of small
// letters ("kelmtips.ini.backup") looks like a user's own copy and is never touched; a temporary name
// is rarely so, and such a leftover merely stays.
bool looksTemporary(QStringView name, qsizetype baseSize)
{
    if (name.size() != baseSize + 7 || name[baseSize] != u'.')
        return false;
    bool lowerOnly = true;
    for (QChar c : name.sliced(baseSize + 1)) {
        if (!(c.isDigit() || (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z')) || c.unicode() > 127)
            return false;
        lowerOnly = lowerOnly && c >= u'a' && c <= u'z';
    }
    return !lowerOnly;
}

} // namespace

namespace detail {

QString TemporaryNameFor(const QString& target)
{
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    QString name = target + u'.';
    const qsizetype suffix = name.size();
    do {
        name.truncate(suffix);
        for (int i = 0; i < 6; ++i)
            name += QLatin1Char(kLetters[QRandomGenerator::global()->bounded(int(sizeof kLetters - 1))]);
    } while (!looksTemporary(name, suffix - 1));
    return name;
}

void RemoveStaleTemporaryFiles(const QString& folder, const std::function<bool(QStringView name)>& isOurs)
{
    const QDateTime limit = QDateTime::currentDateTimeUtc().addSecs(-kStaleTemporaryFileSeconds);
    const QDir dir(folder);
    for (const QString& entry : dir.entryList(QDir::Files | QDir::Hidden | QDir::NoSymLinks)) {
        const qsizetype baseSize = entry.size() - 7;
        if (baseSize > 0 && looksTemporary(entry, baseSize) && isOurs(QStringView(entry).first(baseSize))) {
            const QString path = dir.filePath(entry);
            if (QFileInfo(path).lastModified().toUTC() < limit)
                QFile::remove(path);
        }
    }
}

bool ReplaceWholeFile(const QString& path, const QByteArray& bytes, QString& error)
{
    PendingFile file(path);
    if (!file.open(error))
        return false;
    file.device().write(bytes);
    return CommitKeepingLeftovers(file, error).has_value();
}

bool SyncFile(QFileDevice& file)
{
#if defined(Q_OS_UNIX)
    return ::fsync(file.handle()) == 0;
#elif defined(Q_OS_WIN)
    return file.handle() >= 0 && ::_commit(file.handle()) == 0;
#else
    Q_UNUSED(file);
    return true;
#endif
}

} // namespace detail

bool RewriteInPlace(QFile& file, const QByteArray& old, const QByteArray& bytes, QString& error)
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

bool WriteWholeFile(const QString& path, const QByteArray& bytes, QString& error)
{
    return WriteWholeFile(path, bytes, WriteFallback::None, error);
}

bool WriteWholeFile(const QString& path, const QByteArray& bytes, WriteFallback fallback, QString& error)
{
    PendingFile file(path, fallback);
    if (!file.open(error))
        return false;
    file.device().write(bytes);
    return file.commit(error);
}

} // namespace platform
