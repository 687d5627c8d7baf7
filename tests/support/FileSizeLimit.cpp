#include "FileSizeLimit.h"

#include <csignal>

#ifdef Q_OS_UNIX
#include <sys/resource.h>
#endif

namespace support {

FileSizeLimit::FileSizeLimit(qint64 bytes)
{
#ifdef Q_OS_UNIX
    rlimit limit{};
    if (::getrlimit(RLIMIT_FSIZE, &limit) != 0)
        return;
    m_before = limit.rlim_cur;
    m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    limit.rlim_cur = rlim_t(bytes);
    m_set = ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
    if (!m_set)
        std::signal(SIGXFSZ, m_oldHandler);
#else
    Q_UNUSED(bytes);
#endif
}

FileSizeLimit::~FileSizeLimit()
{
#ifdef Q_OS_UNIX
    if (!m_set)
        return;
    rlimit limit{};
    ::getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = rlim_t(m_before);
    ::setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, m_oldHandler);
#endif
}

} // namespace support
