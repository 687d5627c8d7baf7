#include "WindowPlacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <cstdlib>
#include <optional>

namespace kelm {

namespace {

// Enough of the title bar to drag the window by, in pixels.
constexpr qint64 kTitleBarGrip = 100;
// The title bar's height when the window manager has not framed the window (yet, or at all).
constexpr int kTitleBarAllowance = 24;
// A window manager's border on each side.
constexpr int kFrameBorderAllowance = 4;

// Qt keeps a window's corners in ints and adds the window's size to them: a coordinate near the int
// limits would wrap round. Qt's own bound on widget sizes keeps the sums in range.
int ScreenCoordinate(int value)
{
    return std::clamp(value, -QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
}

} // namespace

void PlaceBeside(QWidget* window, const QRect& mainFrame, const QPoint& offset)
{
    window->move(mainFrame.topLeft() + offset);
}

QPoint ReachableFramePosition(const QRect& frame, const QList<QRect>& screens, int titleBar)
{
    // Done in 64 bits: a corner from the settings file may stand near the int limits.
    const qint64 width = std::max(frame.width(), 1);
    const qint64 grip = std::min(kTitleBarGrip, width);
    const qint64 height = std::max(titleBar, 1);
    std::optional<QPoint> nearest;
    qint64 nearestDistance = 0;
    for (const QRect& screen : screens) {
        if (screen.isEmpty())
            continue;
        const qint64 left = qint64(screen.left()) - width + grip;
        const qint64 right = std::max(left, qint64(screen.right()) + 1 - grip);
        const qint64 top = screen.top();
        const qint64 bottom = std::max(top, qint64(screen.bottom()) + 1 - height);
        const qint64 x = std::clamp(qint64(frame.x()), left, right);
        const qint64 y = std::clamp(qint64(frame.y()), top, bottom);
        const qint64 distance = std::llabs(x - frame.x()) + std::llabs(y - frame.y());
        if (!nearest || distance < nearestDistance) {
            nearest = QPoint(int(x), int(y));
            nearestDistance = distance;
        }
    }
    return nearest.value_or(frame.topLeft());
}

namespace {

// The screen that holds most of the rectangle (in 64 bits: corners from a settings file may stand near
// the int limits); nothing when it overlaps none.
const QRect* MostOverlapped(qint64 left, qint64 top, qint64 width, qint64 height, const QList<QRect>& screens)
{
    const QRect* chosen = nullptr;
    qint64 largestOverlap = 0;
    for (const QRect& screen : screens) {
        const qint64 overlapWidth =
            std::min(left + width, qint64(screen.right()) + 1) - std::max(left, qint64(screen.left()));
        const qint64 overlapHeight =
            std::min(top + height, qint64(screen.bottom()) + 1) - std::max(top, qint64(screen.top()));
        if (overlapWidth > 0 && overlapHeight > 0 && overlapWidth * overlapHeight > largestOverlap) {
            largestOverlap = overlapWidth * overlapHeight;
            chosen = &screen;
        }
    }
    return chosen;
}

} // namespace

QPoint RestoredFramePosition(const QRect& frame, const QList<QRect>& screens, int titleBar)
{
    // The title bar still to come stands above the frame's top.
    const qint64 width = std::max(frame.width(), 1);
    const qint64 height = qint64(std::max(frame.height(), 1)) + titleBar;
    const qint64 left = frame.x();
    const qint64 top = qint64(frame.y()) - titleBar;
    const QRect* chosen = MostOverlapped(left, top, width, height, screens);
    if (!chosen) {
        // Off every screen: the one the title-bar rule would bring it onto, the nearest.
        const QPoint reachable = ReachableFramePosition(frame, screens, std::max(titleBar, 1));
        chosen = MostOverlapped(reachable.x(), reachable.y(), width, std::max(titleBar, 1), screens);
    }
    if (!chosen)
        return frame.topLeft();
    const auto place = [](qint64 start, qint64 size, qint64 screenStart, qint64 screenSize) {
        return size > screenSize ? screenStart : std::clamp(start, screenStart, screenStart + screenSize - size);
    };
    return QPoint(int(place(left, width, chosen->left(), chosen->width())),
                  int(place(top, height, chosen->top(), chosen->height()) + titleBar));
}

void FitOnScreen(QWidget* window, const QSize& preferred, const QWidget* owner)
{
    const QScreen* screen = owner && owner->screen() ? owner->screen() : QGuiApplication::primaryScreen();
    if (!screen) {
        window->resize(preferred);
        return;
    }
    const QRect available = screen->availableGeometry();
    // The window manager's frame is not known before the window is shown: allow a title bar and borders.
    const QSize room =
        available.size() - QSize(2 * kFrameBorderAllowance, kTitleBarAllowance + kFrameBorderAllowance);
    const QSize size = preferred.boundedTo(room).expandedTo(window->minimumSizeHint());
    window->resize(size);
    window->move(available.center() - QPoint(size.width() / 2, size.height() / 2 - kTitleBarAllowance / 2));
}

void MoveOnScreen(QWidget* window, const QPoint& frameCorner)
{
    window->move(ScreenCoordinate(frameCorner.x()), ScreenCoordinate(frameCorner.y()));
    QList<QRect> screens;
    for (const QScreen* screen : QGuiApplication::screens())
        screens.append(screen->availableGeometry());
    const QRect frame = window->frameGeometry();
    // Before the window manager frames the window, its title bar is not in the frame yet.
    const int framedTitleBar = window->geometry().top() - frame.top();
    const int titleBarToCome = std::max(kTitleBarAllowance - framedTitleBar, 0);
    const QPoint placed = RestoredFramePosition(frame, screens, titleBarToCome);
    if (placed != frame.topLeft())
        window->move(placed);
}

} // namespace kelm
