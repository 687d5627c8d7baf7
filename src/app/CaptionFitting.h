#pragma once
// Captions fitted to the style and font in use, so a wider face than the layout was drawn for cuts
// no caption off.

class QWidget;

namespace kelm {

// Lets every caption under root show whole under the current style and font: a caption is widened (never
// beyond its parent's inner area) and made taller about its middle; one that still does not fit is
// elided, its full text leading its tooltip. Controls drawn over a group frame, its own or a lone one
// standing on it, are moved down inside the frame, the frame growing to hold them. Runs again after every
// change of style or font; the captions as designed are kept to start from.
void FitToStyle(QWidget* root);

// Widens a text to its caption (never below its design width), so a wider face does not cut it off.
void FitText(QWidget* text);

} // namespace kelm
