// A stand-in for the desktop's settings portal on a private session bus:
// answers org.freedesktop.portal.Settings Read for the appearance
// color-scheme with the number given (1 dark, 2 light, 0 no preference).
// Prints "ready" once its name is on the bus. Usage: fake_portal SCHEME
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QDBusVirtualObject>

#include <cstdio>
#include <cstdlib>

namespace {
class CSettingsObject : public QDBusVirtualObject {
public:
    explicit CSettingsObject(uint scheme) : m_scheme(scheme) {}
    QString introspect(const QString&) const override { return {}; }
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override
    {
        if (message.interface() != "org.freedesktop.portal.Settings" || message.member() != "Read") return false;
        const QList<QVariant> args = message.arguments();
        QDBusMessage reply;
        if (args.size() == 2 && args[0].toString() == "org.freedesktop.appearance" &&
            args[1].toString() == "color-scheme") {
            // Read wraps the value in a second variant, as real portals do.
            reply = message.createReply(QVariant::fromValue(QDBusVariant(QVariant::fromValue(QDBusVariant(m_scheme)))));
        } else {
            reply = message.createErrorReply("org.freedesktop.portal.Error.NotFound", "no such setting");
        }
        connection.send(reply);
        return true;
    }

private:
    uint m_scheme;
};
}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    CSettingsObject settings(argc > 1 ? static_cast<uint>(std::atoi(argv[1])) : 0);
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.registerVirtualObject("/org/freedesktop/portal/desktop", &settings) ||
        !bus.registerService("org.freedesktop.portal.Desktop")) {
        std::fprintf(stderr, "fake_portal: cannot serve on the session bus\n");
        return 1;
    }
    std::printf("ready\n");
    std::fflush(stdout);
    return app.exec();
}
