// The bridge in process over the simulated board, against a real broker:
// what Home Assistant finds, the commands, the board and the broker coming and
// going. Throughout, no poll of the board may be late because of the broker.
#include "board/board_service.h"
#include "board/board_watch.h"
#include "mqtt/mqtt_bridge.h"
#include "mqtt_broker.h"
#include "plot/channel_colors.h"
#include "sim/sim_backend.h"
#include "support/board_transfers.h"
#include "support/recording_reporter.h"
#include "text/range_reason.h"
#include "text/text_catalogue.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

using namespace kv;
using namespace kv::mqtt;
using namespace kv::testing;

namespace {

constexpr int PollMs = 250;
// How late a poll may come.
constexpr qint64 PollSlackMs = 100;
const QString Base = "kestvelqor/SIM-0001";
const QStringList Everything{"homeassistant/#", "kestvelqor/#"};

QString rangeRefusalText() {
    return rangeRefusal(fieldrange::Level).text();
}

QJsonObject json(const QByteArray& payload) {
    return QJsonDocument::fromJson(payload).object();
}

class MqttBridgeTest : public ::testing::Test {
protected:
    void SetUp() override {
        LoadTextCatalogue();
        sim.board().info().WaterTemp = 254;
        sim.board().info().InputVoltage = 1203;
        sim.board().info().setMode(BoardMode::Manual);
        service.setPollInterval(PollMs);
        QObject::connect(&service, &BoardService::polled, [this] { pollSeen(); });
        QObject::connect(&service, &BoardService::connected, [this] { lastPollMs = -1; });
        QObject::connect(&service, &BoardService::unplugged, [this] { lastPollMs = -1; });
        clock.start();
        service.scanNow();
        ASSERT_TRUE(service.isConnected());
        watch.start(PollMs);
    }
    void TearDown() override {
        EXPECT_GT(polls, 0);
        EXPECT_LE(latestPollGapMs, PollMs + PollSlackMs) << "a poll came late";
    }

    void pollSeen() {
        const qint64 now = clock.elapsed();
        if (lastPollMs >= 0)
            latestPollGapMs = std::max(latestPollGapMs, now - lastPollMs);
        lastPollMs = now;
        ++polls;
    }

    std::unique_ptr<MqttBridge> startBridge(const QString& url, const QByteArray& password = {}) {
        QString error;
        BridgeSettings settings;
        settings.broker = *parseBrokerUrl(url, error);
        settings.password = password;
        auto bridge = std::make_unique<MqttBridge>(service, settings);
        bridge->log = [this](const QString& line) {
            log << line;
        };
        bridge->start();
        return bridge;
    }
    bool waitForLog(const QString& part, int ms = BrokerWaitMs) {
        return QTest::qWaitFor(
            [&] {
                return std::any_of(log.begin(), log.end(),
                                   [&](const QString& line) { return line.contains(part); });
            },
            ms);
    }
    int logLinesWith(const QString& part) const {
        return int(std::count_if(log.begin(), log.end(),
                                 [&](const QString& line) { return line.contains(part); }));
    }
    // Waits until the broker accepted the bridge.
    static bool brokerReached(MqttBridge& bridge) {
        return QTest::qWaitFor([&] { return bridge.brokerConnected(); }, BrokerWaitMs);
    }

    // Before the service: its last signals still find them.
    QStringList log;
    QElapsedTimer clock;
    qint64 lastPollMs = -1;
    qint64 latestPollGapMs = 0;
    int polls = 0;
    sim::SimBackend sim;
    RecordingReporter reporter;
    BoardService service{reporter, {{&sim, &sim}}};
    BoardWatch watch{service};
};

} // namespace

