#pragma once

// A notification server for the tests: owns org.freedesktop.Notifications
// on the session bus (a private one under dbus-run-session) through a
// connection of its own, and records every Notify call.

#include <QDBusAbstractAdaptor>
#include <QDBusConnection>
#include <QObject>
#include <QStringList>
#include <QVariantMap>

#include <vector>

namespace kv::testing {

struct NotifyCall {
    QString appName;
    uint replacesId = 0;
    QString summary;
    QString body;
    QVariantMap hints;
    int expireTimeout = 0;
    uint id = 0; // the id the server answered with
};

class NotificationServer : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    NotificationServer()
        : bus_(QDBusConnection::connectToBus(QDBusConnection::SessionBus,
                                             QStringLiteral("test-notification-server"))) {
        registered = bus_.registerObject(QStringLiteral("/org/freedesktop/Notifications"), this,
                                         QDBusConnection::ExportAllSlots) &&
                     bus_.registerService(QStringLiteral("org.freedesktop.Notifications"));
    }
    ~NotificationServer() override {
        bus_.unregisterService(QStringLiteral("org.freedesktop.Notifications"));
        bus_.unregisterObject(QStringLiteral("/org/freedesktop/Notifications"));
        QDBusConnection::disconnectFromBus(QStringLiteral("test-notification-server"));
    }

    bool registered = false;
    std::vector<NotifyCall> calls;

public slots:
    uint Notify(const QString& appName, uint replacesId, const QString& icon,
                const QString& summary, const QString& body, const QStringList& actions,
                const QVariantMap& hints, int expireTimeout) {
        Q_UNUSED(icon);
        Q_UNUSED(actions);
        const uint id = replacesId != 0 ? replacesId : nextId_++;
        calls.push_back({appName, replacesId, summary, body, hints, expireTimeout, id});
        return id;
    }
    QStringList GetCapabilities() { return {QStringLiteral("body")}; }

private:
    QDBusConnection bus_;
    uint nextId_ = 1;
};

} // namespace kv::testing
