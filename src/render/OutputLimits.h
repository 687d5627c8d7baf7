#pragma once
// The defaults and ranges every output of a bar code shares: the windows, their settings and the code39
// command take them from here, so that what one accepts the others accept too.

#include <QtGlobal>

namespace render {

// The resolution pictures are drawn at, and label sheets are fitted to until a printer says otherwise: a
// common printer's, enough to set the bars crisply.
inline constexpr int kDefaultDpi = 300;
// Below this the narrow bars are no longer drawn; beyond it a picture grows huge for nothing.
inline constexpr int kMinDpi = 36;
inline constexpr int kMaxDpi = 2400;

// The bar code's point size in a picture file or on labels: below the least there is nothing to set, beyond
// the largest an image is needlessly huge and no label holds it.
inline constexpr double kMinPointSize = 1;
inline constexpr double kMaxPointSize = 1000;
// The size a bar code is set at unless the user says otherwise.
inline constexpr double kDefaultPointSize = 22;
// The main window's size box goes further: rich text holds sizes in twentieths of a point in 16 bits, so
// 1638 points is the most a copied bar code can carry, and the preview shows what a copy carries.
inline constexpr int kMaxWindowPointSize = 1638;

// The printer's nudge of a label sheet, each way, in millimetres: more is no printer's shift but a slip.
inline constexpr double kMaxOffsetMm = 20;

// The bars' height on labels, in millimetres: below one no scanner reads a line, beyond a metre no label
// holds it.
inline constexpr double kMinBarHeightMm = 1;
inline constexpr double kMaxBarHeightMm = 1000;

// Labels per row of a sheet: enough to fill every label of the largest stock with one bar code.
inline constexpr int kMaxCopies = 10000;
// Labels in one job, over all its sheets: beyond this a request is a slip, not a job anyone prints.
inline constexpr int kMaxLabels = 1000000;

// How large a picture file may grow. Each is made whole in memory, and a batch holds several at once:
// a long text at a large size must be refused, not exhaust memory.
// A PNG's pixels (a byte each in the grey image it is drawn on).
inline constexpr qint64 kMaxImagePixels = 64 * 1024 * 1024;
// libpng writes no wider image than this.
inline constexpr qint64 kMaxPngWidth = 1000000;
// An SVG drawing's bytes: room for the longest bar code a PNG holds at four pixels an em, none for a row of a
// megabyte.
inline constexpr qint64 kMaxSvgBytes = 128 * 1024 * 1024;
// A PDF page's side in points: readers refuse a page beyond 200 inches.
inline constexpr double kMaxPdfPageSide = 14400;

} // namespace render
