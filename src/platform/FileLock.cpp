#include "FileLock.h"

#include <QDeadlineTimer>
#include <QRandomGenerator>
#include <QThread>

#ifdef Q_OS_WIN
#include <io.h>
#include <windows.h>
#else
#include <sys/file.h>
#endif

namespace platform {

namespace {

#ifdef Q_OS_WIN
// The lock covers one byte far beyond any settings file, so it only excludes other lockers and never
// blocks a plain read or write of the file's bytes, as an advisory lock on POSIX does not.
constexpr DWORD kLockOffsetHigh = 0x7fffffff;

bool tryLock(int fd, FileLock::Mode mode)
{
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(fd));
    OVERLAPPED where{};
    where.OffsetHigh = kLockOffsetHigh;
    const DWORD flags =
        LOCKFILE_FAIL_IMMEDIATELY | (mode == FileLock::Mode::Exclusive ? LOCKFILE_EXCLUSIVE_LOCK : 0);
    return LockFileEx(handle, flags, 0, 1, 0, &where);
}

void unlock(int fd)
{
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(fd));
    OVERLAPPED where{};
    where.OffsetHigh = kLockOffsetHigh;
    UnlockFileEx(handle, 0, 1, 0, &where);
}
#else
bool tryLock(int fd, FileLock::Mode mode)
{
    return ::flock(fd, (mode == FileLock::Mode::Exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB) == 0;
}

void unlock(int fd)
{
    ::flock(fd, LOCK_UN);
}
#endif

} // namespace

FileLock::FileLock(QFile& file, Mode mode, int timeoutMs) : m_file(file)
{
    const int fd = file.handle();
    if (fd < 0)
        return;
    // Short, uneven pauses rather than a blocking wait: a copy writing many keys in a row must not keep a
    // waiting copy out until it gives up.
    const QDeadlineTimer deadline(timeoutMs);
    while (!(m_locked = tryLock(fd, mode))) {
        if (deadline.hasExpired())
            return;
        QThread::usleep(QRandomGenerator::global()->bounded(100, 1000));
    }
}

FileLock::~FileLock()
{
    if (m_locked && m_file.handle() >= 0)
        unlock(m_file.handle());
}

} // namespace platform
