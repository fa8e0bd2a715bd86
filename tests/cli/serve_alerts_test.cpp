// serve's alerts as a keeper runs it: the board gone raised by the server
// that records the board and told on its live feed and under
// /api/v1/alerts, while a second server beside it stays silent; the
// command line shows the active alert and, afterwards, the events.
#include "serve_test_support.h"

#include <QTest>

using namespace kv::testing;

namespace {

class ServeAlertsTest : public ServeCliTest {
protected:
    void writeRules(const QByteArray& text) {
        QDir().mkpath(path("config/kestvelqor"));
        QFile file(path("config/kestvelqor/alerts.ini"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }
    QJsonArray activeAt(const QString& base) {
        client.base = base;
        const QJsonObject json = client.get("/api/v1/alerts").json();
        return json["active"].toArray();
    }
    CliResult alerts(const QStringList& args) {
        return run(QStringList{"--json", "alerts"} + args, {},
                   {"XDG_CONFIG_HOME=" + path("config"), "XDG_RUNTIME_DIR=" + path("runtime")});
    }
    static std::function<bool(const QJsonObject&)> isAlert(const QString& kind,
                                                           const QString& level) {
        return [kind, level](const QJsonObject& m) {
            return m["event"] == "alert" && m["kind"] == kind && m["level"] == level;
        };
    }
    const QStringList control{"KESTVELQOR_SIM_CONTROL=" + path("bus-control")};
};

TEST_F(ServeAlertsTest, TheRecordingServerRaisesTheBoardGoneAndASecondOneStaysSilent) {
    writeRules("[board]\nunplugged_delay=1\n[notify]\ndesktop=false\n");
    auto first = serve({"--listen", "127.0.0.1:0"}, control);
    const QString firstBase = client.base;
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return client.get("/api/v1/status").status == 200; }, WebHangMs));
    auto second = serve({"--listen", "127.0.0.1:0", "--no-history"}, control);
    const QString secondBase = client.base;
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return client.get("/api/v1/status").status == 200; }, WebHangMs));

    Live firstLive;
    Live secondLive;
    client.base = firstBase;
    firstLive.socket.open(liveUrl());
    client.base = secondBase;
    secondLive.socket.open(liveUrl());
    ASSERT_TRUE(firstLive.waitFor(isStatus));
    ASSERT_TRUE(secondLive.waitFor(isStatus));

    setControl("unplugged\n");
    ASSERT_TRUE(firstLive.waitFor(isAlert("board_gone", "warning")));
    const QJsonObject raised = *std::find_if(firstLive.messages.begin(), firstLive.messages.end(),
                                             isAlert("board_gone", "warning"));
    EXPECT_TRUE(raised["text"].toString().contains("SIM-0001"));
    EXPECT_EQ(raised["change"], "raised");

    // Both servers and the command line show the active alert.
    for (const QString& base : {firstBase, secondBase}) {
        const QJsonArray active = activeAt(base);
        ASSERT_EQ(active.size(), 1) << base.toStdString();
        EXPECT_EQ(active[0]["kind"], "board_gone");
        EXPECT_EQ(active[0]["level"], "warning");
        EXPECT_TRUE(active[0]["value"].isNull());
        EXPECT_FALSE(active[0]["since"].toString().isEmpty());
        EXPECT_EQ(active[0]["text"], raised["text"]);
    }
    const CliResult shown = alerts({});
    const QJsonObject shownJson = shown.json();
    ASSERT_EQ(shownJson["active"].toArray().size(), 1) << shown.out.toStdString();

    setControl("");
    ASSERT_TRUE(firstLive.waitFor(isAlert("board_gone", "cleared")));
    EXPECT_TRUE(activeAt(firstBase).isEmpty());
    for (const QJsonObject& message : secondLive.messages)
        EXPECT_NE(message["event"], "alert");
    const QString secondLog = QString::fromUtf8(second->readAllStandardError());
    EXPECT_TRUE(secondLog.contains("prüft ein anderes Programm")) << secondLog.toStdString();
    EXPECT_FALSE(secondLog.contains("Alarm:"));
    stop(*second);
    stop(*first);
    // The first wrote a line for each into its log and the events into its
    // history file.
    const QString firstLog = QString::fromUtf8(first->readAllStandardError());
    EXPECT_TRUE(firstLog.contains("Alarm: ")) << firstLog.toStdString();
    EXPECT_TRUE(firstLog.contains("Alarm beendet: "));
    const QJsonObject after = alerts({}).json();
    const QJsonArray recent = after["recent"].toArray();
    ASSERT_EQ(recent.size(), 2);
    EXPECT_EQ(recent[0]["level"], "warning");
    EXPECT_EQ(recent[1]["level"], "cleared");
    EXPECT_TRUE(after["active"].toArray().isEmpty());
}

TEST_F(ServeAlertsTest, TheWaterTheSensorAndTheVoltageOfTheBoardRaiseTheirAlerts) {
    writeRules("[temperature]\nwarn_high=27\ncritical_high=28.5\ndelay=1\n"
               "[sensor]\nmissing_delay=1\n[voltage]\nlow=11.0\ndelay=1\n"
               "[notify]\ndesktop=false\n");
    auto process = serve({"--listen", "127.0.0.1:0", "--no-history"}, control);
    Live live;
    live.socket.open(liveUrl());
    ASSERT_TRUE(live.waitFor(isStatus));

    setControl("temperature 29.5\nvoltage 10.5\n");
    ASSERT_TRUE(live.waitFor(isAlert("temperature", "critical")));
    ASSERT_TRUE(live.waitFor(isAlert("voltage_low", "warning")));
    const QJsonObject json = client.get("/api/v1/alerts").json();
    const QJsonArray active = json["active"].toArray();
    ASSERT_EQ(active.size(), 2);
    EXPECT_EQ(active[0]["kind"], "temperature");
    EXPECT_EQ(active[0]["level"], "critical");
    EXPECT_EQ(active[0]["value"].toDouble(), 29.5);
    EXPECT_TRUE(active[0]["text"].toString().contains("29,5 °C"));
    EXPECT_EQ(active[1]["value"].toDouble(), 10.5);
    EXPECT_EQ(json["rules"]["temperature"]["critical_high"].toDouble(), 28.5);
    EXPECT_TRUE(json["recent"].toArray().isEmpty()) << "no history kept";

    setControl("temperature none\nvoltage 12\n");
    ASSERT_TRUE(live.waitFor(isAlert("sensor_lost", "warning")));
    ASSERT_TRUE(live.waitFor(isAlert("voltage_low", "cleared")));
    setControl("temperature 25\n");
    ASSERT_TRUE(live.waitFor(isAlert("sensor_lost", "cleared")));
    ASSERT_TRUE(live.waitFor(isAlert("temperature", "cleared")));
    stop(*process);
}

} // namespace
