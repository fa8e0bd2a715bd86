// The taskbar indicator on a session bus of its own: every value and state
// goes out as a launcher-entry update for the program's desktop file.
#include "qt_printers.h"

#include "app/taskbar_progress.h"

#include <QDBusConnection>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>
#include <QVariantMap>

#include <gtest/gtest.h>

namespace kv {
namespace {

class LauncherListener : public QObject {
    Q_OBJECT
public:
    QStringList uris;
    QList<QVariantMap> updates;
public slots:
    void Update(const QString& uri, const QVariantMap& properties) {
        uris << uri;
        updates << properties;
    }
};

TEST(TaskbarDbusTest, ValuesAndStatesGoOutAsLauncherEntryUpdates) {
    const QString daemon = QStandardPaths::findExecutable("dbus-daemon");
    if (daemon.isEmpty())
        GTEST_SKIP() << "dbus-daemon is not installed";
    QProcess bus;
    bus.start(daemon, {"--session", "--nofork", "--print-address"});
    ASSERT_TRUE(bus.waitForStarted(10000));
    ASSERT_TRUE(bus.waitForReadyRead(10000));
    const QByteArray address = bus.readLine().trimmed();
    ASSERT_FALSE(address.isEmpty());
    // The program's session bus is this one (this test program's first use).
    qputenv("DBUS_SESSION_BUS_ADDRESS", address);

    QDBusConnection listening =
        QDBusConnection::connectToBus(QString::fromUtf8(address), "listener");
    ASSERT_TRUE(listening.isConnected());
    LauncherListener listener;
    ASSERT_TRUE(listening.connect(QString(), QString(), "com.canonical.Unity.LauncherEntry",
                                  "Update", &listener, SLOT(Update(QString, QVariantMap))));

    {
        TaskbarProgress taskbar;
        ASSERT_TRUE(taskbar.available());
        taskbar.SetTaskbarProgress(1, 4);
        taskbar.SetTaskbarState(TaskbarState::Error);
        ASSERT_TRUE(QTest::qWaitFor([&] { return listener.updates.size() == 2; }, 5000));
    }
    EXPECT_EQ(listener.uris[0], "application://kestvelqor.desktop");
    EXPECT_DOUBLE_EQ(listener.updates[0].value("progress").toDouble(), 0.25);
    EXPECT_FALSE(listener.updates[0].value("urgent").toBool());
    EXPECT_TRUE(listener.updates[1].value("urgent").toBool());
    EXPECT_TRUE(listener.updates[1].value("progress-visible").toBool());

    QDBusConnection::disconnectFromBus("listener");
    bus.terminate();
    bus.waitForFinished(5000);
}

} // namespace
} // namespace kv

#include "taskbar_dbus_test.moc"
