#include "platform/qt/DesktopStyle.h"

#include <QGuiApplication>
#include <QPalette>
#include <QStyleHints>

#include "platform/DesktopPortal.h"

namespace {
// A portal is started on demand by the bus; one that takes longer than this
// is taken as absent rather than holding up the window.
const int kPortalTimeoutMs = 500;
}  // namespace

bool DesktopPrefersDark()
{
    const int scheme = PortalColorScheme(kPortalTimeoutMs);
    if (scheme == 1 || scheme == 2) return scheme == 1;
#if QT_VERSION >= QT_VERSION_CHECK(6, 5, 0)
    const Qt::ColorScheme hint = QGuiApplication::styleHints()->colorScheme();
    if (hint != Qt::ColorScheme::Unknown) return hint == Qt::ColorScheme::Dark;
#endif
    return QGuiApplication::palette().color(QPalette::Window).lightness() < 128;
}
