// GET /metrics read by a strict reader of Prometheus' text format: the
// families and their types, the serial on every sample, the gauges of a
// known state of the simulated board, the counters counting, the readings
// left out while they are not the board's, and the API's access rules.
#include "prometheus_text.h"
#include "served_board_fixture.h"

using namespace kv;
using namespace kv::testing;

namespace {

const QMap<QString, QString> Board{{"serial", "SIM-0001"}};

QMap<QString, QString> with(const QString& name, const QString& value) {
    QMap<QString, QString> labels = Board;
    labels.insert(name, value);
    return labels;
}

class MetricsTest : public ServedBoardTest {
protected:
    void SetUp() override {
        ServedBoardTest::SetUp();
        start({simulation.source()}, {{}, false, {}, false});
        ASSERT_TRUE(service->isConnected());
    }

    // The metrics as a scraper reads them; a fault in the text fails the test.
    PromText scrape(const QList<QPair<QByteArray, QByteArray>>& headers = {}) {
        const WebAnswer answer = client.get(web::MetricsPath, headers);
        EXPECT_EQ(answer.status, 200) << answer.body.toStdString();
        EXPECT_EQ(answer.contentType, "text/plain; version=0.0.4; charset=utf-8");
        PromText text = readPromText(answer.body);
        EXPECT_TRUE(text.ok()) << text.error.toStdString() << '\n' << answer.body.toStdString();
        for (const PromSample& sample : text.samples)
            EXPECT_TRUE(sample.labels.contains("serial")) << sample.name.toStdString();
        return text;
    }
};

TEST_F(MetricsTest, AKnownStateReadsAsItsGaugesWithTheirTypes) {
    ASSERT_TRUE(service->setMode(BoardMode::Manual).ok());
    ASSERT_TRUE(service->setLevels({2048, 1024, 0, FullLevel}).ok());
    board().info().WaterTemp = 247;
    board().info().InputVoltage = 1198;
    service->pollNow();

    const PromText text = scrape();
    EXPECT_EQ(text.value("kestvelqor_board_connected", Board), 1.0);
    EXPECT_EQ(text.value("kestvelqor_water_temperature_celsius", Board), 24.7);
    EXPECT_EQ(text.value("kestvelqor_input_voltage_volts", Board), 11.98);
    EXPECT_EQ(text.value("kestvelqor_channel_level_ratio", with("channel", "W")), 0.5);
    EXPECT_EQ(text.value("kestvelqor_channel_level_ratio", with("channel", "R")), 0.25);
    EXPECT_EQ(text.value("kestvelqor_channel_level_ratio", with("channel", "G")), 0.0);
    EXPECT_EQ(text.value("kestvelqor_channel_level_ratio", with("channel", "B")), 1.0);
    EXPECT_EQ(text.value("kestvelqor_mode", with("mode", "manual")), 1.0);
    EXPECT_EQ(text.value("kestvelqor_mode", with("mode", "auto")), 0.0);
    EXPECT_EQ(text.value("kestvelqor_mode", with("mode", "geo")), 0.0);
    EXPECT_EQ(text.find("kestvelqor_mode").size(), 3);
    EXPECT_EQ(text.find("kestvelqor_channel_level_ratio").size(), 4);

    const QMap<QString, QString> types{{"kestvelqor_board_connected", "gauge"},
                                       {"kestvelqor_water_temperature_celsius", "gauge"},
                                       {"kestvelqor_input_voltage_volts", "gauge"},
                                       {"kestvelqor_channel_level_ratio", "gauge"},
                                       {"kestvelqor_mode", "gauge"},
                                       {"kestvelqor_polls_total", "counter"},
                                       {"kestvelqor_transfer_failures_total", "counter"},
                                       {"kestvelqor_clock_corrections_total", "counter"}};
    EXPECT_EQ(QStringList(text.families.keys()), QStringList(types.keys()));
    for (auto it = types.begin(); it != types.end(); ++it) {
        EXPECT_EQ(text.families.value(it.key()).type, it.value()) << it.key().toStdString();
        EXPECT_FALSE(text.families.value(it.key()).help.isEmpty()) << it.key().toStdString();
    }

    // The mode follows the board.
    ASSERT_TRUE(service->setMode(BoardMode::Geo).ok());
    service->pollNow();
    const PromText geo = scrape();
    EXPECT_EQ(geo.value("kestvelqor_mode", with("mode", "geo")), 1.0);
    EXPECT_EQ(geo.value("kestvelqor_mode", with("mode", "manual")), 0.0);
}

TEST_F(MetricsTest, CountersCountPollsAndFailuresWithoutATransferOfTheirOwn) {
    const BoardCounters before = service->counters();
    const PromText first = scrape();
    EXPECT_EQ(first.value("kestvelqor_polls_total", Board), double(before.polls));
    EXPECT_EQ(first.value("kestvelqor_transfer_failures_total", Board),
              double(before.transferFailures));
    EXPECT_EQ(first.value("kestvelqor_clock_corrections_total", Board),
              double(before.clockCorrections));

    // Reading the metrics asks the board nothing.
    board().clearTransfers();
    simulation.setRecording(true);
    scrape();
    scrape();
    EXPECT_TRUE(board().transfers().empty());

    service->pollNow();
    board().failNext(1); // a failed attempt, taken again at once
    service->pollNow();
    const PromText second = scrape();
    EXPECT_EQ(second.value("kestvelqor_polls_total", Board), double(before.polls + 2));
    EXPECT_EQ(second.value("kestvelqor_transfer_failures_total", Board),
              double(before.transferFailures + 1));
    EXPECT_EQ(second.value("kestvelqor_clock_corrections_total", Board),
              double(service->counters().clockCorrections));
}

TEST_F(MetricsTest, ReadingsThatAreNotTheBoardsAreLeftOut) {
    // No sensor: no temperature, everything else as before.
    board().info().WaterTemp = NoValue;
    service->pollNow();
    const PromText noSensor = scrape();
    EXPECT_TRUE(noSensor.find("kestvelqor_water_temperature_celsius").isEmpty());
    EXPECT_FALSE(noSensor.families.contains("kestvelqor_water_temperature_celsius"));
    EXPECT_TRUE(noSensor.value("kestvelqor_input_voltage_volts", Board).has_value());
    board().info().WaterTemp = 251;

    // A poll without an answer: the values held are no longer the board's.
    board().failNext(3);
    service->pollNow();
    ASSERT_TRUE(service->isConnected());
    const PromText silent = scrape();
    EXPECT_EQ(silent.value("kestvelqor_board_connected", Board), 1.0);
    for (const char* reading :
         {"kestvelqor_water_temperature_celsius", "kestvelqor_input_voltage_volts",
          "kestvelqor_channel_level_ratio", "kestvelqor_mode"})
        EXPECT_TRUE(silent.find(reading).isEmpty()) << reading;
    service->pollNow();
    EXPECT_EQ(scrape().value("kestvelqor_water_temperature_celsius", Board), 25.1);

    // Unplugged: connected 0 under the same serial, the counters go on.
    simulation.backend().unplugBoard();
    service->scanNow();
    ASSERT_FALSE(service->isConnected());
    const PromText gone = scrape();
    EXPECT_EQ(gone.value("kestvelqor_board_connected", Board), 0.0);
    EXPECT_TRUE(gone.find("kestvelqor_channel_level_ratio").isEmpty());
    EXPECT_EQ(gone.value("kestvelqor_polls_total", Board), double(service->counters().polls));
}

TEST_F(MetricsTest, WithoutAnyBoardTheSerialIsEmpty) {
    stop();
    start({}, {{}, false, {}, false});
    const PromText text = scrape();
    EXPECT_EQ(text.value("kestvelqor_board_connected", {{"serial", ""}}), 0.0);
    EXPECT_EQ(text.value("kestvelqor_polls_total", {{"serial", ""}}), 0.0);
    EXPECT_EQ(text.samples.size(), 4) << "connected and the three counters";
}

TEST_F(MetricsTest, SerialsAreEscapedAsTheFormatRequires) {
    web::MetricsState state;
    state.serial = QStringLiteral("A\"B\\C\nD-Ä");
    state.connected = true;
    state.readingsOk = true;
    state.info.WaterTemp = 0;
    state.info.InputVoltage = 5;
    state.info.Level = {1, 0, 4095, 4096};
    const QByteArray body = web::metricsText(state);
    EXPECT_TRUE(body.contains(R"(serial="A\"B\\C\nD-)")) << body.toStdString();
    const PromText text = readPromText(body);
    ASSERT_TRUE(text.ok()) << text.error.toStdString();
    const QMap<QString, QString> odd{{"serial", state.serial}};
    EXPECT_EQ(text.value("kestvelqor_water_temperature_celsius", odd), 0.0);
    EXPECT_EQ(text.value("kestvelqor_input_voltage_volts", odd), 0.05);
    const QMap<QString, QString> white{{"serial", state.serial}, {"channel", "W"}};
    EXPECT_EQ(text.value("kestvelqor_channel_level_ratio", white), 1.0 / 4096);
    for (const PromSample& sample : text.samples)
        EXPECT_EQ(sample.labels.value("serial"), state.serial) << sample.name.toStdString();
}

TEST_F(MetricsTest, TheReaderRefusesWhatAScraperWouldRefuse) {
    // The reader itself must catch faults, or the tests above prove nothing.
    const char* const wrong[] = {
        "kestvelqor_x 1\n",                                             // no TYPE
        "# TYPE kestvelqor_x gauge\nkestvelqor_x{serial=\"a\"} 1",      // no final line feed
        "# TYPE kestvelqor_x gauge\nkestvelqor_x{serial=\"a\\t\"} 1\n", // unknown escape
        "# TYPE kestvelqor_x gauge\nkestvelqor_x{serial=\"a} 1\n",      // unclosed value
        "# TYPE kestvelqor_x gauge\nkestvelqor_x{serial=a} 1\n",        // unquoted value
        "# TYPE kestvelqor_x gauge\nkestvelqor_x{serial=\"a\"} 1,5\n",  // decimal comma
        "# TYPE kestvelqor_x gauge\nkestvelqor_x{serial=\"a\"} 1 17\n", // timestamp
        "# TYPE kestvelqor_x gauge\n# TYPE kestvelqor_x gauge\nkestvelqor_x 1\n",
        "# TYPE kestvelqor_x gauge\nkestvelqor_x 1\n# HELP kestvelqor_x late\n",
        "# TYPE kestvelqor_x gauge\n# TYPE kestvelqor_y gauge\nkestvelqor_x{a=\"1\"} 1\n"
        "kestvelqor_y 1\nkestvelqor_x{a=\"2\"} 1\n", // not together
        "# TYPE kestvelqor_x gauge\nkestvelqor_x{a=\"1\",b=\"2\"} 1\nkestvelqor_x{b=\"2\",a=\"1\"} "
        "2\n",
        "# TYPE kestvelqor_x meter\nkestvelqor_x 1\n",
        "# TYPE 1kestvelqor gauge\n1kestvelqor 1\n",
    };
    for (const char* text : wrong)
        EXPECT_FALSE(readPromText(text).ok()) << text;
    EXPECT_TRUE(readPromText("# HELP kestvelqor_x A gauge.\n# TYPE kestvelqor_x gauge\n"
                             "kestvelqor_x{serial=\"\\\\\\\"\\n\"} -1.5e-3\n")
                    .ok());
}

TEST_F(MetricsTest, TheAccessRulesOfTheApiApply) {
    // On loopback without a token: answered only when the host is this computer.
    const QString port = QString::number(server->port());
    EXPECT_EQ(client.get(web::MetricsPath, {{"Host", ("localhost:" + port).toLatin1()}}).status,
              200);
    expectErrorReply(client.get(web::MetricsPath, {{"Host", "attacker.example"}}), 403,
                     "forbidden");

    // On every address, with a token.
    stop();
    const QByteArray token = "a-token-for-these-tests-0123456789";
    start({simulation.source()}, {{}, false, token, true});
    expectErrorReply(client.get(web::MetricsPath), 401, "unauthorized");
    expectErrorReply(client.get(web::MetricsPath, {{"Authorization", "Bearer wrong-wrong-wrong"}}),
                     401, "unauthorized");
    const PromText text = scrape({{"Authorization", "Bearer " + token}});
    EXPECT_EQ(text.value("kestvelqor_board_connected", Board), 1.0);
    // A path that is not there is 404 with or without the token.
    EXPECT_EQ(client.get("/metrics/extra").status, 404);
}

} // namespace
