#pragma once
// Where windows stand: the dialogs and warning boxes beside the main window, and a frame kept where its
// title bar can be taken hold of.

#include <QList>
#include <QPoint>
#include <QRect>

class QWidget;

namespace kelm {

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

// Sizes a window that lays itself out to the preferred size or, on a smaller screen, to what that
// screen's available area leaves (never below the layout's minimum), centred over the owner's screen area.
void FitOnScreen(QWidget* window, const QSize& preferred, const QWidget* owner);

// Where a restored window's frame goes: wholly on the screen that holds most of it (when it overlaps
// none, the screen its title bar would be brought onto), on each axis where it fits that screen; where
// it is larger than the screen, at the screen's left or top edge. titleBar: the height of a title bar
// the frame does not include yet (0 once the window manager has framed the window). With no screens
// the corner stays.
QPoint RestoredFramePosition(const QRect& frame, const QList<QRect>& screens, int titleBar);

// Moves a window's frame to the corner (one from a settings file, which may stand anywhere), then onto
// the screens as RestoredFramePosition says.
void MoveOnScreen(QWidget* window, const QPoint& frameCorner);

} // namespace kelm
