#include "Errors.h"

namespace platform {

int StrToInt(const QString& text)
{
    // Decimal only, as the toolkit's conversion reads a point size; no blanks, no hex.
    bool ok = false;
    int value = 0;
    const QString t = text;
    if (!t.isEmpty() && !t.front().isSpace() && !t.back().isSpace())
        value = t.toInt(&ok, 10);
    if (!ok)
        throw ConvertError(QStringLiteral("''%1'' is not a valid integer value").arg(text));
    return value;
}

QString StandardErrorText(const QString& message)
{
    if (!message.isEmpty() && message.back().unicode() > u'.')
        return message + u'.';
    return message;
}

} // namespace platform
