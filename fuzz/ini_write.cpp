// One write into any file: afterwards a read of the key gives the value written, and every other line
// of the file is as it was, byte for byte (the byte-order mark and a stray last byte included).
#include "FuzzInput.h"
#include "platform/IniFile.h"

#include <vector>

using platform::IniFile;

namespace {

// Names the reader can find again: none of the characters that end or start a name or a line, and no
// blanks at either end (the file's blanks are not part of a name).
QString cleanName(QString name)
{
    name.removeIf(
        [](QChar c) { return c == u'[' || c == u']' || c == u'=' || c == u';' || c == u'\r' || c == u'\n'; });
    while (!name.isEmpty() && (name.front() == u' ' || name.front() == u'\t'))
        name.remove(0, 1);
    while (!name.isEmpty() && (name.back() == u' ' || name.back() == u'\t'))
        name.chop(1);
    return name;
}

// A value that reads back unchanged: no line breaks, no outer blanks, no outer pair of quotes, not
// longer than a read gives.
QString cleanValue(QString value)
{
    value.removeIf([](QChar c) { return c == u'\r' || c == u'\n'; });
    value.truncate(IniFile::kMaxValueLength);
    for (;;) {
        if (!value.isEmpty() && value.back().isHighSurrogate())
            value.chop(1);
        else if (!value.isEmpty() && (value.front() == u' ' || value.front() == u'\t'))
            value.remove(0, 1);
        else if (!value.isEmpty() && (value.back() == u' ' || value.back() == u'\t'))
            value.chop(1);
        else if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') &&
                 value.back() == value.front())
            value.chop(1);
        else
            return value;
    }
}

// The file's lines as its own units, split independently of the code under test.
struct Lines {
    QByteArray mark; // byte-order mark
    int unit = 1;
    std::vector<std::pair<QByteArray, QByteArray>> lines; // text, line break
    QByteArray tail;                                      // odd last byte of a UTF-16 file
};

Lines split(const QByteArray& bytes)
{
    Lines out;
    qsizetype end = bytes.size();
    if (bytes.startsWith("\xFF\xFE")) {
        out.mark = bytes.left(2);
        out.unit = 2;
        end = 2 + (bytes.size() - 2) / 2 * 2;
        out.tail = bytes.mid(end);
    } else if (bytes.startsWith("\xEF\xBB\xBF")) {
        out.mark = bytes.left(3);
    }
    const auto unitAt = [&](qsizetype i) {
        return out.unit == 1 ? uchar(bytes[i]) : uchar(bytes[i]) | uchar(bytes[i + 1]) << 8;
    };
    qsizetype pos = out.mark.size();
    while (pos < end) {
        const qsizetype begin = pos;
        while (pos < end && unitAt(pos) != '\r' && unitAt(pos) != '\n')
            pos += out.unit;
        const qsizetype textEnd = pos;
        if (pos < end) {
            const bool cr = unitAt(pos) == '\r';
            pos += out.unit;
            if (cr && pos < end && unitAt(pos) == '\n')
                pos += out.unit;
        }
        out.lines.emplace_back(bytes.mid(begin, textEnd - begin), bytes.mid(textEnd, pos - textEnd));
    }
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider in(data, size);
    QString section = cleanName(takeText(in, 32));
    QString key = cleanName(takeText(in, 32));
    QString value = takeText(in, 128);
    const uint8_t repeat = in.ConsumeIntegral<uint8_t>();
    const uint8_t pick = in.ConsumeIntegral<uint8_t>();
    const std::vector<char> rest = in.ConsumeRemainingBytes<char>();
    const QByteArray before(rest.data(), qsizetype(rest.size()));
    const IniFile ini(before);

    // The file's section names, as near as a plain search finds them.
    QStringList headers;
    const Lines original = split(before);
    for (const auto& [text, lineBreak] : original.lines) {
        const QString decoded = original.unit == 2
                                    ? QString(reinterpret_cast<const QChar*>(text.constData()), text.size() / 2)
                                    : QString::fromUtf8(text);
        const qsizetype open = decoded.indexOf(u'[');
        const qsizetype close = decoded.indexOf(u']');
        if (open >= 0 && close > open)
            headers.append(cleanName(decoded.mid(open + 1, close - open - 1)));
    }
    // Half of the time write into one of the file's sections, and then mostly to one of its keys.
    if (pick & 1) {
        if (!headers.isEmpty())
            section = headers[(pick >> 2) % headers.size()];
        const QStringList keys = ini.sectionValues(section);
        if ((pick & 2) && !keys.isEmpty())
            key = cleanName(keys[(pick >> 4) % keys.size()].section(u'=', 0, 0));
    }
    if (repeat > 240)
        value = value.repeated(repeat - 240 + 1);
    value = cleanValue(value);

    const QByteArray after = ini.withValue(section, key, value);
    FUZZ_CHECK(IniFile(after).value(section, key) == value);
    FUZZ_CHECK(IniFile(after).encoding() == ini.encoding());
    // The same write as a file that carries over where the sections start reads as a fresh parse does.
    (void)ini.hasKeys(section); // the reader learns where the sections start, which the edit carries over
    const IniFile edited = ini.edited(section, key, value);
    FUZZ_CHECK(edited.bytes() == after);
    FUZZ_CHECK(edited.value(section, key) == value);
    for (const QString& name : std::as_const(headers) + QStringList{section})
        FUZZ_CHECK(edited.sectionValues(name) == IniFile(after).sectionValues(name));

    const Lines old = split(before);
    const Lines now = split(after);
    FUZZ_CHECK(now.mark == old.mark && now.tail == old.tail);
    const QByteArray crlf = old.unit == 2 ? QByteArray("\r\0\n\0", 4) : QByteArray("\r\n");
    const qsizetype n = qsizetype(old.lines.size());
    const qsizetype m = qsizetype(now.lines.size());
    // Lines match when equal; the file's unterminated last line may have gained a line break.
    const auto same = [&](qsizetype i, qsizetype j) {
        const auto& [text, lineBreak] = old.lines[size_t(i)];
        return text == now.lines[size_t(j)].first &&
               (lineBreak == now.lines[size_t(j)].second ||
                (i == n - 1 && lineBreak.isEmpty() && now.lines[size_t(j)].second == crlf));
    };
    qsizetype prefix = 0;
    while (prefix < n && prefix < m && same(prefix, prefix))
        ++prefix;
    qsizetype suffix = 0;
    while (suffix < n - prefix && suffix < m - prefix && same(n - 1 - suffix, m - 1 - suffix))
        ++suffix;
    const qsizetype removed = n - prefix - suffix;
    const qsizetype added = m - prefix - suffix;
    if (removed == 1) {
        // A replaced value: the line up to and including its first "=" stays.
        FUZZ_CHECK(added == 1);
        const QByteArray& oldText = old.lines[size_t(prefix)].first;
        qsizetype eq = 0;
        while (eq < oldText.size() && !(oldText[eq] == '=' && (old.unit == 1 || oldText[eq + 1] == 0)))
            eq += old.unit;
        FUZZ_CHECK(eq < oldText.size());
        FUZZ_CHECK(now.lines[size_t(prefix)].first.startsWith(oldText.left(eq + old.unit)));
    } else if (added == 0) {
        // Nothing to change: the key held the value already.
        FUZZ_CHECK(removed == 0 && ini.value(section, key) == value);
    } else {
        // A new key, or a new section with its key.
        FUZZ_CHECK(removed == 0 && added <= 2);
    }
    return 0;
}
