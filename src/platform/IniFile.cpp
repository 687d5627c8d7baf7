#include "IniFile.h"

#include <QHash>
#include <QStringDecoder>
#include <QStringEncoder>
#include <algorithm>

namespace platform {

namespace {

// The one place that decides what "8-bit text" means: the system code page, which is the ANSI code page
// on Windows and UTF-8 everywhere else.
constexpr auto kCodePage = QStringConverter::System;

// Qt's converters take a U+FEFF at the start of a text for a byte-order mark and drop it, on the way in
// and on the way out. Lines and values are pieces of a file, where it is an ordinary character.
QString decodeText(QStringConverter::Encoding encoding, QByteArrayView bytes)
{
    QStringDecoder decoder(encoding,
                           QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom);
    return decoder(bytes);
}
QByteArray encodeText(QStringConverter::Encoding encoding, const QString& text)
{
    QStringEncoder encoder(encoding, QStringConverter::Flag::Stateless);
    if (!text.startsWith(QChar(0xFEFF)))
        return encoder(text);
    const QByteArray shielded = encoder(u' ' + text);
    return shielded.sliced(1);
}

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

// Spaces and tabs off both ends, as the reader ignores them in the file.
QString trimBlanks(const QString& text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    return text.mid(begin, end - begin);
}

// Lookup and write arguments lose their spaces only; a tab in an argument is part of the name.
QString trimSpaces(const QString& text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin] == u' ')
        ++begin;
    while (end > begin && text[end - 1] == u' ')
        --end;
    return text.mid(begin, end - begin);
}

QString unquote(const QString& value)
{
    if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') && value.back() == value.front())
        return value.mid(1, value.size() - 2);
    return value;
}

QString cutToBuffer(QString value)
{
    if (value.size() > IniFile::kMaxValueLength) {
        value.truncate(IniFile::kMaxValueLength);
        // Never hand back half of a surrogate pair.
        if (value.back().isHighSurrogate())
            value.chop(1);
    }
    return value;
}

QString fold(const QString& name)
{
    return name.toCaseFolded();
}

const QString kLineBreak = QStringLiteral("\r\n");

} // namespace

IniFile::IniFile(QByteArray bytes) : m_bytes(std::move(bytes))
{
    const auto starts = [this](std::initializer_list<unsigned char> mark) {
        if (m_bytes.size() < qsizetype(mark.size()))
            return false;
        qsizetype i = 0;
        for (unsigned char c : mark)
            if (static_cast<unsigned char>(m_bytes[i++]) != c)
                return false;
        return true;
    };
    if (starts({0xFF, 0xFE})) {
        m_encoding = Encoding::Utf16Le;
        m_textBegin = 2;
        m_unit = 2;
        m_textEnd = m_textBegin + (m_bytes.size() - m_textBegin) / 2 * 2;
    } else {
        if (starts({0xEF, 0xBB, 0xBF})) {
            m_encoding = Encoding::Utf8Bom;
            m_textBegin = 3;
        }
        m_textEnd = m_bytes.size();
    }
}

bool IniFile::nextLine(qsizetype& pos, Line& line) const
{
    if (pos >= m_textEnd)
        return false;
    line.begin = pos;
    if (m_unit == 1) {
        // The common case, in a tight loop over the bytes.
        const char* data = m_bytes.constData();
        while (pos < m_textEnd && data[pos] != '\r' && data[pos] != '\n')
            ++pos;
    } else {
        while (pos < m_textEnd && unitAt(pos) != u'\r' && unitAt(pos) != u'\n')
            pos += m_unit;
    }
    line.end = pos;
    if (pos < m_textEnd) {
        const bool cr = unitAt(pos) == u'\r';
        pos += m_unit;
        if (cr && pos < m_textEnd && unitAt(pos) == u'\n')
            pos += m_unit;
    }
    line.next = pos;
    return true;
}

QString IniFile::decode(qsizetype begin, qsizetype end) const
{
    if (m_encoding != Encoding::Utf16Le)
        return decodeText(m_encoding == Encoding::CodePage ? kCodePage : QStringConverter::Utf8,
                          QByteArrayView(m_bytes).sliced(begin, end - begin));
    QString text(static_cast<qsizetype>((end - begin) / 2), Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i)
        text[i] = QChar(unitAt(begin + 2 * i));
    // Half of a surrogate pair is no character: it reads as U+FFFD, as a broken UTF-8 sequence does.
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
        else if (text[i].isSurrogate())
            text[i] = QChar::ReplacementCharacter;
    }
    return text;
}

