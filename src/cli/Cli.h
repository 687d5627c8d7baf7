#pragma once
// The code39 command-line encoder: encodes each argument, or each line of standard input, into the
// string the bar-code typeface draws, one output line per input so that rows stay aligned.

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace cli {

// A row (a line without its line break, or an argument) longer than this many bytes is not encoded:
// it gets an empty output row and "line too long". Far beyond any bar code that scans, and it keeps the
// encoder's memory bounded whatever the input.
inline constexpr std::size_t kMaxRowBytes = std::size_t(1) << 20;

struct Options {
    bool checksum = false;
    bool fullAscii = false;
    bool help = false;
    bool version = false;
    std::vector<std::string> data; // DATA arguments, UTF-8; empty means read standard input
};

// Fills options from argv; on bad usage returns false with a short reason in error.
bool ParseArguments(int argc, char** argv, Options& options, std::string& error);

// Decodes UTF-8 into UTF-16. Each maximal ill-formed byte sequence becomes one U+FFFD, so bad bytes
// stay visible as a character outside the 7-bit range. buffer only grows, so that decoding row after
// row neither allocates nor clears; the result views its first part.
std::u16string_view Utf8ToUtf16(std::string_view bytes, std::u16string& buffer);
// Appends text as UTF-8 for a diagnostic line: control characters become \xHH so that they cannot
// act on the terminal or break the line, and a lone surrogate becomes U+FFFD.
void AppendDiagnosticUtf8(std::string& out, std::u16string_view text);

// Runs the encoder; returns the exit status: 0 all encoded, 1 any input failed, 2 bad usage.
int RunCli(int argc, char** argv, std::FILE* in, std::FILE* out, std::FILE* err);

} // namespace cli
