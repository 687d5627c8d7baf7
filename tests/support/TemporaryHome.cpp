#include "TemporaryHome.h"

#include <QFile>

namespace support {

TemporaryHome::TemporaryHome()
{
    if (!m_dir.isValid())
        return;
    setVariable("HOME", m_dir.path());
    setVariable("XDG_CONFIG_HOME", m_dir.filePath(QStringLiteral(".config")));
    setVariable("XDG_DATA_HOME", m_dir.filePath(QStringLiteral(".local/share")));
    setVariable("XDG_CACHE_HOME", m_dir.filePath(QStringLiteral(".cache")));
    setVariable("XDG_STATE_HOME", m_dir.filePath(QStringLiteral(".local/state")));
}

TemporaryHome::~TemporaryHome()
{
    // In reverse, so a variable set twice ends as it was before the first.
    for (auto it = m_saved.crbegin(); it != m_saved.crend(); ++it) {
        if (it->second)
            qputenv(it->first.constData(), *it->second);
        else
            qunsetenv(it->first.constData());
    }
}

void TemporaryHome::setVariable(const char* name, const QString& value)
{
    m_saved.append({name, qEnvironmentVariableIsSet(name) ? std::optional(qgetenv(name)) : std::nullopt});
    qputenv(name, QFile::encodeName(value));
}

} // namespace support
