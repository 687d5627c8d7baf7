#pragma once
// A file-size limit (RLIMIT_FSIZE) on this process, which stands in for a full disk: a write past it
// fails with EFBIG instead of raising SIGXFSZ. The limit before is put back when it goes.

#include <QtGlobal>

namespace support {

class FileSizeLimit {
public:
    explicit FileSizeLimit(qint64 bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

    // False where no limit could be set (not POSIX): the caller skips.
    bool isSet() const { return m_set; }

private:
    bool m_set = false;
    quint64 m_before = 0;
    void (*m_oldHandler)(int) = nullptr;
};

} // namespace support