TEST_F(MqttBridgeTest, HomeAssistantFindsEveryConfigAndStateRetained) {
    Broker broker;
    ASSERT_TRUE(broker.start()) << broker.log().toStdString();
    auto bridge = startBridge(broker.url());
    ASSERT_TRUE(brokerReached(*bridge)) << log.join("\n").toStdString();
    EXPECT_TRUE(waitForLog("MQTT: verbunden mit " + broker.url()));

    // A subscriber that comes later gets everything from the broker's store.
    QTest::qWait(200);
    Subscriber ha(broker, Everything);
    ASSERT_TRUE(ha.waitFor(Base + "/input_voltage", "12.03"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return ha.latest().size() >= 14 + 9 + 9; }, BrokerWaitMs));
    const auto latest = ha.latest();
    int configs = 0;
    for (const Received& m : latest) {
        EXPECT_TRUE(m.retained) << m.topic.toStdString();
        if (m.topic.startsWith("homeassistant/")) {
            ++configs;
            const QJsonObject config = json(m.payload);
            EXPECT_EQ(config["device"].toObject()["serial_number"], "SIM-0001");
            EXPECT_EQ(config["device"].toObject()["sw_version"], "12");
        }
    }
    EXPECT_EQ(configs, 14);
    const InfoBlock& info = service.info();
    EXPECT_EQ(latest[Base + "/availability"].payload, "online");
    const char* letters[] = {"W", "R", "G", "B"};
    for (int channel = 0; channel < 4; ++channel) {
        const QJsonObject state =
            json(latest[Base + "/light/" + letters[channel] + "/state"].payload);
        EXPECT_EQ(state["brightness"].toInt(), info.Level[std::size_t(channel)]);
        EXPECT_EQ(state["state"], info.Level[std::size_t(channel)] > 0 ? "ON" : "OFF");
    }
    EXPECT_EQ(latest[Base + "/mode/state"].payload, "manual");
    EXPECT_EQ(latest[Base + "/water_temperature"].payload, "25.4");
    EXPECT_EQ(latest[Base + "/water_temperature/availability"].payload, "online");
    const QJsonObject white = json(latest["homeassistant/light/SIM-0001_light_w/config"].payload);
    EXPECT_EQ(white["name"], ColorNameText(info.ColorName[0]));

    // Changes on the board follow; small ones of the measurements do not.
    sim.board().info().WaterTemp = 255;
    ASSERT_TRUE(ha.waitFor(Base + "/water_temperature", "25.5"));
    sim.board().info().InputVoltage = 1206;
    sim.board().info().WaterTemp = 0;
    ASSERT_TRUE(ha.waitFor(Base + "/water_temperature", "0.0"));
    EXPECT_EQ(ha.count(Base + "/input_voltage"), 1) << "0.03 V is too little";
    sim.board().info().WaterTemp = NoValue;
    EXPECT_TRUE(ha.waitFor(Base + "/water_temperature/availability", "offline"));

    // A channel renamed on the board renames its light.
    InfoBlock renamed = service.info();
    renamed.ColorName[0] = 2;
    ASSERT_TRUE(service.setConfiguration(renamed).ok());
    EXPECT_TRUE(ha.waitFor([&](const Received& m) {
        return m.topic == "homeassistant/light/SIM-0001_light_w/config" &&
               json(m.payload)["name"] == ColorNameText(2);
    }));

    // Home Assistant starting again is sent every config and state again.
    const qsizetype before = ha.messages.size();
    ASSERT_TRUE(broker.publish("homeassistant/status", "online"));
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            int again = 0;
            for (qsizetype i = before; i < ha.messages.size(); ++i)
                again += ha.messages[i].topic.endsWith("/config") ||
                         ha.messages[i].topic.endsWith("/state");
            return again >= 14 + 9;
        },
        BrokerWaitMs));
}

