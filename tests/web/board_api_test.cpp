// The board's JSON API over loopback, with the server, the API and a board
// service over the simulated board in this process: what each endpoint
// answers, what reaches the board (reads cost nothing between polls), and
// that a refused request sends nothing and says why with a stable code.
#include "board/board_service.h"
#include "board/board_watch.h"
#include "device/records/field_range.h"
#include "sim/simulated_board.h"
#include "sim/simulation.h"
#include "support/board_transfers.h"
#include "text/range_reason.h"
#include "text/reporter.h"
#include "web/api/board_api.h"
#include "web/page_files.h"
#include "web/web_server.h"
#include "web/web_test_client.h"

#include <QImage>
#include <QJsonArray>
#include <gtest/gtest.h>

#include <memory>

using namespace kv;
using namespace kv::testing;

namespace {

class QuietReporter : public Reporter {
public:
    void announce(const QString&) override {}
    void log(const QString&) override {}
};

// Longer than any test: the service polls only when a test asks.
constexpr int NoPollsMs = 3600 * 1000;

class BoardApiTest : public ::testing::Test {
protected:
    void SetUp() override {
        start({simulation.source()});
        ASSERT_TRUE(service->isConnected());
    }
    void TearDown() override { stop(); }

    void start(const std::vector<DeviceSource>& sources, const QByteArray& token = {}) {
        BoardServiceOptions options;
        options.reads = ConnectReads::Everything;
        service = std::make_unique<BoardService>(reporter, sources, options);
        service->scanNow();
        service->setPollInterval(NoPollsMs);
        server = std::make_unique<web::WebServer>(token);
        api = std::make_unique<web::BoardApi>(*service, *server);
        api->log = [this](const QString& line) {
            logged << line;
        };
        web::addPageRoutes(server->routes());
        web::ListenAddress address;
        address.port = 0;
        QString error;
        ASSERT_TRUE(server->listen(address, error)) << error.toStdString();
        client.base = QStringLiteral("http://127.0.0.1:%1").arg(server->port());
    }
    void stop() {
        api.reset();
        server.reset();
        service.reset();
    }

    sim::SimulatedBoard& board() { return simulation.board(); }
    int writesToBoard() {
        int count = 0;
        for (const sim::Transfer& transfer : board().transfers())
            count += transfer.write ? 1 : 0;
        return count;
    }
    // The board's records as they are on the board, not as the service last
    // read them.
    QByteArray boardRecords() {
        const InfoBlock& info = board().info();
        QByteArray bytes(reinterpret_cast<const char*>(info.Level.data()), int(sizeof(info.Level)));
        bytes += char(info.Mode);
        for (const ScheduleLine& line : board().schedule())
            bytes += QByteArray(reinterpret_cast<const char*>(&line), int(sizeof(line)));
        return bytes;
    }
    QJsonObject lineOfSchedule(const WebAnswer& schedule, int index) {
        return schedule.json()["lines"].toArray()[index].toObject();
    }

