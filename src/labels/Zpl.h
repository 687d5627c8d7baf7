#pragma once
// Labels as ZPL, the page language of thermal label printers: each bar code drawn by the printer's own
// Code 39 command on its dots, so no driver rounds the bars.

#include "Sheet.h"

#include <QString>

class QIODevice;

namespace labels {

// The resolutions label printers come in; ZPL is written for 203 dpi unless the user says otherwise.
inline constexpr int kZplResolutions[] = {203, 300, 600};
inline constexpr int kDefaultZplDpi = 203;

// Every label of the sheet as one ZPL label format (^XA ... ^XZ) at the sheet's dpi, written to out (open
// for writing): sizes and places as the sheet fitted them, options.offsetMm as the printer's nudge. False
// with a reason in error; a failure of out itself is out's to report.
bool WriteZpl(const Sheet& sheet, const DrawOptions& options, QIODevice& out, QString& error);

} // namespace labels
