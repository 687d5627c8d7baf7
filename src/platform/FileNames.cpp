#include "FileNames.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace platform {

namespace {

qsizetype LengthOf(QStringView text, NameLength unit)
{
    return unit == NameLength::Utf16Units ? text.size() : text.toUtf8().size();
}

} // namespace

QString SafeFileNamePart(const QString& name, qsizetype maxLength, NameLength unit)
{
    static const QString forbidden = QStringLiteral("/\\:*?\"<>|");
    QString part;
    qsizetype length = 0;
    for (qsizetype i = 0; i < name.size(); ++i) {
        const QChar c = name[i];
        QString next;
        if (c.isHighSurrogate() && i + 1 < name.size() && name[i + 1].isLowSurrogate()) {
            next = name.mid(i++, 2);
        } else {
            const bool unsafe = c.unicode() < 0x20 || (c.unicode() >= 0x7F && c.unicode() <= 0x9F) ||
                                c.isSurrogate() || c == QChar(QChar::ReplacementCharacter) ||
                                forbidden.contains(c) || (c == u'.' && (i == 0 || name[i - 1] == u'.'));
            next = unsafe ? QString(u'_') : QString(c);
        }
        length += LengthOf(next, unit);
        if (length > maxLength)
            break;
        part += next;
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

QString FreeFileNameIn(const QString& folder, const QString& fileName)
{
    QDir().mkpath(folder);
    return FreeFileName(QDir(folder).filePath(fileName));
}

} // namespace platform