QByteArray IniFile::encode(const QString& text) const
{
    if (m_encoding != Encoding::Utf16Le)
        return encodeText(m_encoding == Encoding::CodePage ? kCodePage : QStringConverter::Utf8, text);
    QByteArray bytes(text.size() * 2, Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text[i].unicode();
        bytes[2 * i] = char(u & 0xFF);
        bytes[2 * i + 1] = char(u >> 8);
    }
    return bytes;
}

IniFile::Parsed IniFile::parse(const Line& line) const
{
    // Blank, comment and plain text lines are told apart by their raw units, without decoding: in every
    // encoding read here the blanks, ";", "[" and "=" are single units that no multi-byte character
    // contains, so the kind found is the one the decoded text would give. This keeps a scan past many
    // lines that are not keys cheap.
    Parsed parsed;
    qsizetype at = line.begin;
    while (at < line.end && (unitAt(at) == u' ' || unitAt(at) == u'\t'))
        at += m_unit;
    if (at == line.end)
        return parsed;
    if (unitAt(at) == u';') {
        parsed.kind = Kind::Comment;
        return parsed;
    }
    if (unitAt(at) != u'[') {
        while (at < line.end && unitAt(at) != u'=')
            at += m_unit;
        if (at == line.end) {
            parsed.kind = Kind::Text;
            return parsed;
        }
    }
    const QString text = decode(line.begin, line.end);
    qsizetype first = 0;
    while (first < text.size() && isBlank(text[first]))
        ++first;
    if (first == text.size())
        return parsed;
    if (text[first] == u';') {
        parsed.kind = Kind::Comment;
        return parsed;
    }
    if (text[first] == u'[') {
        // The name ends at the first "]"; whatever follows it is ignored.
        const qsizetype close = text.indexOf(u']', first + 1);
        parsed.kind = Kind::Header;
        parsed.name = trimBlanks(text.mid(first + 1, close < 0 ? -1 : close - first - 1));
        return parsed;
    }
    const qsizetype eq = text.indexOf(u'=');
    if (eq < 0) {
        parsed.kind = Kind::Text;
        return parsed;
    }
    parsed.kind = Kind::Key;
    parsed.name = trimBlanks(text.left(eq));
    parsed.value = unquote(trimBlanks(text.mid(eq + 1)));
    return parsed;
}

const QHash<QString, qsizetype>& IniFile::sectionStarts() const
{
    if (!m_index->built) {
        qsizetype pos = m_textBegin;
        Line line;
        while (nextLine(pos, line)) {
            const Parsed parsed = parse(line);
            // Only the first of repeated sections counts.
            if (parsed.kind == Kind::Header) {
                const QString folded = fold(parsed.name);
                if (!m_index->starts.contains(folded))
                    m_index->starts.insert(folded, line.begin);
            }
        }
        m_index->built = true;
    }
    return m_index->starts;
}

template <typename Visit> bool IniFile::forEachInSection(const QString& folded, Visit visit) const
{
    const auto start = sectionStarts().constFind(folded);
    if (start == sectionStarts().cend())
        return false;
    qsizetype pos = *start;
    Line line;
    nextLine(pos, line);
    if (!visit(line, parse(line)))
        return true;
    while (nextLine(pos, line)) {
        const Parsed parsed = parse(line);
        if (parsed.kind == Kind::Header)
            return true;
        if (!visit(line, parsed))
            return true;
    }
    return true;
}

std::optional<QString> IniFile::value(const QString& section, const QString& key) const
{
    std::optional<QString> found = wholeValue(section, key);
    if (found)
        *found = cutToBuffer(std::move(*found));
    return found;
}

std::optional<QString> IniFile::wholeValue(const QString& section, const QString& key) const
{
    const QString wanted = fold(trimSpaces(key));
    std::optional<QString> found;
    forEachInSection(fold(trimSpaces(section)), [&](const Line&, const Parsed& parsed) {
        if (parsed.kind == Kind::Key && fold(parsed.name) == wanted)
            found = parsed.value;
        return !found;
    });
    return found;
}

QStringList IniFile::sectionValues(const QString& section) const
{
    QStringList lines;
    QHash<QString, QString> firstValues;
    forEachInSection(fold(trimSpaces(section)), [&](const Line&, const Parsed& parsed) {
        if (parsed.kind == Kind::Key) {
            const QString folded = fold(parsed.name);
            auto first = firstValues.constFind(folded);
            if (first == firstValues.cend())
                first = firstValues.insert(folded, cutToBuffer(parsed.value));
            lines.append(parsed.name + u'=' + *first);
        }
        return true;
    });
    return lines;
}

bool IniFile::hasKeys(const QString& section) const
{
    bool found = false;
    forEachInSection(fold(trimSpaces(section)), [&](const Line&, const Parsed& parsed) {
        found = parsed.kind == Kind::Key;
        return !found;
    });
    return found;
}

