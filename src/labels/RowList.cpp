#include "RowList.h"

#include <QFile>
#include <QStringDecoder>

namespace labels {

namespace {

QChar SeparatorOf(QStringView line)
{
    bool quoted = false;
    for (QChar c : line) {
        if (c == u'"')
            quoted = !quoted;
        else if (!quoted && (c == u',' || c == u';' || c == u'\t'))
            return c;
    }
    return u',';
}

// Field column (from 1) of one CSV line; false when the line has fewer fields.
bool Field(QStringView line, QChar separator, int column, QString& field)
{
    int index = 1;
    bool quoted = false;
    field.clear();
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line[i];
        if (quoted) {
            if (c == u'"' && i + 1 < line.size() && line[i + 1] == u'"') {
                if (index == column)
                    field += c;
                ++i;
            } else if (c == u'"') {
                quoted = false;
            } else if (index == column) {
                field += c;
            }
        } else if (c == u'"') {
            quoted = true;
        } else if (c == separator) {
            if (index == column)
                return true;
            ++index;
        } else if (index == column) {
            field += c;
        }
    }
    return index == column;
}

// The line (from 1) of the first character a decoder could not read: the last line when the bytes end
// inside a character.
qsizetype LineOfFirstBadCharacter(const QString& text)
{
    const qsizetype bad = text.indexOf(QChar::ReplacementCharacter);
    return QStringView(text).left(bad < 0 ? text.size() : bad).count(u'\n') + 1;
}

} // namespace

QStringList RowsFromText(const QString& text)
{
    QString normal = text;
    normal.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(u'\r', u'\n');
    if (normal.endsWith(u'\n'))
        normal.chop(1);
    if (normal.isEmpty())
        return {};
    return normal.split(u'\n');
}

bool RowsFromBytes(const QByteArray& bytes, const ListOptions& options, QStringList& rows, QString& error)
{
    rows.clear();
    if (bytes.size() > kMaxListBytes) {
        error =
            QStringLiteral("The list is larger than %L1 MB: it is not a list of labels.").arg(kMaxListBytes >> 20);
        return false;
    }
    QString text;
    const bool utf16 = bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF");
    if (utf16) {
        // Stateless: bytes that end inside a character are an error, not a character left pending.
        QStringDecoder decoder(bytes.startsWith("\xFF\xFE") ? QStringConverter::Utf16LE
                                                            : QStringConverter::Utf16BE,
                               QStringConverter::Flag::Stateless);
        text = decoder.decode(bytes.mid(2));
        // Qt's decoder drops an odd last byte without a word: half a character is a list cut short.
        if (decoder.hasError() || bytes.size() % 2 != 0) {
            error =
                QStringLiteral("The list is not valid UTF-16 text (line %1).").arg(LineOfFirstBadCharacter(text));
            return false;
        }
    } else {
        if (bytes.contains('\0')) {
            error = QStringLiteral("The list holds binary data, not lines of text.");
            return false;
        }
        QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
        text = decoder.decode(bytes.startsWith("\xEF\xBB\xBF") ? bytes.mid(3) : bytes);
        if (decoder.hasError()) {
            // Name the first line that is not UTF-8, so that the user can find it.
            error = QStringLiteral("The list is not UTF-8 text (line %1); save it as UTF-8 and try again.")
                        .arg(LineOfFirstBadCharacter(text));
            return false;
        }
    }
    if (text.contains(QChar(0))) {
        error = QStringLiteral("The list holds binary data, not lines of text.");
        return false;
    }

    QStringList lines = RowsFromText(text);
    if (options.header && !lines.isEmpty())
        lines.removeFirst();
    if (options.column <= 0) {
        rows = lines;
        return true;
    }
    const QChar separator =
        SeparatorOf(options.header ? QStringView(RowsFromText(text).value(0)) : QStringView(lines.value(0)));
    rows.reserve(lines.size());
    QString field;
    for (const QString& line : std::as_const(lines)) {
        if (!Field(line, separator, options.column, field))
            field.clear();
        rows.append(field.trimmed());
    }
    return true;
}

bool ReadListFile(const QString& path, const ListOptions& options, QStringList& rows, QString& error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("Cannot read %1: %2").arg(path, file.errorString());
        return false;
    }
    // One byte more than allowed is enough to know it is too large, whatever the file claims.
    const QByteArray bytes = file.read(kMaxListBytes + 1);
    if (file.error() != QFileDevice::NoError) {
        error = QStringLiteral("Cannot read %1: %2").arg(path, file.errorString());
        return false;
    }
    return RowsFromBytes(bytes, options, rows, error);
}

} // namespace labels
