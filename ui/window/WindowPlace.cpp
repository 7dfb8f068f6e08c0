#include "ui/window/WindowPlace.h"

#include <QGuiApplication>
#include <QScreen>

#include <algorithm>
#include <climits>
#include <optional>

#include "settings/SettingsStore.h"

namespace {
// From this device pixel ratio on, the double-size art drawn one to one is
// sharper than the normal art scaled up.
const qreal kDenseRatio = 1.5;

// The middle of the title strip, where the window is held; none for a place
// so far out (a stored 2147483647) that the strip lies beyond every coordinate.
std::optional<QPoint> Grip(const QPoint& topLeft, const QSize& size)
{
    const qint64 x = qint64(topLeft.x()) + size.width() / 2, y = qint64(topLeft.y()) + 10;
    if (x > INT_MAX || y > INT_MAX || x < INT_MIN || y < INT_MIN) return std::nullopt;
    return QPoint(int(x), int(y));
}
}  // namespace

bool IsPlaceOnScreens(const QPoint& topLeft, const QSize& size, const QList<QRect>& screens)
{
    const std::optional<QPoint> grip = Grip(topLeft, size);
    for (const QRect& screen : screens)
        if (grip && screen.contains(*grip)) return true;
    return false;
}

QPoint KeepOnScreen(const QPoint& topLeft, const QSize& size, const QRect& screen)
{
    // Right and bottom first, so a window larger than the screen keeps its title bar in view.
    const int x = std::max(screen.left(), std::min(topLeft.x(), screen.right() + 1 - size.width()));
    const int y = std::max(screen.top(), std::min(topLeft.y(), screen.bottom() + 1 - size.height()));
    return QPoint(x, y);
}

std::optional<QPoint> RestoredPlace(const SettingsRect& saved, const QSize& size)
{
    // No place saved: the window manager places the window.
    if (saved.left == -1) return std::nullopt;
    // A place on a screen that is gone would put the window out of reach; on a
    // screen that shrank (another resolution or scale) it is pulled back in whole.
    const QPoint place(saved.left, saved.top);
    const std::optional<QPoint> grip = Grip(place, size);
    for (const QScreen* screen : QGuiApplication::screens())
        if (grip && screen->availableGeometry().contains(*grip))
            return KeepOnScreen(place, size, screen->availableGeometry());
    return std::nullopt;
}

int DoubleScaleForScreen(const QScreen* screen)
{
    return screen && screen->devicePixelRatio() >= kDenseRatio ? 1 : 0;
}

qreal ArtRatioForScreen(const QScreen* screen, int doubleScale)
{
    const qreal ratio = screen ? screen->devicePixelRatio() : 1;
    return doubleScale && ratio >= kDenseRatio ? ratio : 1;
}
