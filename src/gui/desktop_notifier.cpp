#include "gui/desktop_notifier.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QVariantMap>

void DesktopNotifier::notify(const QString& summary, const QString& body) const {
    // Without an address libdbus would launch a bus of its own.
    if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS")) {
        return;
    }
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.Notifications"),
        QStringLiteral("/org/freedesktop/Notifications"),
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
    // app name, id to replace, icon, summary, body, actions, hints, timeout (the server's).
    const QVariantMap hints{{QStringLiteral("desktop-entry"), desktopEntry_}};
    call << QStringLiteral("Orvex Video Converter") << 0u << desktopEntry_ << summary << body
         << QStringList() << hints << -1;
    // The answer is not waited for: a desktop without the service simply says nothing.
    bus.send(call);
}
