#pragma once
// code39 --png / --svg / --pdf: the bar code as a picture file, one DATA at a time or one file per input
// row when the file name holds %n or %d.

#include <string>
#include <string_view>

namespace cli {

// Accepted ranges: beyond them an image is either unreadable or needlessly huge.
inline constexpr double kMinPointSize = 1;
inline constexpr double kMaxPointSize = 1000;
inline constexpr int kMinDpi = 36;
inline constexpr int kMaxDpi = 2400;
// The longest %d, in bytes: with the rest of the name it stays within a file name's 255 bytes.
inline constexpr std::size_t kMaxNamePartBytes = 120;

// True when the command line asks for a picture file (--png, --svg or --pdf before any "--").
bool WantsImage(int argc, char** argv);

// data (UTF-8 bytes) made safe as part of a file name: '/', '\\', the characters Windows forbids, control
// characters and invalid UTF-8 become '_', as does a dot at the start or after another dot (no hidden
// files, no ".."); cut to kMaxNamePartBytes at a character boundary. Empty data gives "".
std::string SafeNamePart(std::string_view data);

// True when name holds %n or %d (a template: one file per row).
bool IsNameTemplate(std::string_view name);
// The file name for a row of a template: %n the row number, %d SafeNamePart(data) or, when that is
// empty, the row number; %% one '%'. Any other '%' stays as it is.
std::string ExpandName(std::string_view name, unsigned long long row, std::string_view data);

// Runs the picture command. Returns the exit status: 0 every file written, 1 any row failed (its reason on
// standard error, no file for it), 2 bad usage.
int RunImage(int argc, char** argv);

} // namespace cli
