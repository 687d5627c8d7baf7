#pragma once
// What the windows share: texts and placements they have in common, and the guard that shows a
// handler's error in the standard error box.

#include "platform/Desktop.h"
#include "platform/Errors.h"

#include <QList>
#include <QPoint>
#include <QRect>

class QWidget;

namespace kelm {

// The application title: the task-bar entry's text and the standard error box's title.
inline constexpr char kApplicationTitle[] = "Make a bar code 3 of 9";

inline constexpr char kTipsFileMissing[] =
    "The Tip-of-the-Day file could not be found! Please re-install this product.";

// Warning boxes stand this far right of and below the main window's top-left corner.
inline const QPoint kWarningOffset(100, 100);

// Places a window's frame, not its inner area, at the main window's frame corner moved by offset.
// Called before the window is shown: only then does a window manager that has not framed it yet
// take the position as the frame's.
void PlaceBeside(QWidget* window, const QRect& mainFrame, const QPoint& offset);

// Where a window's frame goes so that its title bar can be taken hold of on one of the screens: the
// frame's own corner when a grip of the title bar (titleBar pixels high) already lies on a screen's
// available area, else the nearest corner where it does. With no screens the corner stays.
QPoint ReachableFramePosition(const QRect& frame, const QList<QRect>& screens, int titleBar);

// Lets every caption under root show whole under the current style and font: a caption is widened (never
// beyond its parent's inner area) and made taller about its middle; one that still does not fit is
// elided, its full text leading its tooltip. Controls drawn over a group frame, its own or a lone one
// standing on it, are moved down inside the frame, the frame growing to hold them. Runs again after every
// change of style or font; the captions as designed are kept to start from.
void FitToStyle(QWidget* root);

// Widens a text to its caption (never below its design width), so a wider face does not cut it off.
void FitText(QWidget* text);

// Runs a handler the way the message loop would: an error it raises is shown in the standard error box.
// Keeping exceptions out of Qt's own frames matters, as Qt does not promise to unwind through them.
template <typename Handler> void Reported(Handler&& handler)
{
    try {
        handler();
    } catch (const platform::Error& e) {
        platform::ShowStandardError(e.message());
    }
}

} // namespace kelm
