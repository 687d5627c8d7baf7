#include "Common.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace kelm {

QString SafeFileNamePart(const QString& name, qsizetype maxLength)
{
    static const QString forbidden = QStringLiteral("/\\:*?\"<>|");
    QString part;
    for (qsizetype i = 0; i < name.size() && part.size() < maxLength; ++i) {
        const QChar c = name[i];
        if (c.isHighSurrogate() && i + 1 < name.size() && name[i + 1].isLowSurrogate()) {
            if (part.size() + 2 > maxLength)
                break;
            part += c;
            part += name[++i];
            continue;
        }
        const bool unsafe = c.unicode() < 0x20 || (c.unicode() >= 0x7F && c.unicode() <= 0x9F) ||
                            c.isSurrogate() || forbidden.contains(c) ||
                            (c == u'.' && (i == 0 || name[i - 1] == u'.'));
        part += unsafe ? QChar(u'_') : c;
    }
    return part;
}

QString FreeFileName(const QString& wanted)
{
    const QFileInfo info(wanted);
    if (!info.exists() && !info.isSymLink())
        return wanted;
    QString stem = info.completeBaseName();
    static const QRegularExpression numbered(QStringLiteral("^(.*) \\(\\d+\\)$"));
    if (const QRegularExpressionMatch m = numbered.match(stem); m.hasMatch())
        stem = m.captured(1);
    const QString suffix = info.suffix().isEmpty() ? QString() : QLatin1Char('.') + info.suffix();
    for (int i = 2; i <= 9999; ++i) {
        const QString path = info.dir().filePath(QStringLiteral("%1 (%2)%3").arg(stem).arg(i).arg(suffix));
        if (!QFileInfo::exists(path) && !QFileInfo(path).isSymLink())
            return path;
    }
    return {};
}

} // namespace kelm
