#include "FileWriter.h"

#include "FileWriterDetail.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSaveFile>

#include <optional>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace platform {

namespace {

// A file rewritten in place keeps its old bytes in memory to put them back on failure; beyond this
// size the fallback is refused rather than risk a half-written file that cannot be restored.
constexpr qint64 kMaxInPlaceSize = 64 * 1024 * 1024;

bool fail(QString& error, const QString& reason)
{
    error = reason;
    return false;
}

std::nullopt_t failed(QString& error, const QString& reason)
{
    fail(error, reason);
    return std::nullopt;
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

bool writeInPlace(const QString& path, const QByteArray& bytes, QString& error)
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

// WriteWholeFile but for clearing the leftovers: the file written (links resolved), or nothing on failure.
std::optional<QString> writeWholeFile(const QString& path, const QByteArray& bytes, WriteFallback fallback,
                                      QString& error)
{
    if (path.isEmpty())
        return failed(error, QStringLiteral("no file name"));
    const QFileInfo given(path);
    QString target = path;
    if (given.exists()) {
        // Through any symbolic links to the file itself, so that the links stay links.
        if (!given.isFile())
            return failed(error, QStringLiteral("not a regular file"));
        if (given.isSymLink() && !linksMayBeFollowed(path))
            return failed(error, QStringLiteral("a link that another user put in a shared folder"));
        target = given.canonicalFilePath();
    } else if (given.isSymbolicLink()) {
        return failed(error, QStringLiteral("a link to a missing file"));
    }

    QSaveFile file(target);
    if (!file.open(QIODevice::WriteOnly)) {
        // Most often a folder that cannot be written, holding a file that can.
        const QFileInfo existing(target);
        if (fallback == WriteFallback::InPlace && existing.isFile() && existing.isWritable())
            return writeInPlace(target, bytes, error) ? std::optional(target) : std::nullopt;
        return failed(error, file.errorString());
    }
    // QSaveFile::commit() ignores a failure of its own final flush, so everything is flushed and checked
    // here while the old file is still in place.
    if (file.write(bytes) != bytes.size() || !file.flush() || file.error() != QFileDevice::NoError) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return failed(error, reason);
    }
    if (!file.commit())
        return failed(error, file.errorString());
    return target;
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
    return writeWholeFile(path, bytes, WriteFallback::None, error).has_value();
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
    const std::optional<QString> target = writeWholeFile(path, bytes, fallback, error);
    if (!target)
        return false;
    const QFileInfo written(*target);
    const QString name = written.fileName();
    detail::RemoveStaleTemporaryFiles(written.absolutePath(), [&name](QStringView base) { return base == name; });
    return true;
}

} // namespace platform
