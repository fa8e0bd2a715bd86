// The alerts over a simulated board: raised and cleared through every way
// of delivery, reminders, the rules read again when the file changes, and
// one process evaluating while a second stays silent.
#include "alerts/active_alerts_file.h"
#include "alerts/alert_history.h"
#include "alerts/alert_monitor.h"
#include "board/board_service.h"
#include "history/history_recorder.h"
#include "notification_server.h"
#include "sim/sim_backend.h"
#include "sim/simulated_board.h"
#include "support/recording_reporter.h"
#include "text/text_catalogue.h"

#include <QFile>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace kv {
namespace {

using testing::NotificationServer;
using testing::RecordingReporter;

constexpr qint64 Start = 1796083200000; // 2026-12-01T00:00:00Z

class AlertMonitorTest : public ::testing::Test {
protected:
    void SetUp() override {
        LoadTextCatalogue();
        ASSERT_TRUE(server.registered);
        qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
        rulesPath = dir.filePath(QStringLiteral("alerts.ini"));
        service.scanNow();
        ASSERT_TRUE(service.isConnected());
    }
    void TearDown() override { qunsetenv("XDG_RUNTIME_DIR"); }

    void rules(const QByteArray& text) {
        QFile file(rulesPath);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }
    std::unique_ptr<AlertMonitor> monitor(HistoryRecorder* recorder = nullptr) {
        auto m = std::make_unique<AlertMonitor>(service, reporter, rulesPath, recorder);
        m->setClock([this] { return clock; });
        return m;
    }
    // Polls once a second (of the test's clock) with this water temperature
    // (none: the sensor is missing).
    void poll(int seconds, std::optional<double> water = 25.0, double volts = 12.0) {
        auto& info = sim.board().info();
        info.WaterTemp = water ? std::int16_t(std::lround(*water * 10)) : NoValue;
        info.InputVoltage = std::int16_t(std::lround(volts * 100));
        for (int i = 0; i < seconds; ++i) {
            clock += 1000;
            service.pollNow();
        }
    }
    // Waits until the notification server has this many calls.
    bool notified(std::size_t count) {
        const bool reached = QTest::qWaitFor([&] { return server.calls.size() >= count; }, 5000);
        QTest::qWait(20); // the ids come back with the answers
        return reached && server.calls.size() == count;
    }

