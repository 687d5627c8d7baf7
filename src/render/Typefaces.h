#pragma once
// The two Code 39 bar-code typefaces. The program carries its own copies and adds them to its font
// database at start-up, so the preview, the sample sheet and copies show bars even where the
// typefaces were never installed.

#include <QString>

namespace render {

// The bar-code typeface families, the readable text below the bars or above them.
inline constexpr char kFamilyTextBelow[] = "Tamrosk Stripe 39 d Lo";
inline constexpr char kFamilyTextAbove[] = "Tamrosk Stripe 39 d Up";
// The bar-code typeface family for the style.
inline QString BarCodeFontName(bool textBelow)
{
    return QString::fromLatin1(textBelow ? kFamilyTextBelow : kFamilyTextAbove);
}

// The built-in typeface file (a resource) of the family with the readable text above or below the bars.
QString BarCodeTypefaceFile(bool textAbove);

// Adds the built-in bar-code typefaces to the application's fonts, each unless the system already
// has a family of that name (a user's installed typeface is kept). Needs a QGuiApplication; safe to
// call more than once.
void RegisterBarCodeTypefaces();

// The width in points of text set in the bar-code typeface of the style at pointSize, as a word processor
// lays it out (the sum of the characters' advances). Needs a QGuiApplication.
double BarCodeTextWidth(const QString& text, bool textAbove, double pointSize);

// True when both bar-code families were installed in the system before the program added its own,
// so that a bar code pasted into another program shows as bars there too.
bool BarCodeTypefacesInstalledForOtherPrograms();

} // namespace render
