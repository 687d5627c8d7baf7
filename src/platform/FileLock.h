#pragma once
// An advisory lock on an open file, for writers that cannot put a lock file beside it (a folder that
// takes no new files). Every copy of the program that rewrites the file in place takes it exclusively,
// and readers take it shared, so that no copy reads or writes while another is half way through.

#include <QFile>

namespace platform {

class FileLock {
public:
    enum class Mode { Shared, Exclusive };

    // Waits up to timeoutMs for the lock on file (which must be open); locked() says whether it came.
    FileLock(QFile& file, Mode mode, int timeoutMs);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    bool locked() const { return m_locked; }

private:
    QFile& m_file;
    bool m_locked = false;
};

} // namespace platform
