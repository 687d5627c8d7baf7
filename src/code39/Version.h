#pragma once

namespace kelm {
// The program's version text, shown as "Version 4.2" and "V4.2" and sent with the update check.
inline constexpr char kVersion[] = "4.2";
} // namespace kelm
