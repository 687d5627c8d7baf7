#pragma once
// Labels as ZPL, the page language of thermal label printers: each bar code drawn by the printer's own
// Code 39 command on its dots, so no driver rounds the bars.
//
// One label format (^XA ... ^XZ) per label, sized ^PW/^LL to the label in dots; the bar code placed by
// ^FO where the sheet's fit puts it, its narrow bar ^BY and its bars ^B3 (turned a quarter clockwise as
// R, the readable line above or below); the data is the Code 39 characters we built, check character
// and Full ASCII pairs included, so the printer adds nothing but start and stop. A run of labels of one
// row is one format with ^PQ; a blank label is a format without a field, so a roll feeds past it and row
// N stays on label N.

#include "Sheet.h"

#include <QByteArray>
#include <QString>

class QIODevice;

namespace labels {

// The resolutions label printers come in; ZPL is written for 203 dpi unless the user says otherwise.
inline constexpr int kZplResolutions[] = {203, 300, 600};
inline constexpr int kDefaultZplDpi = 203;

// The widest narrow bar the printer's bar-code command takes, in dots.
inline constexpr int kZplWidestModule = 10;

// Whether dpi is one of kZplResolutions.
bool IsZplResolution(int dpi);

// "203, 300 or 600": the resolutions as messages name them.
QString ZplResolutionsText();

// The fill options with the point size lowered where its module would be wider than the printer draws,
// so the sheet is fitted as the printer can print it.
FillOptions ForZpl(FillOptions options);

// A bar text ("*DATA*", '~' for the space symbol) as the field data of a ^FH field: start and stop left
// out, letters, digits and - . $ / + % as they are, everything else (the space too) as a _XX hex escape,
// so no ^, ~ or control byte ever reaches the printer raw.
QByteArray ZplFieldData(const QString& barText);

// Every label of the sheet as one ZPL label format (^XA ... ^XZ) at the sheet's dpi, written to out (open
// for writing): sizes and places as the sheet fitted them, options.offsetMm as the printer's nudge. Only
// whole formats are written, so consecutive parts of one run may be written by consecutive calls. False
// with a reason in error (a resolution or bar the printer cannot take, a nudge that pushes bars off the
// label); a failure of out itself is out's to report.
bool WriteZpl(const Sheet& sheet, const DrawOptions& options, QIODevice& out, QString& error);

} // namespace labels