    sim::Simulation simulation{sim::Simulation::State::Fresh};
    QuietReporter reporter;
    std::unique_ptr<BoardService> service;
    std::unique_ptr<web::WebServer> server;
    std::unique_ptr<web::BoardApi> api;
    QStringList logged;
    WebClient client;
};

// Every JSON error says its status, a stable code and a text for people.
void expectError(const WebAnswer& answer, int status, const QString& code,
                 const std::string& what = {}) {
    EXPECT_EQ(answer.status, status) << what << ' ' << answer.body.toStdString();
    EXPECT_EQ(answer.contentType, "application/json") << what;
    EXPECT_EQ(answer.json()["status"].toInt(), status) << what;
    EXPECT_EQ(answer.json()["code"].toString(), code) << what << ' ' << answer.body.toStdString();
    EXPECT_FALSE(answer.error().isEmpty()) << what;
}

TEST_F(BoardApiTest, ReadingEndpointsGiveTheCommandLinesDocuments) {
    const WebAnswer status = client.get("/api/v1/status");
    ASSERT_EQ(status.status, 200) << status.body.toStdString();
    EXPECT_EQ(status.contentType, "application/json");
    for (const char* key : {"firmwareVersion", "clock", "mode", "levels", "waterTemperature",
                            "inputVoltage", "health", "alarm", "activity", "saving"})
        EXPECT_TRUE(status.json().contains(key)) << key;
    EXPECT_EQ(status.json()["firmwareVersion"].toInt(), 12);
    EXPECT_EQ(status.json()["levels"].toArray().size(), 4);

    const WebAnswer schedule = client.get("/api/v1/schedule");
    ASSERT_EQ(schedule.status, 200);
    const QJsonArray lines = schedule.json()["lines"].toArray();
    ASSERT_EQ(lines.size(), qsizetype(board().schedule().size()));
    const ScheduleLine& second = board().schedule()[2];
    EXPECT_EQ(lines[2].toObject()["hour"].toInt(), second.Hour);
    EXPECT_EQ(lines[2].toObject()["minute"].toInt(), second.Minute);
    EXPECT_TRUE(schedule.json().contains("currentLine"));

    const WebAnswer astro = client.get("/api/v1/astro");
    ASSERT_EQ(astro.status, 200);
    EXPECT_DOUBLE_EQ(astro.json()["latitude"].toDouble(), board().expert().Lat / 10.0);
    EXPECT_TRUE(astro.json()["sun"].toObject().contains("rise"));
    EXPECT_TRUE(astro.json()["moon"].toObject().contains("phase"));

    const WebAnswer channels = client.get("/api/v1/channels");
    ASSERT_EQ(channels.status, 200);
    EXPECT_EQ(channels.json()["channels"].toArray()[0].toObject()["channel"].toString(), "W");

    // The live feed's greeting is the last status.
    EXPECT_EQ(api->liveGreeting()["firmwareVersion"].toInt(), 12);
    EXPECT_TRUE(api->liveGreeting().contains("computerTime"));
}

TEST_F(BoardApiTest, ReadsBetweenTwoPollsCostTheBoardNothing) {
    service->pollNow();
    board().clearTransfers();
    const QString before = client.get("/api/v1/status").json()["mode"].toString();
    for (int i = 0; i < 100; ++i)
        ASSERT_EQ(client.get("/api/v1/status").status, 200);
    for (int i = 0; i < 10; ++i)
        ASSERT_EQ(client.get("/api/v1/schedule").status, 200);
    for (const char* path : {"/api/v1/channels", "/api/v1/astro", "/api/v1/plot/curve.png"})
        EXPECT_EQ(client.get(path).status, 200) << path;
    EXPECT_TRUE(board().transfers().empty()) << board().transfers().size() << " transfers";

    // The board changes its mode (its buttons); the API tells after the next poll.
    const BoardMode other = before == "manual" ? BoardMode::Auto : BoardMode::Manual;
    board().info().Mode = std::uint8_t(other);
    EXPECT_EQ(client.get("/api/v1/status").json()["mode"].toString(), before);
    service->pollNow();
    EXPECT_FALSE(readsOf(board(), InfoBlock::ReportId).empty());
    EXPECT_NE(client.get("/api/v1/status").json()["mode"].toString(), before);
}

TEST_F(BoardApiTest, TheScheduleIsReadAgainOnlyWhenAskedFresh) {
    // Another program changes a line behind this one's back.
    ScheduleLine& line = board().schedule()[1];
    ASSERT_FALSE(line.Hour == 3 && line.Minute == 33);
    line.Hour = 3;
    line.Minute = 33;
    board().clearTransfers();

    const WebAnswer kept = client.get("/api/v1/schedule");
    ASSERT_EQ(kept.status, 200);
    EXPECT_NE(lineOfSchedule(kept, 1)["minute"].toInt(), 33);
    EXPECT_TRUE(board().transfers().empty());

    const WebAnswer fresh = client.get("/api/v1/schedule?fresh=1");
    ASSERT_EQ(fresh.status, 200) << fresh.body.toStdString();
    EXPECT_EQ(lineOfSchedule(fresh, 1)["hour"].toInt(), 3);
    EXPECT_EQ(lineOfSchedule(fresh, 1)["minute"].toInt(), 33);
    EXPECT_FALSE(readsOf(board(), ScheduleLine::ReportId).empty());
    EXPECT_EQ(writesToBoard(), 0);
    // What was read is kept: the next plain read shows it.
    EXPECT_EQ(lineOfSchedule(client.get("/api/v1/schedule"), 1)["minute"].toInt(), 33);

    board().clearTransfers();
    expectError(client.get("/api/v1/schedule?fresh=yes"), 400, "bad_request");
    EXPECT_EQ(client.get("/api/v1/schedule?fresh=0").status, 200);
    EXPECT_TRUE(board().transfers().empty());
}

TEST_F(BoardApiTest, ChangesReachTheBoard) {
    ASSERT_EQ(client.post("/api/v1/mode", R"({"mode":"manual"})").status, 200);
    EXPECT_EQ(board().info().Mode, std::uint8_t(BoardMode::Manual));

    const WebAnswer level = client.post("/api/v1/level", R"({"channel":"W","percent":50})");
    ASSERT_EQ(level.status, 200) << level.body.toStdString();
    EXPECT_DOUBLE_EQ(level.json()["percent"].toDouble(), 50.0);
    EXPECT_EQ(board().info().Level[0], 2048);
    EXPECT_EQ(client.get("/api/v1/status").json()["levels"].toArray()[0].toObject()["percent"],
              50.0);
    // Percent as text with a comma, channel by number, as the command line takes them.
    ASSERT_EQ(client.post("/api/v1/level", R"({"channel":"1","percent":"12,5"})").status, 200);
    EXPECT_EQ(board().info().Level[1], 512);
    ASSERT_EQ(client.post("/api/v1/level", R"({"channel":2,"percent":"25%"})").status, 200);
    EXPECT_EQ(board().info().Level[2], 1024);

    const WebAnswer line =
        client.send("PUT", "/api/v1/schedule/2", R"({"time":"7:5","W":50,"clouds":true})");
    ASSERT_EQ(line.status, 200) << line.body.toStdString();
    const ScheduleLine& written = board().schedule()[2];
    EXPECT_EQ(written.Hour, 7);
    EXPECT_EQ(written.Minute, 5);
    EXPECT_NE(written.Switch & ScheduleLine::Clouds, 0);
    EXPECT_EQ(line.json()["line"].toObject()["levels"].toArray()[0].toDouble(), 50.0);
    // The service holds the new line: shown without reading the board again.
    board().clearTransfers();
    const QJsonObject shown = lineOfSchedule(client.get("/api/v1/schedule"), 2);
    EXPECT_EQ(shown["hour"].toInt(), 7);
    EXPECT_EQ(shown["minute"].toInt(), 5);
    EXPECT_EQ(shown["levels"].toArray()[0].toDouble(), 50.0);
    EXPECT_TRUE(shown["clouds"].toBool());
    EXPECT_TRUE(board().transfers().empty());

    for (const char* command : {"cloud", "storm", "save"}) {
        board().clearTransfers();
        EXPECT_EQ(client.post(QStringLiteral("/api/v1/") + command).status, 200) << command;
        EXPECT_EQ(writesToBoard(), 1) << command;
    }
}

TEST_F(BoardApiTest, RefusedRequestsSendNothingAndSayWhyWithACode) {
    // Lines from 252 on are commands to the board.
    board().schedule().resize(255);
    ASSERT_EQ(client.get("/api/v1/schedule?fresh=1").status, 200);
    const QByteArray before = boardRecords();
    board().clearTransfers();
    struct Case {
        QByteArray method;
        QString path;
        QByteArray body;
        int status;
        QString code;
    };
    const Case cases[] = {
        {"POST", "/api/v1/level", R"({"channel":"W","percent":101})", 400, "out_of_range"},
        {"POST", "/api/v1/level", R"({"channel":"W","percent":-0.5})", 400, "out_of_range"},
        {"POST", "/api/v1/level", R"({"channel":"X","percent":10})", 400, "bad_request"},
        {"POST", "/api/v1/level", R"({"channel":4,"percent":10})", 400, "bad_request"},
        {"POST", "/api/v1/level", R"({"channel":"W","percent":true})", 400, "bad_request"},
        {"POST", "/api/v1/level", R"({"channel":"W","percent":)", 400, "malformed_json"},
        {"POST", "/api/v1/mode", R"({"mode":"sideways"})", 400, "bad_request"},
        {"POST", "/api/v1/mode", R"({"mode":1})", 400, "bad_request"},
        {"POST", "/api/v1/mode", R"(["manual"])", 400, "malformed_json"},
        {"PUT", "/api/v1/schedule/2", R"({"time":"25:00"})", 400, "out_of_range"},
        {"PUT", "/api/v1/schedule/2", R"({"time":"24:30"})", 400, "out_of_range"},
        {"PUT", "/api/v1/schedule/2", R"({"time":7})", 400, "bad_request"},
        {"PUT", "/api/v1/schedule/2", R"({"W":101})", 400, "out_of_range"},
        {"PUT", "/api/v1/schedule/2", R"({"alt":"91"})", 400, "out_of_range"},
        {"PUT", "/api/v1/schedule/2", R"({"timer":70000})", 400, "out_of_range"},
        {"PUT", "/api/v1/schedule/2", R"({"timer":1.5})", 400, "bad_request"},
        {"PUT", "/api/v1/schedule/2", R"({"clouds":1})", 400, "bad_request"},
        {"PUT", "/api/v1/schedule/2", R"({"colour":"red"})", 400, "bad_request"},
        {"PUT", "/api/v1/schedule/2", R"({"time":"08:00","W":-1})", 400, "out_of_range"},
        {"PUT", "/api/v1/schedule/2", "{}", 400, "bad_request"},
        {"PUT", "/api/v1/schedule/300", R"({"W":10})", 404, "no_such_line"},
        {"PUT", "/api/v1/schedule/252", R"({"W":10})", 400, "not_writable"},
        {"PUT", "/api/v1/schedule/two", R"({"W":10})", 404, "not_found"},
        {"GET", "/api/v1/nothing", {}, 404, "not_found"},
        {"GET", "/api/v1/mode", {}, 405, "method_not_allowed"},
        {"GET", "/api/v1/live", {}, 400, "not_a_websocket"},
        {"GET", "/api/v1/plot/curve.png?size=10x10", {}, 400, "bad_request"},
        {"GET", "/api/v1/plot/curve.png?channel=X", {}, 400, "bad_request"},
        {"DELETE", "/api/v1/schedule/2", {}, 405, "method_not_allowed"},
        {"POST", "/api/v1/firmware", "{}", 404, "not_found"},
        // Answered before the request is read: its body says why all the same.
        {"POST", "/api/v1/level", QByteArray(20000, ' '), 413, "payload_too_large"},
    };
    for (const Case& c : cases)
        expectError(client.send(c.method, c.path, c.body), c.status, c.code,
                    c.method.toStdString() + ' ' + c.path.toStdString() + ' ' +
                        c.body.left(40).toStdString());
    EXPECT_EQ(writesToBoard(), 0);
    EXPECT_EQ(boardRecords(), before);
    EXPECT_TRUE(logged.isEmpty()) << logged.join('\n').toStdString();

    const WebAnswer wrongMethod = client.send("DELETE", "/api/v1/status");
    EXPECT_EQ(wrongMethod.header("Allow"), "GET");
}

TEST_F(BoardApiTest, ARefusedValueReadsAsTheWindowsRefusal) {
    board().clearTransfers();
    const WebAnswer level = client.send("PUT", "/api/v1/schedule/2", R"({"clouds":true,"W":101})");
    expectError(level, 400, "out_of_range");
    EXPECT_EQ(level.error(), "Ungültiger Wert: erlaubt sind 0 bis 100");
    EXPECT_EQ(level.error(), rangeRefusal(fieldrange::LevelPercent).text());
    EXPECT_EQ(level.json()["field"].toString(), "W");

    const WebAnswer time = client.send("PUT", "/api/v1/schedule/2", R"({"time":"25:00"})");
    expectError(time, 400, "out_of_range");
    EXPECT_EQ(time.error(), "Ungültige Stunde: erlaubt sind 0 bis 24");
    EXPECT_EQ(time.json()["field"].toString(), "time");

    // The first field refused in the service's order, by its name there.
    const WebAnswer second =
        client.send("PUT", "/api/v1/schedule/2", R"({"timer":-3,"2":"100,5","alt":10})");
    expectError(second, 400, "out_of_range");
    EXPECT_EQ(second.json()["field"].toString(), "G");

    // A level set now is refused in the same words, in percent.
    const WebAnswer now = client.post("/api/v1/level", R"({"channel":"G","percent":"100,5"})");
    expectError(now, 400, "out_of_range");
    EXPECT_EQ(now.error(), "Ungültiger Wert: erlaubt sind 0 bis 100");
    EXPECT_FALSE(now.json().contains("field"));

    EXPECT_EQ(writesToBoard(), 0);
}

TEST_F(BoardApiTest, AFailedTransferIs502AndChangesNothing) {
    const std::uint8_t mode = board().info().Mode;
    // Every transfer is tried three times.
    board().failNext(3);
    const WebAnswer answer = client.post("/api/v1/mode", R"({"mode":"manual"})");
    expectError(answer, 502, "not_taken");
    EXPECT_EQ(answer.error(), "Die Platine hat die Änderung nicht übernommen");
    EXPECT_EQ(board().info().Mode, mode);

    board().failNext(3);
    expectError(client.get("/api/v1/schedule?fresh=1"), 502, "not_answered");
    board().failNext(3);
    expectError(client.get("/api/v1/plot/chart.png"), 502, "not_answered");
    board().failNext(3);
    const ScheduleLine line = board().schedule()[2];
    expectError(client.send("PUT", "/api/v1/schedule/2", R"({"W":10})"), 502, "not_answered");
    EXPECT_EQ(board().schedule()[2].Color16, line.Color16);
    // The next try goes through again.
    EXPECT_EQ(client.get("/api/v1/schedule?fresh=1").status, 200);

    // A poll without an answer: the status held is no longer the board's.
    board().failNext(3);
    service->pollNow();
    const WebAnswer silent = client.get("/api/v1/status");
    expectError(silent, 502, "not_answered");
    EXPECT_EQ(silent.error(), "Die Platine antwortet nicht");
    service->pollNow();
    EXPECT_EQ(client.get("/api/v1/status").status, 200);
    EXPECT_TRUE(logged.isEmpty()) << logged.join('\n').toStdString();
}

TEST_F(BoardApiTest, WithoutABoardEveryBoardRequestIs503) {
    stop();
    start({});
    const QString noBoard = TextMessage{QStringLiteral("NoBoardFound"), {}}.text();
    ASSERT_FALSE(noBoard.isEmpty());
    for (const auto& [method, path] :
         std::vector<std::pair<QByteArray, QString>>{{"GET", "status"},
                                                     {"GET", "schedule"},
                                                     {"GET", "schedule?fresh=1"},
                                                     {"GET", "channels"},
                                                     {"GET", "astro"},
                                                     {"GET", "plot/curve.png"},
                                                     {"GET", "plot/chart.png"},
                                                     {"POST", "mode"},
                                                     {"POST", "cloud"},
                                                     {"PUT", "schedule/2"}}) {
        const QByteArray body = method == "POST" && path == "mode" ? R"({"mode":"auto"})"
                                : method == "PUT"                  ? R"({"W":5})"
                                                                   : QByteArray();
        const WebAnswer answer = client.send(method, "/api/v1/" + path, body);
        expectError(answer, 503, "no_board", path.toStdString());
        EXPECT_EQ(answer.error(), noBoard) << path.toStdString();
    }
    // A value out of range is refused before the board is looked for.
    expectError(client.send("PUT", "/api/v1/schedule/2", R"({"W":101})"), 400, "out_of_range");

    const QJsonObject greeting = api->liveGreeting();
    EXPECT_EQ(greeting["event"].toString(), BoardWatch::Unplugged);
    EXPECT_EQ(greeting["message"].toString(), noBoard);
}

TEST_F(BoardApiTest, ChangesAreLoggedWithTheClient) {
    ASSERT_EQ(client.post("/api/v1/mode", R"({"mode":"manual"})").status, 200);
    ASSERT_EQ(client.send("PUT", "/api/v1/schedule/2", R"({"W":10})").status, 200);
    ASSERT_EQ(client.post("/api/v1/mode", R"({"mode":"sideways"})").status, 400);
    ASSERT_EQ(client.get("/api/v1/schedule?fresh=1").status, 200);
    ASSERT_EQ(client.post("/api/v1/cloud").status, 200);
    // What the service does for the other fronts is none of this log's business.
    ASSERT_TRUE(service->startStorm(Origin{Front::CommandLine, {}}).ok());
    EXPECT_EQ(logged, QStringList({"127.0.0.1 | mode manual", "127.0.0.1 | schedule line 2: W=10",
                                   "127.0.0.1 | cloud"}));
}

TEST_F(BoardApiTest, AccessRefusalsCarryTheirCodes) {
    const QString port = QString::number(server->port());
    for (const QString& host : {"127.0.0.1:" + port, "localhost:" + port, "[::1]:" + port})
        EXPECT_EQ(client.get("/api/v1/status", {{"Host", host.toLatin1()}}).status, 200)
            << host.toStdString();
    for (const QString& host : {QString("attacker.example:%1").arg(port),
                                QString("127.0.0.1.nip.io:%1").arg(port), QString("localhost")})
        expectError(client.get("/", {{"Host", host.toLatin1()}}), 403, "forbidden",
                    host.toStdString());

    // Another site in the same browser cannot change the light.
    board().clearTransfers();
    expectError(client.post("/api/v1/mode", R"({"mode":"manual"})",
                            {{"Origin", "http://attacker.example"}}),
                403, "forbidden");
    EXPECT_EQ(writesToBoard(), 0);
    EXPECT_EQ(client
                  .post("/api/v1/mode", R"({"mode":"manual"})",
                        {{"Origin", QStringLiteral("http://127.0.0.1:%1").arg(port).toLatin1()}})
                  .status,
              200);

    // With a token: none, a wrong one on the form, the right one.
    stop();
    const QByteArray token = "a-token-for-these-tests-0123456789";
    start({simulation.source()}, token);
    expectError(client.get("/api/v1/status"), 401, "unauthorized");
    expectError(client.post("/api/v1/session", R"({"token":"wrong-token-wrong-token"})"), 401,
                "wrong_token");
    EXPECT_EQ(client.post("/api/v1/session", "{\"token\":\"" + token + "\"}").status, 204);
    EXPECT_EQ(client.get("/api/v1/status", {{"Authorization", "Bearer " + token}}).status, 200);
    EXPECT_EQ(logged.last(), "127.0.0.1 | wrong token entered");
}

TEST_F(BoardApiTest, PicturesArePngsOfTheAskedSize) {
    const WebAnswer curve = client.get("/api/v1/plot/curve.png");
    ASSERT_EQ(curve.status, 200);
    EXPECT_EQ(curve.contentType, "image/png");
    EXPECT_EQ(QImage::fromData(curve.body, "PNG").size(), QSize(1000, 600));

    // The chart moves between reads: it is read for each picture.
    board().clearTransfers();
    const WebAnswer chart = client.get("/api/v1/plot/chart.png?size=320x160");
    ASSERT_EQ(chart.status, 200);
    EXPECT_EQ(QImage::fromData(chart.body, "PNG").size(), QSize(320, 160));
    EXPECT_FALSE(readsOf(board(), ChartBlock::ReportId).empty());
}

TEST_F(BoardApiTest, ThePageIsServedFromTheProgram) {
    const WebAnswer page = client.get("/");
    ASSERT_EQ(page.status, 200);
    EXPECT_TRUE(page.contentType.startsWith("text/html"));
    EXPECT_TRUE(page.body.contains("/app.js"));
    // Nothing from the network: every script, style and picture is the server's own.
    EXPECT_FALSE(page.body.contains("http://"));
    EXPECT_FALSE(page.body.contains("https://"));
    EXPECT_EQ(client.get("/app.js").status, 200);
    EXPECT_EQ(client.get("/style.css").status, 200);
    // The charting library, built in from Debian's package.
    const WebAnswer charts = client.get("/dygraph.min.js");
    ASSERT_EQ(charts.status, 200);
    EXPECT_EQ(charts.contentType, "text/javascript; charset=utf-8");
    EXPECT_TRUE(charts.body.contains("Dygraph"));
    EXPECT_EQ(client.get("/dygraph.min.css").status, 200);
    EXPECT_TRUE(client.get("/style.css").header("Content-Security-Policy").contains("'self'"));

    // The German texts of the program's catalogue.
    const WebAnswer texts = client.get("/texts.json");
    ASSERT_EQ(texts.status, 200);
    EXPECT_EQ(texts.json()["ModeManual"].toString(), "Manuell");
    EXPECT_EQ(texts.json()["tsSchedule.Caption"].toString(), "Zeitplan");
}

} // namespace
