#include "Files.h"

#include "Programs.h"

#include <QFile>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace support {

QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size() &&
           file.flush();
}

QString PictureKind(const QByteArray& bytes)
{
    if (bytes.startsWith("\x89PNG\r\n\x1a\n"))
        return QStringLiteral("png");
    if (bytes.startsWith("%PDF-"))
        return QStringLiteral("pdf");
    if (bytes.startsWith("<?xml") && bytes.contains("<svg"))
        return QStringLiteral("svg");
    return QStringLiteral("unknown");
}

bool RunningAsRoot()
{
#ifdef Q_OS_UNIX
    return ::geteuid() == 0;
#else
    return false;
#endif
}

bool SetImmutable(const QString& path, bool on)
{
    return RunProgram(QStringLiteral("chattr"), {on ? "+i" : "-i", path}).status == 0;
}

bool LockFolder(const QString& folder, bool locked)
{
    if (RunningAsRoot())
        return SetImmutable(folder, locked);
    const auto open = QFileDevice::ReadOwner | QFileDevice::ExeOwner;
    return QFile::setPermissions(folder, locked ? open : open | QFileDevice::WriteOwner);
}

} // namespace support
