// The ways an alert goes out on its own: the desktop notification on the
// session bus and the keeper's command.
#include "alerts/alert_command.h"
#include "alerts/desktop_notifier.h"
#include "notification_server.h"
#include "support/recording_reporter.h"
#include "text/text_catalogue.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace kv {
namespace {

using testing::NotificationServer;
using testing::RecordingReporter;

AlertNotice notice(AlertKind kind, AlertLevel level, AlertChange change = AlertChange::Raised) {
    return {kind, change, level, 29.5, 1000, 1000};
}

uchar urgencyOf(const testing::NotifyCall& call) {
    return call.hints.value(QStringLiteral("urgency")).value<uchar>();
}

TEST(DesktopNotifier, UrgencyExpiryAndOneNotificationPerKind) {
    NotificationServer server;
    ASSERT_TRUE(server.registered);
    DesktopNotifier notifier;
    ASSERT_TRUE(notifier.available());
    const auto send = [&](const AlertNotice& n) {
        const std::size_t before = server.calls.size();
        notifier.notify(n, QStringLiteral("Zusammenfassung"), QStringLiteral("Text"));
        EXPECT_TRUE(QTest::qWaitFor([&] { return server.calls.size() == before + 1; }, 5000));
        // The id arrives with the answer.
        QTest::qWait(20);
    };
    send(notice(AlertKind::Temperature, AlertLevel::Warning));
    send(notice(AlertKind::Temperature, AlertLevel::Critical));
    send(notice(AlertKind::SensorLost, AlertLevel::Warning));
    send(notice(AlertKind::BoardGone, AlertLevel::Warning));
    send(notice(AlertKind::Temperature, AlertLevel::None, AlertChange::Cleared));
    send(notice(AlertKind::BoardGone, AlertLevel::None, AlertChange::Cleared));
    ASSERT_EQ(server.calls.size(), 6u);
    const auto& c = server.calls;
    // Warning: normal, expires as the server likes.
    EXPECT_EQ(urgencyOf(c[0]), 1);
    EXPECT_EQ(c[0].expireTimeout, -1);
    EXPECT_EQ(c[0].replacesId, 0u);
    // Critical: urgent, stays; replaces the temperature's notification.
    EXPECT_EQ(urgencyOf(c[1]), 2);
    EXPECT_EQ(c[1].expireTimeout, 0);
    EXPECT_EQ(c[1].replacesId, c[0].id);
    // Another kind has a notification of its own.
    EXPECT_EQ(c[2].replacesId, 0u);
    EXPECT_EQ(urgencyOf(c[2]), 1);
    // A board that is gone is urgent whatever its level.
    EXPECT_EQ(urgencyOf(c[3]), 2);
    EXPECT_EQ(c[3].expireTimeout, 0);
    EXPECT_EQ(c[3].replacesId, 0u);
    // The clears replace their kind's notification and are not urgent.
    EXPECT_EQ(c[4].replacesId, c[0].id);
    EXPECT_EQ(urgencyOf(c[4]), 1);
    EXPECT_EQ(c[5].replacesId, c[3].id);
    EXPECT_EQ(urgencyOf(c[5]), 1);
    for (const auto& call : c) {
        EXPECT_EQ(call.hints.value(QStringLiteral("desktop-entry")).toString(),
                  QStringLiteral("kestvelqor"));
        EXPECT_EQ(call.summary, QStringLiteral("Zusammenfassung"));
        EXPECT_EQ(call.body, QStringLiteral("Text"));
    }
}

class AlertCommandTest : public ::testing::Test {
protected:
    void SetUp() override { LoadTextCatalogue(); }
    bool waitDone(AlertCommandRunner& runner) {
        return QTest::qWaitFor([&] { return runner.running() == 0; }, 10000);
    }
    QTemporaryDir dir;
    RecordingReporter reporter;
    const AlertCommandCall call{QStringLiteral("temperature"), QStringLiteral("critical"),
                                QStringLiteral("29.5"), QStringLiteral("SIM-0001"),
                                QStringLiteral("Wassertemperatur 29,5 °C")};
};

TEST_F(AlertCommandTest, TheCommandGetsTheAlertInItsEnvironment) {
    AlertCommandRunner runner(reporter);
    const QString out = dir.filePath(QStringLiteral("env.txt"));
    // Run directly: the shell is the keeper's own choice of program here.
    runner.run(QStringLiteral("/bin/sh -c \"env > $0\" ") + out, call);
    ASSERT_TRUE(waitDone(runner));
    QFile file(out);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString env = QString::fromUtf8(file.readAll());
    EXPECT_TRUE(env.contains(QStringLiteral("KESTVELQOR_ALERT_KIND=temperature\n")));
    EXPECT_TRUE(env.contains(QStringLiteral("KESTVELQOR_ALERT_LEVEL=critical\n")));
    EXPECT_TRUE(env.contains(QStringLiteral("KESTVELQOR_ALERT_VALUE=29.5\n")));
    EXPECT_TRUE(env.contains(QStringLiteral("KESTVELQOR_ALERT_SERIAL=SIM-0001\n")));
    EXPECT_TRUE(env.contains(QStringLiteral("KESTVELQOR_ALERT_TEXT=Wassertemperatur 29,5 °C\n")));
    EXPECT_TRUE(reporter.logged.isEmpty());
}

TEST_F(AlertCommandTest, NoShellReadsTheCommand) {
    AlertCommandRunner runner(reporter);
    const QString out = dir.filePath(QStringLiteral("out.txt"));
    // A shell would write the file; echo only prints the words.
    runner.run(QStringLiteral("/bin/echo $HOME > ") + out + QStringLiteral("; touch ") + out, call);
    ASSERT_TRUE(waitDone(runner));
    EXPECT_FALSE(QFile::exists(out));
    EXPECT_TRUE(reporter.logged.isEmpty());
}

TEST_F(AlertCommandTest, ACommandOverItsTimeIsKilledAndEveryFailureIsLogged) {
    AlertCommandRunner runner(reporter);
    runner.setTimeLimit(300);
    runner.run(QStringLiteral("/bin/sleep 20"), call);
    runner.run(QStringLiteral("/bin/false"), call);
    runner.run(dir.filePath(QStringLiteral("no-such-program")), call);
    runner.run(QStringLiteral("/bin/sh -c \"kill -SEGV $$\""), call);
    ASSERT_TRUE(waitDone(runner));
    EXPECT_EQ(reporter.logged.filter(QStringLiteral("wurde beendet")).size(), 1)
        << reporter.logged.join('\n').toStdString();
    EXPECT_EQ(reporter.logged.filter(QStringLiteral("/bin/false endete mit Status 1")).size(), 1);
    EXPECT_EQ(reporter.logged.filter(QStringLiteral("konnte nicht gestartet werden")).size(), 1);
    EXPECT_EQ(reporter.logged.filter(QStringLiteral("abgestürzt")).size(), 1);
    EXPECT_EQ(reporter.logged.size(), 4);
}

} // namespace
} // namespace kv
