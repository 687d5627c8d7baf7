#include "RowList.h"

#include "Sheet.h"

#include <QFile>
#include <QStringDecoder>

#include <limits>

namespace labels {

namespace {

// The first comma, semicolon or tab of the first record outside quoted fields (as CsvRecords reads them); a
// comma when it has none.
QChar SeparatorOf(QStringView text)
{
    bool quoted = false;
    bool fieldStart = true;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == u'"' && i + 1 < text.size() && text[i + 1] == u'"')
                ++i;
            else if (c == u'"')
                quoted = false;
        } else if (c == u'"' && fieldStart) {
            quoted = true;
            fieldStart = false;
        } else if (c == u',' || c == u';' || c == u'\t') {
            return c;
        } else if (c == u'\n' || c == u'\r') {
            break;
        } else {
            fieldStart = false;
        }
    }
    return u',';
}

// Reads CSV records one after another. A field that starts with a quote runs to the closing quote, "" standing
// for a quote, and may hold separators and line breaks; a quote inside an unquoted field is a character.
class CsvRecords {
public:
    CsvRecords(QStringView text, QChar separator) : m_text(text), m_separator(separator) {}

    // The next record's field column (from 1) in field, empty when the record has fewer fields; false after
    // the last record.
    bool next(int column, QString& field)
    {
        field.clear();
        if (m_at >= m_text.size())
            return false;
        int index = 1;
        bool fieldStart = true;
        bool quoted = false;
        while (m_at < m_text.size()) {
            const QChar c = m_text[m_at++];
            if (quoted) {
                if (c != u'"') {
                    append(index, column, field, c);
                } else if (m_at < m_text.size() && m_text[m_at] == u'"') {
                    append(index, column, field, c);
                    ++m_at;
                } else {
                    quoted = false;
                }
            } else if (c == u'"' && fieldStart) {
                quoted = true;
                fieldStart = false;
            } else if (c == u'\n' || c == u'\r') {
                if (c == u'\r' && m_at < m_text.size() && m_text[m_at] == u'\n')
                    ++m_at;
                break;
            } else if (c == m_separator) {
                ++index;
                fieldStart = true;
            } else {
                append(index, column, field, c);
                fieldStart = false;
            }
        }
        return true;
    }

private:
    static void append(int index, int column, QString& field, QChar c)
    {
        if (index == column)
            field += c;
    }

    QStringView m_text;
    QChar m_separator;
    qsizetype m_at = 0;
};

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
    const qsizetype maxRows = qsizetype(kMaxLabels) + 1;
    if (options.column <= 0) {
        rows = SplitLines(text, maxRows + (options.header ? 1 : 0));
        if (options.header && !rows.isEmpty())
            rows.removeFirst();
        return true;
    }
    // A lone line break is an empty list, as with whole lines.
    if (SplitLines(text, 1).isEmpty())
        return true;
    CsvRecords records(text, SeparatorOf(text));
    QString field;
    if (options.header)
        records.next(0, field);
    while (rows.size() < maxRows && records.next(options.column, field))
        rows.append(field.trimmed());
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
