#include "FileBatch.h"

#include "FileWriterDetail.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <algorithm>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif
#ifdef Q_OS_WIN
#include <QDir>
#include <windows.h>
#endif

namespace platform {

namespace {

FileBatch::Outcome failed(QString& error, const QString& reason)
{
    error = reason;
    return FileBatch::Outcome::Failed;
}

std::size_t nameHash(QStringView name)
{
    return qHash(name, 0);
}

// Where the sync of a new file can wait for Finish(): a handle on its folder's file system, open from
// before the file is written so that a later sync reports the errors of its writing. Only Linux can sync a
// whole file system through one handle (syncfs); elsewhere -1, and each file is synced as it is written.
int openFolderForSync(const QString& folder)
{
#ifdef Q_OS_LINUX
    return ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
#else
    Q_UNUSED(folder);
    return -1;
#endif
}

// Gives the temporary file from the name to unless something (a file, a folder, a dangling link) already
// holds that name: one step for the system, so that a file made meanwhile by another process is never
// replaced. Exists, with from left in place, when the name is taken.
FileBatch::Outcome renameWithoutReplacing(const QString& from, const QString& to, QString& error)
{
#if defined(Q_OS_WIN)
    const QString source = QDir::toNativeSeparators(from), target = QDir::toNativeSeparators(to);
    if (::MoveFileExW(reinterpret_cast<const wchar_t*>(source.utf16()),
                      reinterpret_cast<const wchar_t*>(target.utf16()), 0))
        return FileBatch::Outcome::Written;
    const DWORD code = ::GetLastError();
    if (code == ERROR_ALREADY_EXISTS || code == ERROR_FILE_EXISTS)
        return FileBatch::Outcome::Exists;
    return failed(error, qt_error_string(int(code)));
#else
    const QByteArray source = QFile::encodeName(from), target = QFile::encodeName(to);
#if defined(Q_OS_LINUX) && defined(RENAME_NOREPLACE)
    if (::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) == 0)
        return FileBatch::Outcome::Written;
    if (errno != EINVAL && errno != ENOSYS)
        return errno == EEXIST ? FileBatch::Outcome::Exists : failed(error, qt_error_string(errno));
#endif
    // Where the flag is unknown (NFS, some FUSE), a hard link refuses a taken name just as well.
    if (::link(source.constData(), target.constData()) == 0) {
        // Should this fail, the second name is a leftover that a later write clears; the file is in place.
        ::unlink(source.constData());
        return FileBatch::Outcome::Written;
    }
    if (errno == EEXIST)
        return FileBatch::Outcome::Exists;
    if (errno != EPERM && errno != EOPNOTSUPP && errno != ENOSYS)
        return failed(error, qt_error_string(errno));
    // A file system without hard links either: the name is looked at just before the rename, which leaves
    // a moment for another program to take it.
    struct stat taken {};
    if (::lstat(target.constData(), &taken) == 0)
        return FileBatch::Outcome::Exists;
    if (::rename(source.constData(), target.constData()) != 0)
        return failed(error, qt_error_string(errno));
    return FileBatch::Outcome::Written;
#endif
}

} // namespace

FileBatch::FileBatch(Existing existing) : m_existing(existing) {}

FileBatch::~FileBatch()
{
    QString unreported; // a batch dropped without Finish() has no one to tell
    if (!m_finished)
        Finish(unreported);
}

FileBatch::Folder& FileBatch::folderOf(const QString& folderPath)
{
    const auto [at, added] = m_folders.try_emplace(folderPath);
    if (added)
        at->second.handle = openFolderForSync(folderPath);
    return at->second;
}

bool FileBatch::WriteWaitsForDisk(const QString& path) const
{
#ifdef Q_OS_LINUX
    const QFileInfo given(path);
    return m_existing == Existing::Replace && (given.exists() || given.isSymLink());
#else
    Q_UNUSED(path);
    return true;
#endif
}

FileBatch::Outcome FileBatch::Write(const QString& path, const QByteArray& bytes, QString& error)
{
    if (path.isEmpty())
        return failed(error, QStringLiteral("no file name"));
    const QFileInfo given(path);
    const auto noteWritten = [&] {
        const std::lock_guard lock(m_mutex);
        folderOf(given.absolutePath()).nameHashes.push_back(nameHash(given.fileName()));
        return Outcome::Written;
    };
    const auto replace = [&] {
        if (m_existing == Existing::Keep)
            return Outcome::Exists;
        QString reason;
        if (!detail::ReplaceWholeFile(path, bytes, reason))
            return failed(error, reason);
        return noteWritten();
    };
    if (given.exists() || given.isSymLink())
        return replace();

    bool syncLater = false;
    {
        const std::lock_guard lock(m_mutex);
        syncLater = folderOf(given.absolutePath()).handle >= 0;
    }
    QFile file;
    for (int attempt = 1;; ++attempt) {
        file.setFileName(detail::TemporaryNameFor(path));
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            break;
        // A name another writer drew as well: draw again.
        const QFileInfo drawn(file.fileName());
        if (attempt == 8 || !(drawn.exists() || drawn.isSymLink()))
            return failed(error, file.errorString());
    }
    const QString temporary = file.fileName();
    const bool written = file.write(bytes) == bytes.size() && file.flush() &&
                         (syncLater || detail::SyncFile(file)) && file.error() == QFileDevice::NoError;
    if (written)
        file.close(); // which may yet fail, on a network file system
    if (!written || file.error() != QFileDevice::NoError) {
        const QString reason = file.errorString();
        QFile::remove(temporary);
        return failed(error, reason);
    }
    QString reason;
    const Outcome committed = renameWithoutReplacing(temporary, path, reason);
    if (committed != Outcome::Written)
        QFile::remove(temporary);
    if (committed == Outcome::Exists)
        return replace(); // made meanwhile by another process
    if (committed == Outcome::Failed)
        return failed(error, reason);
    return noteWritten();
}

bool FileBatch::Finish(QString& error)
{
    const std::lock_guard lock(m_mutex);
    m_finished = true;
    QString reason;
    for (auto& [path, folder] : m_folders) {
#ifdef Q_OS_LINUX
        // One sync of the file system for all the files written, where one per file would wait for the
        // disk as many times.
        if (folder.handle >= 0) {
            if (::syncfs(folder.handle) != 0 && reason.isEmpty())
                reason = qt_error_string(errno);
            ::close(folder.handle);
            folder.handle = -1;
        }
#endif
        std::vector<std::size_t>& written = folder.nameHashes;
        std::sort(written.begin(), written.end());
        detail::RemoveStaleTemporaryFiles(path, [&written](QStringView name) {
            return std::binary_search(written.begin(), written.end(), nameHash(name));
        });
        written.clear();
    }
    m_folders.clear();
    if (!reason.isEmpty())
        error = reason;
    return reason.isEmpty();
}

} // namespace platform
