#include "RowList.h"

#include "Sheet.h"

#include <QFile>
#include <QStringDecoder>

#include <limits>

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

// The lines of text (CRLF, LF or CR), at most maxLines of them; a last line break adds no empty line.
QStringList SplitLines(QStringView text, qsizetype maxLines)
{
    if (text == u"\n" || text == u"\r" || text == u"\r\n")
        return {};
    QStringList lines;
    qsizetype start = 0;
    while (start < text.size() && lines.size() < maxLines) {
        qsizetype end = start;
        while (end < text.size() && text[end] != u'\n' && text[end] != u'\r')
            ++end;
        lines.append(text.sliced(start, end - start).toString());
        if (end + 1 < text.size() && text[end] == u'\r' && text[end + 1] == u'\n')
            ++end;
        start = end + 1;
    }
    return lines;
}

} // namespace

QStringList RowsFromText(const QString& text)
{
    return SplitLines(text, std::numeric_limits<qsizetype>::max());
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

    // No run of sheets holds more labels than kMaxLabels: a longer list is read only that far (and one row
    // more, which the sheet names as the first left out), so that its rows cannot take memory without bound.
    QStringList lines = SplitLines(text, qsizetype(kMaxLabels) + (options.header ? 2 : 1));
    const QString headerLine = options.header ? lines.value(0) : QString();
    if (options.header && !lines.isEmpty())
        lines.removeFirst();
    if (options.column <= 0) {
        rows = lines;
        return true;
    }
    const QChar separator = SeparatorOf(options.header ? QStringView(headerLine) : QStringView(lines.value(0)));
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
