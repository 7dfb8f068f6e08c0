#pragma once
// Where the window goes on the screens of today, and which scale suits the
// screen it is on.

#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>

#include <optional>

class QScreen;
struct SettingsRect;

// Whether a window saved at topLeft with this frame size can be put back
// there: the middle of its title strip lies on one of the screens.
bool IsPlaceOnScreens(const QPoint& topLeft, const QSize& size, const QList<QRect>& screens);
// The place nearest to topLeft where the whole window lies on screen.
QPoint KeepOnScreen(const QPoint& topLeft, const QSize& size, const QRect& screen);
// Where a window of this frame size goes back to from the saved place, or
// none: no place saved, or the screen it was on is gone.
std::optional<QPoint> RestoredPlace(const SettingsRect& saved, const QSize& size);

// Double scale for a screen of this density (1) or not (0).
int DoubleScaleForScreen(const QScreen* screen);
// The ratio the art is drawn at on this screen at this scale.
qreal ArtRatioForScreen(const QScreen* screen, int doubleScale);