TEST_F(MqttBridgeTest, CommandsGoThroughTheServiceAndRefusalsChangeNothing) {
    Broker broker;
    ASSERT_TRUE(broker.start()) << broker.log().toStdString();
    auto bridge = startBridge(broker.url());
    ASSERT_TRUE(brokerReached(*bridge)) << log.join("\n").toStdString();
    Subscriber ha(broker, {Base + "/#"});
    ASSERT_TRUE(ha.waitFor(Base + "/mode/state", "manual"));

    // Manual mode: a level reaches the board.
    sim.board().clearTransfers();
    ASSERT_TRUE(broker.publish(Base + "/light/R/set", R"({"state":"ON","brightness":1234})"));
    ASSERT_TRUE(ha.waitFor(Base + "/light/R/state", R"({"state":"ON","brightness":1234})"));
    auto writes = levelWritesOf(sim.board());
    ASSERT_EQ(writes.size(), 1u);
    EXPECT_EQ(levelOf(writes[0], 1), 1234);
    EXPECT_EQ(sim.board().info().Level[1], 1234);
    EXPECT_TRUE(waitForLog("mqtt | "));

    // Off, then on again without a brightness: the level it had.
    ASSERT_TRUE(broker.publish(Base + "/light/R/set", R"({"state":"OFF"})"));
    ASSERT_TRUE(ha.waitFor(Base + "/light/R/state", R"({"state":"OFF","brightness":0})"));
    const qsizetype off = ha.messages.size();
    ASSERT_TRUE(broker.publish(Base + "/light/R/set", R"({"state":"ON"})"));
    ASSERT_TRUE(ha.waitFor(
        [](const Received& m) {
            return m.topic == Base + "/light/R/state" &&
                   m.payload == R"({"state":"ON","brightness":1234})";
        },
        BrokerWaitMs, off));

    // Bad payloads: a line in the log each, nothing changed on the board.
    const int changes = logLinesWith("mqtt | ");
    const QByteArray bad[] = {"not json", R"({"state":"ON","brightness":4097})",
                              R"({"state":"ON","effect":"x"})", R"({"state":"DIM"})"};
    for (const QByteArray& payload : bad)
        ASSERT_TRUE(broker.publish(Base + "/light/G/set", payload));
    ASSERT_TRUE(broker.publish(Base + "/mode/set", "daylight"));
    ASSERT_TRUE(broker.publish(Base + "/button/cloud/press", "now"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return logLinesWith("abgelehnt") == 6; }, BrokerWaitMs));
    EXPECT_EQ(logLinesWith("light/G/set"), 4);
    EXPECT_EQ(logLinesWith(rangeRefusalText()), 1);
    EXPECT_EQ(logLinesWith("mqtt | "), changes) << "no operation";
    EXPECT_EQ(sim.board().info().Level[1], 1234);
    EXPECT_TRUE(sim.board().info().inMode(BoardMode::Manual));

    // The mode select, then a light in Auto mode: refused, its state again.
    ASSERT_TRUE(broker.publish(Base + "/mode/set", "auto"));
    ASSERT_TRUE(ha.waitFor(Base + "/mode/state", "auto"));
    EXPECT_TRUE(sim.board().info().inMode(BoardMode::Auto));
    const int states = ha.count(Base + "/light/W/state");
    sim.board().clearTransfers();
    ASSERT_TRUE(broker.publish(Base + "/light/W/set", R"({"state":"OFF"})"));
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return ha.count(Base + "/light/W/state") > states; }, BrokerWaitMs));
    EXPECT_NE(ha.latest()[Base + "/light/W/state"].payload, R"({"state":"OFF","brightness":0})");
    EXPECT_TRUE(levelWritesOf(sim.board()).empty());
    EXPECT_EQ(logLinesWith("Kanal W"), 1);
    EXPECT_EQ(logLinesWith(Msg("LevelsOnlyInManualMode")), 1);

    // The buttons: weather in Auto mode, the settings saved.
    int commands = 0;
    sim.board().onCommand = [&](std::uint8_t) {
        ++commands;
    };
    ASSERT_TRUE(broker.publish(Base + "/button/cloud/press", "PRESS"));
    ASSERT_TRUE(broker.publish(Base + "/button/storm/press", "PRESS"));
    const int saves = sim.board().saveRequests();
    ASSERT_TRUE(broker.publish(Base + "/button/save/press", "PRESS"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return sim.board().saveRequests() > saves; }, BrokerWaitMs));
    EXPECT_GE(commands, 2);
}

