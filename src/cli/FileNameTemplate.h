#pragma once
// The file names of a picture batch: a name with %n or %d gives each row a file of its own.

#include <string>
#include <string_view>

namespace cli {

// The longest %d, in bytes: with the rest of the name it stays within a file name's 255 bytes.
inline constexpr std::size_t kMaxNamePartBytes = 120;

// shared-rule: safe file names. data (UTF-8 bytes) made safe as part of a file name: '/', '\\', the
// characters Windows forbids, control characters and invalid UTF-8 become '_', as does a dot at the start
// or after another dot (no hidden files, no ".."); cut to kMaxNamePartBytes at a character boundary.
// Empty data gives "".
std::string SafeNamePart(std::string_view data);

// True when name holds %n or %d (a template: one file per row).
bool IsNameTemplate(std::string_view name);
// The file name for a row of a template: %n the row number, %d SafeNamePart(data) or, when that is
// empty, the row number; %% one '%'. Any other '%' stays as it is.
std::string ExpandName(std::string_view name, unsigned long long row, std::string_view data);

} // namespace cli
