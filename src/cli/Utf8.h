#pragma once
// UTF-8 in and out for the command: its arguments and input rows are bytes, the encoder works in UTF-16.

#include <string>
#include <string_view>

namespace cli {

// Decodes UTF-8 into UTF-16. Each maximal ill-formed byte sequence becomes one U+FFFD, so bad bytes
// stay visible as a character outside the 7-bit range. buffer only grows, so that decoding row after
// row neither allocates nor clears; the result views its first part.
std::u16string_view Utf8ToUtf16(std::string_view bytes, std::u16string& buffer);

// Appends text as UTF-8 for a diagnostic line: control characters become \xHH so that they cannot
// act on the terminal or break the line, and a lone surrogate becomes U+FFFD.
void AppendDiagnosticUtf8(std::string& out, std::u16string_view text);

// UTF-8 bytes as they may be shown in a diagnostic: control characters escaped, invalid UTF-8 as U+FFFD.
std::string Shown(std::string_view bytes);

} // namespace cli