QByteArray IniFile::withValue(const QString& section, const QString& key, const QString& value) const
{
    return write(section, key, value, nullptr);
}

IniFile IniFile::edited(const QString& section, const QString& key, const QString& value) const
{
    qsizetype shiftFrom = -1;
    IniFile after(write(section, key, value, &shiftFrom));
    if (shiftFrom >= 0 && m_index->built) {
        const qsizetype delta = after.m_bytes.size() - m_bytes.size();
        after.m_index->starts = m_index->starts;
        for (qsizetype& start : after.m_index->starts) {
            if (start > shiftFrom)
                start += delta;
        }
        after.m_index->built = true;
    }
    return after;
}

QByteArray IniFile::write(const QString& section, const QString& key, const QString& value,
                          qsizetype* shiftFrom) const
{
    if (shiftFrom)
        *shiftFrom = -1;
    const QString sectionName = trimSpaces(section);
    const QString keyName = trimSpaces(key);
    QString text = value;
    text.replace(u'\r', u' ').replace(u'\n', u' ');
    const QString wanted = fold(keyName);

    std::optional<Line> target; // the key's line, when it exists
    Line after;                 // the section's header or last key line
    const bool sectionFound = forEachInSection(fold(sectionName), [&](const Line& line, const Parsed& parsed) {
        if (parsed.kind == Kind::Header || parsed.kind == Kind::Key)
            after = line;
        if (parsed.kind == Kind::Key && fold(parsed.name) == wanted)
            target = line;
        return !target;
    });

    QByteArray out;
    if (target) {
        // Everything up to and including the line's first "=" stays as it is.
        qsizetype eq = target->begin;
        while (eq < target->end && unitAt(eq) != u'=')
            eq += m_unit;
        eq = std::min(eq + m_unit, target->end);
        out.reserve(m_bytes.size() - (target->end - eq) + text.size() * 4 + 4);
        out.append(QByteArrayView(m_bytes).first(eq));
        out.append(encode(text));
        // A rewritten last line without a line break gains one.
        if (target->next == target->end)
            out.append(encode(kLineBreak));
        out.append(QByteArrayView(m_bytes).sliced(target->end));
        // Only the value's own line changed: every header after it moved by the same amount.
        if (shiftFrom)
            *shiftFrom = target->begin;
        return out;
    }

    const QByteArray keyLine = encode(keyName + u'=' + text + kLineBreak);
    if (sectionFound) {
        out.append(QByteArrayView(m_bytes).first(after.next));
        if (after.next == after.end)
            out.append(encode(kLineBreak));
        out.append(keyLine);
        out.append(QByteArrayView(m_bytes).sliced(after.next));
        return out;
    }

    out.append(QByteArrayView(m_bytes).first(m_textEnd));
    if (m_textEnd > m_textBegin) {
        const char16_t last = unitAt(m_textEnd - m_unit);
        if (last != u'\r' && last != u'\n')
            out.append(encode(kLineBreak));
    }
    out.append(encode(u'[' + sectionName + u']' + kLineBreak));
    out.append(keyLine);
    out.append(QByteArrayView(m_bytes).sliced(m_textEnd));
    return out;
}

std::optional<int> ProfileInteger(const QString& text)
{
    QStringView t(text);
    // Only "0x"/"0X" marks hexadecimal, and only before at least one digit: a bare "0x" stays decimal
    // and so is invalid. "$" is no prefix: "$1F" is no number at all.
    const bool hex = t.size() > 2 && t[0] == u'0' && (t[1] == u'x' || t[1] == u'X');
    if (hex)
        t = t.sliced(2);
    bool negative = false;
    if (!hex && !t.isEmpty() && (t[0] == u'+' || t[0] == u'-')) {
        negative = t[0] == u'-';
        t = t.sliced(1);
    }
    if (t.isEmpty())
        return std::nullopt;

    const quint64 limit = hex ? 0xFFFFFFFFu : (negative ? 2147483648u : 2147483647u);
    quint64 magnitude = 0;
    for (QChar c : t) {
        int digit;
        if (c >= u'0' && c <= u'9')
            digit = c.unicode() - u'0';
        else if (hex && c >= u'a' && c <= u'f')
            digit = c.unicode() - u'a' + 10;
        else if (hex && c >= u'A' && c <= u'F')
            digit = c.unicode() - u'A' + 10;
        else
            return std::nullopt;
        magnitude = magnitude * (hex ? 16 : 10) + digit;
        if (magnitude > limit)
            return std::nullopt;
    }
    quint32 bits = static_cast<quint32>(magnitude);
    if (negative)
        bits = 0u - bits;
    return static_cast<int>(bits);
}

} // namespace platform
