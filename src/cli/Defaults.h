#pragma once
// The defaults and ranges the command shares with the windows, gathered here until they have one home
// that both take them from. The option table, its help and its messages read them from this header only.

#include "labels/Sheet.h"

namespace cli {

// shared-rule: the bar code's point size (the typeface's), its range and default.
inline constexpr double kMinPointSize = 1;
inline constexpr double kMaxPointSize = 1000;
inline constexpr double kDefaultPointSize = 22;

// shared-rule: the resolution of a PNG and of the printer a label sheet is fitted to.
inline constexpr int kMinDpi = 36;
inline constexpr int kMaxDpi = 2400;
inline constexpr int kDefaultDpi = 300;

// shared-rule: the printer's nudge of a label sheet, in millimetres each way.
inline constexpr double kMaxOffsetMm = 50;

// shared-rule: labels per row, and the first label of a sheet.
inline constexpr int kMaxCopies = labels::kMaxCopies;
inline constexpr int kMaxStartLabel = labels::kMaxLabels;

// The highest CSV column a list may name.
inline constexpr int kMaxListColumn = 1000;

} // namespace cli
