#include "ListReader.h"

#include "Sheet.h"

#include <QFile>

namespace labels {

namespace {

// A block of a list read at once: large enough that reading costs little, small beside the pages.
constexpr qint64 kBlockBytes = 64 << 10;

bool IsUtf16(QByteArrayView bytes)
{
    return bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF");
}

} // namespace

ListReader::ListReader(ByteSource source, const ListOptions& options, qint64 size)
    : m_source(std::move(source)), m_options(options), m_tooLarge(size > kMaxListBytes)
{
}

QStringConverter::Encoding ListReader::converter() const
{
    return m_encoding == Encoding::Utf16LE   ? QStringConverter::Utf16LE
           : m_encoding == Encoding::Utf16BE ? QStringConverter::Utf16BE
                                             : QStringConverter::Utf8;
}

bool ListReader::stopped() const
{
    return m_readFailed || m_tooLarge || m_decodeFailed || m_nulByte || m_nulCharacter;
}

bool ListReader::readMore()
{
    const qsizetype kept = m_bytes.size();
    m_bytes.resize(kept + kBlockBytes);
    const qint64 got = m_source(m_bytes.data() + kept, kBlockBytes, m_readError);
    m_bytes.resize(kept + qMax<qint64>(got, 0));
    if (got < 0)
        m_readFailed = true;
    else if (got == 0)
        m_sourceEnded = true;
    else if ((m_bytesRead += got) > kMaxListBytes)
        m_tooLarge = true;
    return got > 0 && !m_tooLarge;
}

void ListReader::chooseEncoding()
{
    if (IsUtf16(m_bytes)) {
        m_encoding = m_bytes.startsWith("\xFF\xFE") ? Encoding::Utf16LE : Encoding::Utf16BE;
        m_bytes.remove(0, 2);
    } else {
        m_encoding = Encoding::Utf8;
        if (m_bytes.startsWith("\xEF\xBB\xBF"))
            m_bytes.remove(0, 3);
    }
    m_decoder = QStringDecoder(converter(), QStringConverter::Flag::ConvertInitialBom);
}

qsizetype ListReader::wholeCharacters() const
{
    const qsizetype size = m_bytes.size();
    const auto byte = [&](qsizetype i) { return uchar(m_bytes[i]); };
    if (m_encoding != Encoding::Utf8) {
        // Whole words, and not a leading surrogate whose partner may come with the next read.
        qsizetype whole = size & ~qsizetype(1);
        if (whole >= 2) {
            const uchar high = m_encoding == Encoding::Utf16LE ? byte(whole - 1) : byte(whole - 2);
            if (high >= 0xD8 && high <= 0xDB)
                whole -= 2;
        }
        return whole;
    }
    // Up to the lead byte of a sequence that needs more bytes than have come.
    for (qsizetype back = 1; back <= 3 && back <= size; ++back) {
        const uchar c = byte(size - back);
        if ((c & 0xC0) == 0x80)
            continue;
        const int needs = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
        return needs > back ? size - back : size;
    }
    return size;
}

void ListReader::decode(QByteArrayView bytes, bool last)
{
    const bool utf16 = m_encoding != Encoding::Utf8;
    QString piece;
    if (last) {
        // The end of the list: bytes that end inside a character are an error, not a character left pending.
        QStringDecoder decoder(converter(),
                               QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom);
        piece = decoder.decode(bytes);
        // Qt's decoder drops an odd last byte without a word: half a character is a list cut short.
        m_decodeFailed = m_decodeFailed || decoder.hasError() || (utf16 && bytes.size() % 2 != 0);
    } else {
        piece = m_decoder.decode(bytes);
        m_decodeFailed = m_decodeFailed || m_decoder.hasError();
    }
    // A decoder reading a whole list passes over a mark at its start, after the one that chose the encoding.
    if (!m_decodedAny && !piece.isEmpty()) {
        m_decodedAny = true;
        if (piece.front() == QChar::ByteOrderMark)
            piece.remove(0, 1);
    }
    if (!utf16 && bytes.contains('\0'))
        m_nulByte = true;
    if (piece.contains(QChar(0)))
        m_nulCharacter = true;
    if (!m_badCharacter) {
        const qsizetype bad = piece.indexOf(QChar::ReplacementCharacter);
        m_linesBeforeBad += QStringView(piece).left(bad < 0 ? piece.size() : bad).count(u'\n');
        m_badCharacter = bad >= 0;
    }
    if (!m_draining)
        m_text += piece;
}

bool ListReader::step()
{
    if (m_readFailed || m_tooLarge)
        return false;
    if (m_sourceEnded) {
        if (m_bytes.isEmpty())
            return false;
        if (m_encoding == Encoding::Unknown)
            chooseEncoding();
        decode(m_bytes, true);
        m_bytes.clear();
        return true;
    }
    if (!readMore())
        return m_sourceEnded; // the next step decodes what is left
    if (m_encoding == Encoding::Unknown) {
        if (m_bytes.size() < 3)
            return true; // too few to know the mark
        chooseEncoding();
    }
    if (const qsizetype whole = wholeCharacters(); whole > 0) {
        decode(QByteArrayView(m_bytes).first(whole), false);
        m_bytes.remove(0, whole);
    }
    return true;
}

bool ListReader::decodeMore(qsizetype ahead)
{
    // Only the text not yet cut into rows is kept.
    if (m_at > 0) {
        m_text.remove(0, m_at);
        m_at = 0;
    }
    while (!stopped() && m_at + ahead >= m_text.size()) {
        if (!step())
            break;
    }
    return !stopped() && m_at + ahead < m_text.size();
}

bool ListReader::onlyALineBreak()
{
    if (!have())
        return true;
    if (peek() == u'\n')
        return !have(1);
    if (peek() == u'\r')
        return !have(1) || (peek(1) == u'\n' && !have(2));
    return false;
}

// The first comma, semicolon or tab of the first record outside quoted fields (as nextRecord reads them); a
// comma when it has none.
QChar ListReader::separatorOfFirstRecord()
{
    bool quoted = false;
    bool fieldStart = true;
    for (qsizetype i = 0; have(i); ++i) {
        const QChar c = peek(i);
        if (quoted) {
            if (c == u'"' && have(i + 1) && peek(i + 1) == u'"')
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

void ListReader::start()
{
    // A lone line break is an empty list.
    m_empty = onlyALineBreak();
    if (m_empty)
        return;
    QString header;
    if (m_options.column <= 0) {
        if (m_options.header)
            nextLine(header);
        return;
    }
    m_separator = separatorOfFirstRecord();
    if (m_options.header)
        nextRecord(0, header);
}

bool ListReader::nextLine(QString& line)
{
    if (!have())
        return false;
    line.clear();
    for (;;) {
        const QStringView rest = QStringView(m_text).sliced(m_at);
        qsizetype end = 0;
        while (end < rest.size() && rest[end] != u'\n' && rest[end] != u'\r')
            ++end;
        line += rest.first(end);
        m_at += end;
        if (end < rest.size())
            break;
        if (!have())
            return true; // a last line without its break
    }
    if (take() == u'\r' && have() && peek() == u'\n')
        take();
    return true;
}

// A field that starts with a quote runs to the closing quote, "" standing for a quote, and may hold separators
// and line breaks; a quote inside an unquoted field is a character. The field column (from 1) of the record
// goes to field, empty when the record has fewer fields.
bool ListReader::nextRecord(int column, QString& field)
{
    field.clear();
    if (!have())
        return false;
    int index = 1;
    bool fieldStart = true;
    bool quoted = false;
    while (have()) {
        const QChar c = take();
        if (quoted) {
            if (c != u'"') {
                if (index == column)
                    field += c;
            } else if (have() && peek() == u'"') {
                if (index == column)
                    field += c;
                take();
            } else {
                quoted = false;
            }
        } else if (c == u'"' && fieldStart) {
            quoted = true;
            fieldStart = false;
        } else if (c == u'\n' || c == u'\r') {
            if (c == u'\r' && have() && peek() == u'\n')
                take();
            break;
        } else if (c == m_separator) {
            ++index;
            fieldStart = true;
        } else {
            if (index == column)
                field += c;
            fieldStart = false;
        }
    }
    return true;
}

bool ListReader::next(QString& row)
{
    if (!m_started) {
        m_started = true;
        if (!stopped())
            start();
    }
    // No run of sheets holds more labels than kMaxLabels: a longer list is read only that far (and one row
    // more, which the sheet names as the first left out), so that its rows cannot take time without bound.
    if (m_empty || stopped() || m_rowsGiven > qsizetype(kMaxLabels))
        return false;
    const bool got = m_options.column <= 0 ? nextLine(row) : nextRecord(m_options.column, row);
    if (!got || stopped())
        return false;
    if (m_options.column > 0)
        row = row.trimmed();
    ++m_rowsGiven;
    return true;
}

bool ListReader::finish()
{
    m_draining = true;
    m_text.clear();
    m_at = 0;
    while (step()) {
    }
    m_error = message();
    return m_error.isEmpty();
}

QString ListReader::message() const
{
    if (m_readFailed)
        return m_readError;
    if (m_tooLarge)
        return QStringLiteral("The list is larger than %L1 MB: it is not a list of labels.")
            .arg(kMaxListBytes >> 20);
    const QString binary = QStringLiteral("The list holds binary data, not lines of text.");
    const qsizetype line = m_linesBeforeBad + 1;
    if (m_encoding == Encoding::Utf16LE || m_encoding == Encoding::Utf16BE) {
        if (m_decodeFailed)
            return QStringLiteral("The list is not valid UTF-16 text (line %1).").arg(line);
    } else {
        if (m_nulByte)
            return binary;
        if (m_decodeFailed) {
            // Name the first line that is not UTF-8, so that the user can find it.
            return QStringLiteral("The list is not UTF-8 text (line %1); save it as UTF-8 and try again.")
                .arg(line);
        }
    }
    return m_nulCharacter ? binary : QString();
}

ListReader::ByteSource DeviceSource(QIODevice& device, const QString& name)
{
    return [&device, name](char* to, qint64 most, QString& error) {
        const qint64 got = device.read(to, most);
        if (got < 0)
            error = QStringLiteral("Cannot read %1: %2").arg(name, device.errorString());
        return got;
    };
}

bool OpenListFile(QFile& file, QString& error)
{
    if (file.open(QIODevice::ReadOnly))
        return true;
    error = QStringLiteral("Cannot read %1: %2").arg(file.fileName(), file.errorString());
    return false;
}

ListReader ListFileReader(QFile& file, const ListOptions& options)
{
    return ListReader(DeviceSource(file, file.fileName()), options, file.isSequential() ? -1 : file.size());
}

} // namespace labels