    NotificationServer server;
    QTemporaryDir dir;
    QTemporaryDir runtime;
    QString rulesPath;
    sim::SimBackend sim;
    RecordingReporter reporter;
    BoardService service{reporter, {{&sim, &sim}}};
    qint64 clock = Start;
};

TEST_F(AlertMonitorTest, TemperatureWarningToCriticalAndBackThroughEveryWay) {
    rules("[temperature]\nwarn_low=24\nwarn_high=27\ncritical_low=23\ncritical_high=28.5\n"
          "hysteresis=0.2\ndelay=5\n");
    // Written as `alerts set` writes it: the quotes of the command kept.
    QList<AlertRuleProblem> problems;
    ASSERT_TRUE(changeAlertRules(
        rulesPath,
        {{"notify.command", "/bin/sh -c \"echo $KESTVELQOR_ALERT_KIND $KESTVELQOR_ALERT_LEVEL "
                            "$KESTVELQOR_ALERT_VALUE >> " +
                                dir.filePath("commands.txt") + "\""}},
        &problems));
    HistoryRecorder recorder(service, reporter, dir.filePath(QStringLiteral("history.sqlite")));
    auto m = monitor(&recorder);
    ASSERT_TRUE(m->evaluating());
    QSignalSpy told(m.get(), &AlertMonitor::alertTold);

    // From the first poll outside, the delay: 5 s later.
    poll(5, 27.6);
    EXPECT_TRUE(m->active().empty());
    poll(1, 27.6);
    ASSERT_EQ(told.size(), 1);
    ASSERT_TRUE(notified(1));
    poll(6, 29.5);
    ASSERT_TRUE(notified(2));
    poll(3, 28.4); // not back by the hysteresis below 28.5: still critical
    ASSERT_EQ(server.calls.size(), 2u);
    poll(1, 28.0);
    ASSERT_TRUE(notified(3));
    poll(1, 25.0);
    ASSERT_TRUE(notified(4));
    ASSERT_EQ(told.size(), 4);

    const auto& c = server.calls;
    EXPECT_EQ(c[0].summary, Msg(QStringLiteral("AlertSummaryTemperatureWarning")));
    EXPECT_TRUE(c[0].body.contains(QStringLiteral("27,6 °C"))) << c[0].body.toStdString();
    EXPECT_TRUE(c[0].body.contains(QStringLiteral("24,0 bis 27,0 °C")));
    EXPECT_EQ(c[1].summary, Msg(QStringLiteral("AlertSummaryTemperatureCritical")));
    EXPECT_TRUE(c[1].body.contains(QStringLiteral("29,5 °C")));
    EXPECT_TRUE(c[1].body.contains(QStringLiteral("23,0 bis 28,5 °C")));
    EXPECT_EQ(c[1].replacesId, c[0].id);
    EXPECT_EQ(c[2].summary, Msg(QStringLiteral("AlertSummaryTemperatureWarning")));
    EXPECT_EQ(c[3].summary, Msg(QStringLiteral("AlertSummaryCleared")));
    EXPECT_EQ(c[3].replacesId, c[0].id);

    // The command ran each time with the alert's words.
    ASSERT_TRUE(QTest::qWaitFor([&] { return m->commandRunner().running() == 0; }, 5000));
    QFile commands(dir.filePath("commands.txt"));
    ASSERT_TRUE(commands.open(QIODevice::ReadOnly));
    EXPECT_EQ(commands.readAll(), "temperature warning 27.6\ntemperature critical 29.5\n"
                                  "temperature warning 28\ntemperature cleared 25\n");

    // A line in the log for each, and the events in the history file.
    EXPECT_EQ(reporter.logged.filter(QStringLiteral("Alarm: ")).size(), 3);
    EXPECT_EQ(reporter.logged.filter(QStringLiteral("Alarm beendet: ")).size(), 1);
    recorder.flush();
    const QJsonArray recent = recentAlertEvents(recorder.path(), 20);
    ASSERT_EQ(recent.size(), 4);
    EXPECT_EQ(recent[1].toObject().value("level").toString(), QStringLiteral("critical"));
    EXPECT_EQ(recent[1].toObject().value("value").toDouble(), 29.5);
    EXPECT_EQ(recent[3].toObject().value("level").toString(), QStringLiteral("cleared"));
}

TEST_F(AlertMonitorTest, TheSensorLostTheBoardGoneAndTheVoltageLow) {
    rules("[sensor]\nmissing_delay=3\n[board]\nunplugged_delay=4\n[voltage]\nlow=11.0\ndelay=2\n");
    auto m = monitor();
    poll(3, std::nullopt);
    EXPECT_TRUE(m->active().empty());
    poll(1, std::nullopt);
    ASSERT_EQ(m->active().size(), 1u);
    EXPECT_EQ(m->active()[0].kind, AlertKind::SensorLost);
    ASSERT_TRUE(notified(1));
    // Published for the command that shows them.
    const auto published = readActiveAlerts();
    ASSERT_EQ(published.size(), 1u);
    EXPECT_EQ(published[0].kind, AlertKind::SensorLost);
    EXPECT_EQ(published[0].text, m->active()[0].text);
    poll(1, 25.0);
    EXPECT_TRUE(m->active().empty());
    EXPECT_TRUE(readActiveAlerts().empty());
    ASSERT_TRUE(notified(2));

    poll(3, 25.0, 10.8);
    ASSERT_EQ(m->active().size(), 1u);
    EXPECT_EQ(m->active()[0].kind, AlertKind::VoltageLow);
    EXPECT_TRUE(m->active()[0].text.contains(QStringLiteral("10,8 V")));
    ASSERT_TRUE(notified(3));
    poll(1, 25.0, 11.3);
    EXPECT_TRUE(m->active().empty());
    ASSERT_TRUE(notified(4));

    sim.unplugBoard();
    service.scanNow();
    ASSERT_FALSE(service.isConnected());
    for (int i = 0; i < 3; ++i) {
        clock += 1000;
        m->evaluateNow();
    }
    EXPECT_TRUE(m->active().empty());
    clock += 1000;
    m->evaluateNow();
    ASSERT_EQ(m->active().size(), 1u);
    EXPECT_EQ(m->active()[0].kind, AlertKind::BoardGone);
    ASSERT_TRUE(notified(5));
    sim.plugBoard();
    service.scanNow();
    ASSERT_TRUE(service.isConnected());
    poll(1, 25.0);
    EXPECT_TRUE(m->active().empty());

    // Every one went out on the desktop, each kind with its own notification.
    ASSERT_TRUE(notified(6));
    const auto& c = server.calls;
    EXPECT_EQ(c[0].summary, Msg(QStringLiteral("AlertSummarySensorLost")));
    EXPECT_EQ(c[1].replacesId, c[0].id);
    EXPECT_EQ(c[2].summary, Msg(QStringLiteral("AlertSummaryVoltageLow")));
    EXPECT_EQ(c[2].replacesId, 0u);
    EXPECT_EQ(c[4].summary, Msg(QStringLiteral("AlertSummaryBoardGone")));
    EXPECT_EQ(c[4].hints.value("urgency").value<uchar>(), 2);
    EXPECT_EQ(c[5].replacesId, c[4].id);
}

TEST_F(AlertMonitorTest, ACriticalAlertIsToldAgainAfterTheReminderTime) {
    rules("[temperature]\ncritical_high=28.5\ndelay=0\n[notify]\nreminder_hours=0.001\n");
    auto m = monitor();
    poll(1, 30.0);
    ASSERT_TRUE(notified(1));
    poll(3, 30.0); // 3.6 s is the reminder time
    ASSERT_EQ(server.calls.size(), 1u);
    poll(1, 30.0);
    ASSERT_TRUE(notified(2));
    EXPECT_TRUE(server.calls[1].body.startsWith(QStringLiteral("Erinnerung: ")));
    EXPECT_EQ(server.calls[1].replacesId, server.calls[0].id);
}

TEST_F(AlertMonitorTest, OneProcessEvaluatesWhileASecondStaysSilent) {
    rules("[temperature]\nwarn_high=27\ndelay=2\n[notify]\ndesktop=true\n");
    HistoryRecorder firstRecorder(service, reporter, dir.filePath(QStringLiteral("a.sqlite")));
    auto first = monitor(&firstRecorder);
    // The second has no history (--no-history): the same lock keeps it out.
    auto second = monitor();
    EXPECT_TRUE(first->evaluating());
    EXPECT_FALSE(second->evaluating());
    EXPECT_EQ(reporter.logged.filter(QStringLiteral("prüft ein anderes Programm")).size(), 1);
    QSignalSpy secondTold(second.get(), &AlertMonitor::alertTold);
    poll(3, 28.0);
    ASSERT_TRUE(notified(1));
    EXPECT_EQ(first->active().size(), 1u);
    EXPECT_TRUE(second->active().empty());
    EXPECT_EQ(secondTold.size(), 0);
}

TEST_F(AlertMonitorTest, AChangedFileIsReadWithinAFewSecondsAndItsWrongKeysAreLogged) {
    rules("[temperature]\nwarn_high=27\n");
    auto m = monitor();
    EXPECT_EQ(m->rules().warnHigh, 27.0);
    QSignalSpy reloaded(m.get(), &AlertMonitor::rulesReloaded);
    QList<AlertRuleProblem> problems;
    ASSERT_TRUE(changeAlertRules(rulesPath, {{"temperature.warn_high", "26.5"}}, &problems));
    ASSERT_TRUE(QTest::qWaitFor([&] { return m->rules().warnHigh == 26.5; }, 5000));
    rules("[temperature]\nwarn_high=hot\nwarn_low=20\n");
    ASSERT_TRUE(QTest::qWaitFor([&] { return m->rules().warnLow == 20.0; }, 5000));
    EXPECT_FALSE(m->rules().warnHigh);
    EXPECT_EQ(m->ruleProblems().size(), 1);
    EXPECT_EQ(reporter.logged.filter(QStringLiteral("temperature.warn_high")).size(), 1);
    QFile::remove(rulesPath);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !m->rules().warnLow; }, 5000));
    EXPECT_GE(reloaded.size(), 3);
}

} // namespace
} // namespace kv
