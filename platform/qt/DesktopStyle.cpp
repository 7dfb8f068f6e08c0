#include "platform/qt/DesktopStyle.h"

#include <QGuiApplication>
#include <QPalette>
#include <QStyleHints>

#include "platform/DesktopBus.h"

bool DesktopPrefersDark()
{
    const int scheme = PortalColorScheme();
    if (scheme == 1 || scheme == 2) return scheme == 1;
#if QT_VERSION >= QT_VERSION_CHECK(6, 5, 0)
    const Qt::ColorScheme hint = QGuiApplication::styleHints()->colorScheme();
    if (hint != Qt::ColorScheme::Unknown) return hint == Qt::ColorScheme::Dark;
#endif
    return QGuiApplication::palette().color(QPalette::Window).lightness() < 128;
}
