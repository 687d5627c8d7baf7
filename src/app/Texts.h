#pragma once
// The texts more than one window shows.

namespace kelm {

// The application title: the task-bar entry's text and the standard error box's title.
inline constexpr char kApplicationTitle[] = "Make a bar code 3 of 9";

inline constexpr char kTipsFileMissing[] =
    "The Tip-of-the-Day file could not be found! Please re-install this product.";

} // namespace kelm
