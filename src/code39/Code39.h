#pragma once
// The Code 39 (bar code 3 of 9) encoding core: the symbol set, the check character,
// Full ASCII expansion and the string steps of Make. Pure C++, no Qt, no window code.

#include <string>
#include <string_view>

namespace code39 {

// True for the 43 data characters: 0-9, A-Z, '-', '.', space, '$', '/', '+', '%'.
bool IsCode39Character(char32_t c);
// The typeface character for a value 0..42 ('~' for 38, the space symbol); '%' for any other value.
char Code39Character(int value);

// The nine elements of a typeface character (bar, space, bar, ... from the first bar), '1' for a wide one:
// the 43 data characters with '~' for the space symbol, and '*' for start and stop. Empty for any other.
std::string_view ElementPattern(char c);

inline constexpr std::string_view kNoInputData = "Error:- no input data";
// "Error: input character "c" not legal in bar code 3 of 9", as UTF-16. With afterCaret, c follows a
// Full ASCII caret; when c is a data character the message names the pair ("^-"), since c alone is legal.
std::u16string IllegalCharacterMessage(char32_t c, bool afterCaret = false);

struct BuildResult {
    std::string data;     // the data as written for the typeface (no start/stop), when ok
    std::u16string error; // the message shown instead of a bar code, when not ok
    bool ok() const { return error.empty(); }
};

// The string steps of Make: optional Full ASCII expansion, validation (spaces become '~'),
// optional modulo-43 check character. The data is UTF-16; a surrogate pair is one character.
// With Full ASCII a caret must be followed by a digit or a capital letter: any other partner would
// give a pair that no Full ASCII reader decodes, so it is reported as illegal (with the caret when
// the partner is a data character). A caret at the end, a character beyond 7 bits, a control
// character and DEL have no Full ASCII form and are reported as illegal too, never left out.
BuildResult BuildBarCodeData(std::u16string_view input, bool fullAscii, bool checksum);
// The same, reusing result's storage so that encoding many rows allocates nothing per row.
// Returns result.ok().
bool BuildBarCodeData(std::u16string_view input, bool fullAscii, bool checksum, BuildResult& result);

// A fast path for bulk encoding: 7-bit bytes without Full ASCII. True with result.data as
// BuildBarCodeData gives it; false, with no message built, for empty data or any byte that is not a
// data character (the caller then takes BuildBarCodeData for the message).
bool BuildPlainBytes(std::string_view input, bool checksum, BuildResult& result);

// The text a reader should give back for the bar code of input: input itself, with Full ASCII's caret pairs
// as the control characters they stand for. It does not check input: a reader can give back only what the
// builder encodes.
std::u16string ScannedText(std::u16string_view input, bool fullAscii);

// What the string box shows: "*" + data + "*".
std::string BarCodeString(std::string_view data);
// What the preview shows: "*" + data + "*  " (two trailing spaces).
std::string PreviewText(std::string_view data);

} // namespace code39
