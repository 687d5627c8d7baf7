#include "Code39.h"

#include <array>

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

// Full ASCII form of each 7-bit code; empty where the character is dropped. The caret is handled apart.
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

int Code39Value(char32_t c)
{
    return IsCode39Character(c) ? kValues[c] : 42;
}

char Code39Character(int value)
{
    if (value < 0 || value > 42)
        return '%';
    return value == 38 ? '~' : kSymbols[static_cast<std::size_t>(value)];
}

std::u32string ExpandFullAscii(std::u16string_view data)
{
    std::u32string out;
    out.reserve(data.size() * 2);
    std::size_t i = 0;
    while (i < data.size()) {
        char32_t c = NextCharacter(data, i);
        if (c == U'^') {
            if (i >= data.size())
                break; // a final caret stands for nothing
            char32_t next = NextCharacter(data, i);
            if (next == U'0') {
                out += U"%U";
            } else if (next >= U'1' && next <= U'9') {
                out += U"%A";
            } else {
                out += U'$';
                out += next;
            }
            continue;
        }
        if (c < 128)
            for (char ch : kFullAscii[c])
                out += static_cast<char32_t>(ch);
    }
    return out;
}

std::u16string IllegalCharacterMessage(char32_t c)
{
    std::u16string message = u"Error: input character \"";
    AppendUtf16(message, c);
    message += u"\" not legal in bar code 3 of 9";
    return message;
}

namespace {

// Validates and sums the characters; on success result.data holds them as written for the typeface.
template <typename Next> BuildResult Validate(Next next, std::size_t sizeHint, bool checksum)
{
    BuildResult result;
    result.data.reserve(sizeHint + 1);
    int sum = 0;
    char32_t c;
    bool any = false;
    while (next(c)) {
        any = true;
        if (!IsCode39Character(c)) {
            result.data.clear();
            result.error = IllegalCharacterMessage(c);
            return result;
        }
        sum += Code39Value(c);
        if (sum >= 43 * 1024)
            sum %= 43; // keeps the running sum bounded for any length of data
        result.data.push_back(c == U' ' ? '~' : static_cast<char>(c));
    }
    if (!any) {
        result.error.assign(kNoInputData.begin(), kNoInputData.end());
        return result;
    }
    if (checksum)
        result.data.push_back(Code39Character(sum % 43));
    return result;
}

} // namespace

BuildResult BuildBarCodeData(std::u16string_view input, bool fullAscii, bool checksum)
{
    if (fullAscii) {
        const std::u32string expanded = ExpandFullAscii(input);
        std::size_t i = 0;
        return Validate(
            [&](char32_t& c) {
                if (i >= expanded.size())
                    return false;
                c = expanded[i++];
                return true;
            },
            expanded.size(), checksum);
    }
    std::size_t i = 0;
    return Validate(
        [&](char32_t& c) {
            if (i >= input.size())
                return false;
            c = NextCharacter(input, i);
            return true;
        },
        input.size(), checksum);
}

std::string BarTextOut(std::string_view data)
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
    return BarTextOut(data) + "  ";
}

} // namespace code39
