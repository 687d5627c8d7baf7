#pragma once
// The two Code 39 bar-code typefaces. The program carries its own copies and adds them to its font
// database at start-up, so the preview, the sample sheet and copies show bars even where the
// typefaces were never installed.

#include <QString>

namespace render {

// The built-in typeface file (a resource) of the family with the readable text above or below the bars.
QString BarCodeTypefaceFile(bool textAbove);

// Adds the built-in bar-code typefaces to the application's fonts, each unless the system already
// has a family of that name (a user's installed typeface is kept). Needs a QGuiApplication; safe to
// call more than once.
void RegisterBarCodeTypefaces();

// True when both bar-code families were installed in the system before the program added its own,
// so that a bar code pasted into another program shows as bars there too.
bool BarCodeTypefacesInstalledForOtherPrograms();

} // namespace render
