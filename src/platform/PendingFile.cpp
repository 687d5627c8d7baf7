#include "PendingFile.h"

#include "FileWriterDetail.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>

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

// Passes writes on to a device and remembers the first that falls short: a file system that takes part of
// a write (a full disk, a file-size limit) reports no error for it, and writers such as QPdfWriter never
// look at what a write returns.
class CheckedWrites : public QIODevice {
public:
    explicit CheckedWrites(QIODevice& target) : m_target(target)
    {
        open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    }

    // Empty while every write went through whole.
    QString failure() const { return m_failure; }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override
    {
        if (!m_failure.isEmpty())
            return -1;
        if (m_target.write(data, size) == size)
            return size;
        m_failure = m_target.errorString();
        if (m_failure.isEmpty() || m_failure == QLatin1String("Unknown error"))
            m_failure = QStringLiteral("the disk took only part of the file (full, or over a size limit)");
        return -1;
    }

private:
    QIODevice& m_target;
    QString m_failure;
};

} // namespace

PendingFile::PendingFile(const QString& path, WriteFallback fallback) : m_path(path), m_fallback(fallback) {}

// QSaveFile removes its temporary file when it is destroyed open.
PendingFile::~PendingFile() = default;

bool PendingFile::open(QString& error)
{
    if (m_path.isEmpty())
        return fail(error, QStringLiteral("no file name"));
    const QFileInfo given(m_path);
    m_target = m_path;
    if (given.exists()) {
        // Through any symbolic links to the file itself, so that the links stay links.
        if (!given.isFile())
            return fail(error, QStringLiteral("not a regular file"));
        if (given.isSymLink() && !linksMayBeFollowed(m_path))
            return fail(error, QStringLiteral("a link that another user put in a shared folder"));
        m_target = given.canonicalFilePath();
    } else if (given.isSymbolicLink()) {
        return fail(error, QStringLiteral("a link to a missing file"));
    }

    m_file.setFileName(m_target);
    if (m_file.open(QIODevice::WriteOnly)) {
        m_checked = std::make_unique<CheckedWrites>(m_file);
        return true;
    }
    // Most often a folder that cannot be written, holding a file that can.
    const QFileInfo existing(m_target);
    if (m_fallback == WriteFallback::InPlace && existing.isFile() && existing.isWritable()) {
        m_inPlace.emplace();
        m_inPlace->open(QIODevice::WriteOnly);
        m_checked = std::make_unique<CheckedWrites>(*m_inPlace);
        return true;
    }
    return fail(error, m_file.errorString());
}

QIODevice& PendingFile::device()
{
    if (!m_checked) // not open: a device that takes nothing, so that the commit fails
        m_checked = std::make_unique<CheckedWrites>(m_file);
    return *m_checked;
}

std::optional<QString> PendingFile::commitTarget(QString& error)
{
    const QString shortWrite = m_checked ? static_cast<CheckedWrites&>(*m_checked).failure() : QString();
    if (m_inPlace) {
        if (!shortWrite.isEmpty())
            return failed(error, shortWrite);
        const QByteArray bytes = m_inPlace->data();
        m_inPlace.reset();
        return writeInPlace(m_target, bytes, error) ? std::optional(m_target) : std::nullopt;
    }
    if (!m_file.isOpen())
        return failed(error, QStringLiteral("the file was not opened"));
    // QSaveFile::commit() ignores a failure of its own final flush and of its sync, so everything is
    // flushed, synced and checked here while the old file is still in place.
    QString reason = shortWrite;
    if (reason.isEmpty() && (!m_file.flush() || m_file.error() != QFileDevice::NoError))
        reason = m_file.errorString();
    // Without a descriptor, commit()'s own sync is all there is.
    if (reason.isEmpty() && m_file.handle() >= 0 && !detail::SyncFile(m_file))
        reason = qt_error_string(errno);
    if (!reason.isEmpty()) {
        m_file.cancelWriting();
        m_file.commit(); // with the write cancelled, only removes the temporary file
        return failed(error, reason);
    }
    if (!m_file.commit())
        return failed(error, m_file.errorString());
    return m_target;
}

bool PendingFile::commit(QString& error)
{
    const std::optional<QString> target = commitTarget(error);
    if (!target)
        return false;
    const QFileInfo written(*target);
    const QString name = written.fileName();
    detail::RemoveStaleTemporaryFiles(written.absolutePath(), [&name](QStringView base) { return base == name; });
    return true;
}

namespace detail {

std::optional<QString> CommitKeepingLeftovers(PendingFile& file, QString& error)
{
    return file.commitTarget(error);
}

} // namespace detail

} // namespace platform
