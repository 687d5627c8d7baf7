#pragma once
#include "code39/VersionNumber.h" // generated from the CMake project's version

namespace kelm {
// The program's version text, shown as "Version 4.2" and "V4.2" and sent with the update check.
inline constexpr char kVersion[] = KELM_VERSION_TEXT;
} // namespace kelm
