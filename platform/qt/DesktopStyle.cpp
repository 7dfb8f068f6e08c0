#include "platform/qt/DesktopStyle.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QGuiApplication>
#include <QPalette>
#include <QStyleHints>

namespace {
// A portal is started on demand by the bus; one that takes longer than this
// is taken as absent rather than holding up the window.
const int kPortalTimeoutMs = 500;

// The reply nests the value in one or two variants (Read wraps it twice).
QVariant Unwrap(QVariant value)
{
    while (value.canConvert<QDBusVariant>() && value.userType() == qMetaTypeId<QDBusVariant>())
        value = value.value<QDBusVariant>().variant();
    return value;
}
}  // namespace

int PortalColorScheme()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) return -1;
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.portal.Desktop"), QStringLiteral("/org/freedesktop/portal/desktop"),
        QStringLiteral("org.freedesktop.portal.Settings"), QStringLiteral("Read"));
    call << QStringLiteral("org.freedesktop.appearance") << QStringLiteral("color-scheme");
    const QDBusMessage reply = bus.call(call, QDBus::Block, kPortalTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return -1;
    bool ok = false;
    const uint scheme = Unwrap(reply.arguments().first()).toUInt(&ok);
    return ok && scheme <= 2 ? static_cast<int>(scheme) : -1;
}

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
