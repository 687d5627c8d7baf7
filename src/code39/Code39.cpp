#include "Code39.h"

#include <array>
#include <cstdint>
#include <utility>

namespace code39 {

namespace {

constexpr std::string_view kSymbols = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%";

// Value of each 7-bit code, -1 where the character is not in the set.
constexpr std::array<signed char, 128> MakeValueTable()
{
    std::array<signed char, 128> table{};
    table.fill(-1);
    for (std::size_t v = 0; v < kSymbols.size(); ++v)
        table[static_cast<unsigned char>(kSymbols[v])] = static_cast<signed char>(v);
    return table;
}
constexpr auto kValues = MakeValueTable();

// Full ASCII form of each 7-bit code; empty for the control characters and DEL, which no reader could tell
// from the caret codes typed for them. The caret is handled apart.
constexpr std::array<std::string_view, 128> MakeFullAsciiTable()
{
    std::array<std::string_view, 128> t{};
    t[' '] = " ";
    constexpr std::string_view slashPairs[] = {"/A", "/B", "/C", "/D", "/E", "/F", "/G", "/H",
                                               "/I", "/J", "/K", "/L", "",   "",   "/O"};
    for (int c = 33; c <= 47; ++c)
        t[c] = slashPairs[c - 33];
    t['-'] = "-";
    t['.'] = ".";
    constexpr std::string_view digits[] = {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"};
    for (int c = '0'; c <= '9'; ++c)
        t[c] = digits[c - '0'];
    t[':'] = "/Z";
    t[';'] = "%F";
    t['<'] = "%G";
    t['='] = "%H";
    t['>'] = "%I";
    t['?'] = "%J";
    t['@'] = "%V";
    constexpr std::string_view letters[] = {"A", "B", "C", "D", "E", "F", "G", "H", "I", "J", "K", "L", "M",
                                            "N", "O", "P", "Q", "R", "S", "T", "U", "V", "W", "X", "Y", "Z"};
    constexpr std::string_view small[] = {"+A", "+B", "+C", "+D", "+E", "+F", "+G", "+H", "+I",
                                          "+J", "+K", "+L", "+M", "+N", "+O", "+P", "+Q", "+R",
                                          "+S", "+T", "+U", "+V", "+W", "+X", "+Y", "+Z"};
    for (int i = 0; i < 26; ++i) {
        t['A' + i] = letters[i];
        t['a' + i] = small[i];
    }
    t['['] = "%K";
    t['\\'] = "%L";
    t[']'] = "%M";
    t['_'] = "%O";
    t['`'] = "%W";
    t['{'] = "%P";
    t['|'] = "%Q";
    t['}'] = "%R";
    t['~'] = "%S";
    return t;
}
constexpr auto kFullAscii = MakeFullAsciiTable();

bool IsHighSurrogate(char16_t u)
{
    return u >= 0xD800 && u <= 0xDBFF;
}
bool IsLowSurrogate(char16_t u)
{
    return u >= 0xDC00 && u <= 0xDFFF;
}

// The character starting at data[i]; advances i past it. A lone surrogate stands for itself.
char32_t NextCharacter(std::u16string_view data, std::size_t& i)
{
    char16_t u = data[i++];
    if (IsHighSurrogate(u) && i < data.size() && IsLowSurrogate(data[i])) {
        char16_t low = data[i++];
        return 0x10000 + ((static_cast<char32_t>(u) - 0xD800) << 10) + (low - 0xDC00);
    }
    return u;
}

void AppendUtf16(std::u16string& out, char32_t c)
{
    if (c >= 0x10000 && c <= 0x10FFFF) {
        c -= 0x10000;
        out.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
    } else {
        out.push_back(static_cast<char16_t>(c));
    }
}

} // namespace

bool IsCode39Character(char32_t c)
{
    return c < 128 && kValues[c] >= 0;
}

char Code39Character(int value)
{
    if (value < 0 || value > 42)
        return '%';
    return value == 38 ? '~' : kSymbols[static_cast<std::size_t>(value)];
}

std::string_view ElementPattern(char c)
{
    // In the order of kSymbols (the space symbol at 38), then the start/stop character.
    static constexpr std::string_view kPatterns[] = {
        "000110100", "100100001", "001100001", "101100000", "000110001", "100110000", "001110000", "000100101",
        "100100100", "001100100", "100001001", "001001001", "101001000", "000011001", "100011000", "001011000",
        "000001101", "100001100", "001001100", "000011100", "100000011", "001000011", "101000010", "000010011",
        "100010010", "001010010", "000000111", "100000110", "001000110", "000010110", "110000001", "011000001",
        "111000000", "010010001", "110010000", "011010000", "010000101", "110000100", "011000100", "010101000",
        "010100010", "010001010", "000101010", "010010100"};
    if (c == '*')
        return kPatterns[43];
    if (c == '~')
        return kPatterns[38];
    if (c == ' ' || !IsCode39Character(static_cast<unsigned char>(c)))
        return {};
    return kPatterns[kValues[static_cast<unsigned char>(c)]];
}

std::u16string IllegalCharacterMessage(char32_t c, bool afterCaret)
{
    std::u16string message = u"Error: input character \"";
    // A data character after a caret is legal on its own; only the pair is not, so the pair is named.
    if (afterCaret && IsCode39Character(c))
        message += u'^';
    AppendUtf16(message, c);
    message += u"\" not legal in bar code 3 of 9";
    return message;
}

namespace {

// One 7-bit character's Full ASCII form as written for the typeface (the space as '~'), with the
// sum of its values for the check character; length 0 where the character has none.
struct FullAsciiCode {
    char text[2];
    unsigned char length;
    unsigned char value;
};

constexpr std::array<FullAsciiCode, 128> MakeFullAsciiCodes()
{
    std::array<FullAsciiCode, 128> codes{};
    for (std::size_t c = 0; c < codes.size(); ++c) {
        FullAsciiCode& code = codes[c];
        for (char ch : kFullAscii[c]) {
            code.text[code.length++] = ch == ' ' ? '~' : ch;
            code.value = static_cast<unsigned char>(code.value + kValues[static_cast<unsigned char>(ch)]);
        }
    }
    return codes;
}
constexpr auto kFullAsciiCodes = MakeFullAsciiCodes();

bool Fail(BuildResult& result, std::u16string message)
{
    result.data.clear();
    result.error = std::move(message);
    return false;
}

// Appends the check character (when asked) and trims the working buffer to the data written.
bool Finish(BuildResult& result, std::size_t length, std::uint64_t sum, bool checksum)
{
    if (length == 0)
        return Fail(result, std::u16string(kNoInputData.begin(), kNoInputData.end()));
    if (checksum)
        result.data[length++] = Code39Character(static_cast<int>(sum % 43));
    result.data.resize(length);
    return true;
}

bool BuildPlain(std::u16string_view input, bool checksum, BuildResult& result)
{
    result.data.resize(input.size() + 1);
    char* out = result.data.data();
    std::uint64_t sum = 0;
    for (std::size_t i = 0; i < input.size(); ++i) {
        const char16_t u = input[i];
        const int value = u < 128 ? kValues[u] : -1;
        if (value < 0)
            return Fail(result, IllegalCharacterMessage(NextCharacter(input, i)));
        sum += static_cast<unsigned>(value);
        out[i] = u == u' ' ? '~' : static_cast<char>(u);
    }
    return Finish(result, input.size(), sum, checksum);
}

// Expands and validates in one pass. Every Full ASCII form is made of data characters, so what can be
// illegal is a character with no form (beyond 7 bits, a control character, DEL), a caret's partner, or a
// caret with none: each is named rather than dropped, since a bar code without it would scan as other data.
bool BuildFullAscii(std::u16string_view input, bool checksum, BuildResult& result)
{
    result.data.resize(2 * input.size() + 1);
    char* out = result.data.data();
    std::size_t length = 0;
    std::uint64_t sum = 0;
    std::size_t i = 0;
    while (i < input.size()) {
        std::size_t at = i;
        const char16_t u = input[i++];
        if (u >= 128 || (u != u'^' && kFullAsciiCodes[u].length == 0))
            return Fail(result, IllegalCharacterMessage(NextCharacter(input, at))); // a surrogate pair whole
        if (u == u'^') {
            if (i == input.size())
                return Fail(result, IllegalCharacterMessage(U'^')); // a caret that stands for nothing
            const char32_t next = NextCharacter(input, i);
            if (next == U'0') {
                out[length++] = '%';
                out[length++] = 'U';
                sum += kValues['%'] + kValues['U'];
            } else if (next >= U'1' && next <= U'9') {
                out[length++] = '%';
                out[length++] = 'A';
                sum += kValues['%'] + kValues['A'];
            } else if (next >= U'A' && next <= U'Z') {
                out[length++] = '$';
                out[length++] = static_cast<char>(next);
                sum += static_cast<unsigned>(kValues['$'] + kValues[next]);
            } else {
                return Fail(result, IllegalCharacterMessage(next, true));
            }
            continue;
        }
        const FullAsciiCode& code = kFullAsciiCodes[u];
        // Both bytes are stored unconditionally (the buffer has room); length keeps only the real ones.
        out[length] = code.text[0];
        out[length + 1] = code.text[1];
        length += code.length;
        sum += code.value;
    }
    return Finish(result, length, sum, checksum);
}

} // namespace

bool BuildPlainBytes(std::string_view input, bool checksum, BuildResult& result)
{
    if (input.empty())
        return false;
    result.error.clear();
    result.data.resize(input.size() + 1);
    char* out = result.data.data();
    std::uint64_t sum = 0;
    for (std::size_t i = 0; i < input.size(); ++i) {
        const auto byte = static_cast<unsigned char>(input[i]);
        const int value = byte < 128 ? kValues[byte] : -1;
        if (value < 0)
            return false;
        sum += static_cast<unsigned>(value);
        out[i] = byte == ' ' ? '~' : static_cast<char>(byte);
    }
    return Finish(result, input.size(), sum, checksum);
}

bool BuildBarCodeData(std::u16string_view input, bool fullAscii, bool checksum, BuildResult& result)
{
    result.error.clear();
    return fullAscii ? BuildFullAscii(input, checksum, result) : BuildPlain(input, checksum, result);
}

BuildResult BuildBarCodeData(std::u16string_view input, bool fullAscii, bool checksum)
{
    BuildResult result;
    BuildBarCodeData(input, fullAscii, checksum, result);
    return result;
}

std::u16string ScannedText(std::u16string_view input, bool fullAscii)
{
    if (!fullAscii)
        return std::u16string(input);
    std::u16string text;
    text.reserve(input.size());
    for (std::size_t i = 0; i < input.size(); ++i) {
        const char16_t partner = input[i] == u'^' && i + 1 < input.size() ? input[i + 1] : u'\0';
        if (partner == u'0') {
            text += u'\0';
        } else if (partner >= u'1' && partner <= u'9') {
            text += u'\x1B'; // every digit but 0 stands for ESC
        } else if (partner >= u'A' && partner <= u'Z') {
            text += char16_t(partner - u'A' + 1);
        } else {
            text += input[i];
            continue;
        }
        ++i;
    }
    return text;
}

std::string BarCodeString(std::string_view data)
{
    std::string out;
    out.reserve(data.size() + 2);
    out += '*';
    out += data;
    out += '*';
    return out;
}

std::string PreviewText(std::string_view data)
{
    return BarCodeString(data) + "  ";
}

} // namespace code39