TEST_F(MqttBridgeTest, AvailabilityFollowsTheBoardAndTheBroker) {
    Broker broker;
    // Down at start: the bridge keeps trying, the board is polled all along.
    auto bridge = startBridge(broker.url());
    ASSERT_TRUE(waitForLog("nicht erreichbar"));
    QTest::qWait(1500);
    EXPECT_GE(polls, 4);
    ASSERT_TRUE(broker.start()) << broker.log().toStdString();
    ASSERT_TRUE(QTest::qWaitFor([&] { return bridge->brokerConnected(); }, 5000));

    Subscriber ha(broker, {Base + "/#"});
    ASSERT_TRUE(ha.waitFor(Base + "/availability", "online"));
    EXPECT_TRUE(ha.waitFor(Base + "/alerts/availability", "online"));
    sim.unplugBoard();
    ASSERT_TRUE(ha.waitFor(Base + "/availability", "offline"));
    // The board being gone is a problem sensor that stays available.
    bridge->showAlerts({AlertStatus{AlertKind::BoardGone, AlertLevel::Critical, 0, std::nullopt,
                                    "Die Platine SIM-0001 ist nicht mehr angeschlossen"}});
    ASSERT_TRUE(ha.waitFor(Base + "/alert/board_gone/state", "ON"));
    EXPECT_TRUE(ha.waitFor([](const Received& m) {
        return m.topic == Base + "/alert/board_gone/attributes" &&
               json(m.payload)["text"] == "Die Platine SIM-0001 ist nicht mehr angeschlossen";
    }));
    EXPECT_EQ(ha.latest()[Base + "/alerts/availability"].payload, "online");
    bridge->showAlerts({});
    ASSERT_TRUE(ha.waitFor(Base + "/alert/board_gone/state", "OFF"));
    sim.board().info().WaterTemp = 301;
    sim.plugBoard();
    ASSERT_TRUE(ha.waitFor(Base + "/availability", "online"));
    EXPECT_TRUE(ha.waitFor(Base + "/water_temperature", "30.1")) << "fresh states";

    // A broker that restarts: reconnected within 5 s of being back, with
    // everything sent again.
    broker.stop();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !bridge->brokerConnected(); }, BrokerWaitMs));
    ASSERT_TRUE(broker.start()) << broker.log().toStdString();
    QElapsedTimer back;
    back.start();
    Subscriber again(broker, Everything);
    ASSERT_TRUE(again.waitFor(Base + "/availability", "online", 5000));
    EXPECT_LE(back.elapsed(), 5000);
    ASSERT_TRUE(again.waitFor(Base + "/mode/state", "manual"));
    EXPECT_TRUE(again.waitFor([](const Received& m) { return m.topic.endsWith("/config"); }));

    // A clean end leaves the board offline.
    bridge->stop();
    EXPECT_TRUE(again.waitFor(Base + "/availability", "offline"));
    EXPECT_TRUE(again.waitFor(Base + "/alerts/availability", "offline"));
}

TEST_F(MqttBridgeTest, AUserWithItsPasswordAndAWrongPasswordLoggedAsSuch) {
    Broker broker("tank", "right horse battery");
    ASSERT_TRUE(broker.start()) << broker.log().toStdString();
    auto wrong = startBridge(broker.url("tank"), "staple");
    ASSERT_TRUE(waitForLog("falsches Passwort"));
    EXPECT_FALSE(wrong->brokerConnected());
    for (const QString& line : log)
        EXPECT_FALSE(line.contains("staple")) << "the password is never logged";
    wrong.reset();

    auto right = startBridge(broker.url("tank"), "right horse battery");
    ASSERT_TRUE(brokerReached(*right));
    Subscriber ha(broker, {Base + "/availability"}, {"tank", "right horse battery"});
    EXPECT_TRUE(ha.waitFor(Base + "/availability", "online"));
}
