#pragma once
// The file names of a picture batch: a name with %n or %d gives each row a file of its own.

#include <string>
#include <string_view>

namespace cli {

// The longest %d, in bytes: with the rest of the name it stays within a file name's 255 bytes.
inline constexpr std::size_t kMaxNamePartBytes = 120;

// data (UTF-8 bytes) made safe as part of a file name by the program's one rule for it (invalid UTF-8
// becomes '_' too), cut to kMaxNamePartBytes at a character boundary. Empty data gives "".
std::string SafeNamePart(std::string_view data);

// True when name holds %n or %d (a template: one file per row).
bool IsNameTemplate(std::string_view name);
// The file name for a row of a template: %n the row number, %d SafeNamePart(data) or, when that is
// empty, the row number; %% one '%'. Any other '%' stays as it is.
std::string ExpandName(std::string_view name, unsigned long long row, std::string_view data);

} // namespace cli
