// The board's JSON API of `serve` over loopback, with the server and the
// simulated board in this process: what each endpoint answers, what reaches
// the board, and that a refused request sends nothing.
#include "cli/cli_args.h"
#include "cli/cli_context.h"
#include "cli/web_api.h"
#include "device/board_link.h"
#include "sim/simulated_board.h"
#include "sim/simulation.h"
#include "web/page_files.h"
#include "web/web_server.h"
#include "web_test_client.h"

#include <QImage>
#include <QJsonArray>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>

using namespace kv;
using namespace kv::testing;

namespace {

class ServeApiTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        qputenv("KESTVELQOR_SIM_STATE", dir.filePath("sim-state.ini").toUtf8());
        qputenv("XDG_DATA_HOME", dir.filePath("data").toUtf8());
        context = std::make_unique<cli::Context>(cli::parseArguments({"--simulate", "serve"}));
        ASSERT_EQ(context->connectBoard(), 0);
        server = std::make_unique<web::WebServer>(QByteArray());
        api = std::make_unique<cli::BoardApi>(*context, *server);
        web::addPageRoutes(server->routes());
        web::ListenAddress address;
        address.port = 0;
        QString error;
        ASSERT_TRUE(server->listen(address, error)) << error.toStdString();
        client.base = QStringLiteral("http://127.0.0.1:%1").arg(server->port());
    }
    void TearDown() override {
        api.reset();
        server.reset();
        context.reset();
        qunsetenv("KESTVELQOR_SIM_STATE");
        qunsetenv("XDG_DATA_HOME");
    }

    sim::SimulatedBoard& board() { return context->simulation()->board(); }
    int writesToBoard() {
        int count = 0;
        for (const sim::Transfer& transfer : board().transfers())
            count += transfer.write ? 1 : 0;
        return count;
    }
    // The board's records as they are on the board, not as the link last
    // read them.
    QByteArray boardRecords() {
        const InfoBlock& info = board().info();
        QByteArray bytes(reinterpret_cast<const char*>(info.Level.data()), int(sizeof(info.Level)));
        bytes += char(info.Mode);
        for (const ScheduleLine& line : board().schedule())
            bytes += QByteArray(reinterpret_cast<const char*>(&line), int(sizeof(line)));
        return bytes;
    }

    QTemporaryDir dir;
    std::unique_ptr<cli::Context> context;
    std::unique_ptr<web::WebServer> server;
    std::unique_ptr<cli::BoardApi> api;
    WebClient client;
};

TEST_F(ServeApiTest, ReadingEndpointsGiveTheCommandLinesDocuments) {
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
}

TEST_F(ServeApiTest, PicturesArePngsOfTheAskedSize) {
    const WebAnswer curve = client.get("/api/v1/plot/curve.png");
    ASSERT_EQ(curve.status, 200);
    EXPECT_EQ(curve.contentType, "image/png");
    EXPECT_EQ(QImage::fromData(curve.body, "PNG").size(), QSize(1000, 600));

    const WebAnswer chart = client.get("/api/v1/plot/chart.png?size=320x160");
    ASSERT_EQ(chart.status, 200);
    EXPECT_EQ(QImage::fromData(chart.body, "PNG").size(), QSize(320, 160));

    EXPECT_EQ(client.get("/api/v1/plot/curve.png?size=10x10").status, 400);
    EXPECT_EQ(client.get("/api/v1/plot/curve.png?channel=X").status, 400);
}

TEST_F(ServeApiTest, ChangesReachTheBoard) {
    ASSERT_EQ(client.post("/api/v1/mode", R"({"mode":"manual"})").status, 200);
    EXPECT_EQ(board().info().Mode, std::uint8_t(BoardMode::Manual));

    const WebAnswer level = client.post("/api/v1/level", R"({"channel":"W","percent":50})");
    ASSERT_EQ(level.status, 200) << level.body.toStdString();
    EXPECT_DOUBLE_EQ(level.json()["percent"].toDouble(), 50.0);
    EXPECT_EQ(client.get("/api/v1/status").json()["levels"].toArray()[0].toObject()["percent"],
              50.0);
    // Percent as text with a comma, channel by number, as the command line takes them.
    ASSERT_EQ(client.post("/api/v1/level", R"({"channel":"1","percent":"12,5"})").status, 200);
    EXPECT_EQ(board().info().Level[1], context->service().info().Level[1]);

    const WebAnswer line =
        client.send("PUT", "/api/v1/schedule/2", R"({"time":"7:5","W":50,"clouds":true})");
    ASSERT_EQ(line.status, 200) << line.body.toStdString();
    const ScheduleLine& written = board().schedule()[2];
    EXPECT_EQ(written.Hour, 7);
    EXPECT_EQ(written.Minute, 5);
    EXPECT_NE(written.Switch & ScheduleLine::Clouds, 0);
    EXPECT_EQ(line.json()["line"].toObject()["levels"].toArray()[0].toDouble(), 50.0);

    for (const char* command : {"cloud", "storm", "save"}) {
        board().clearTransfers();
        EXPECT_EQ(client.post(QStringLiteral("/api/v1/") + command).status, 200) << command;
        EXPECT_EQ(writesToBoard(), 1) << command;
    }
}

TEST_F(ServeApiTest, RefusedRequestsSendNothing) {
    const QByteArray before = boardRecords();
    board().clearTransfers();
    struct Case {
        QByteArray method;
        QString path;
        QByteArray body;
        int status;
    };
    const Case cases[] = {
        {"POST", "/api/v1/level", R"({"channel":"W","percent":101})", 400},
        {"POST", "/api/v1/level", R"({"channel":"X","percent":10})", 400},
        {"POST", "/api/v1/level", R"({"channel":"W","percent":)", 400},
        {"POST", "/api/v1/mode", R"({"mode":"sideways"})", 400},
        {"POST", "/api/v1/mode", R"(["manual"])", 400},
        {"PUT", "/api/v1/schedule/2", R"({"time":"25:00"})", 400},
        {"PUT", "/api/v1/schedule/2", R"({"W":101})", 400},
        {"PUT", "/api/v1/schedule/2", R"({"colour":"red"})", 400},
        {"PUT", "/api/v1/schedule/2", R"({"time":"08:00","W":-1})", 400},
        {"PUT", "/api/v1/schedule/2", "{}", 400},
        {"PUT", "/api/v1/schedule/300", R"({"W":10})", 404},
        {"PUT", "/api/v1/schedule/two", R"({"W":10})", 404},
        {"GET", "/api/v1/nothing", {}, 404},
        {"GET", "/api/v1/mode", {}, 405},
        {"DELETE", "/api/v1/schedule/2", {}, 405},
        {"POST", "/api/v1/firmware", "{}", 404},
        {"POST", "/api/v1/level", QByteArray(20000, ' '), 413},
    };
    for (const Case& c : cases) {
        const WebAnswer answer = client.send(c.method, c.path, c.body);
        EXPECT_EQ(answer.status, c.status) << c.method.data() << ' ' << c.path.toStdString();
        // 413 is answered before the request is read: its body says why.
        EXPECT_FALSE(answer.error().isEmpty()) << c.path.toStdString() << answer.body.data();
    }
    EXPECT_EQ(writesToBoard(), 0);
    EXPECT_EQ(boardRecords(), before);

    const WebAnswer wrongMethod = client.send("DELETE", "/api/v1/status");
    EXPECT_EQ(wrongMethod.header("Allow"), "GET");
}

TEST_F(ServeApiTest, AFailedTransferIs502AndChangesNothing) {
    const std::uint8_t mode = board().info().Mode;
    // Every transfer is tried three times.
    board().failNext(3);
    const WebAnswer answer = client.post("/api/v1/mode", R"({"mode":"manual"})");
    EXPECT_EQ(answer.status, 502);
    EXPECT_FALSE(answer.error().isEmpty());
    EXPECT_EQ(board().info().Mode, mode);

    board().failNext(3);
    EXPECT_EQ(client.get("/api/v1/status").status, 502);
    // The next try goes through again.
    EXPECT_EQ(client.get("/api/v1/status").status, 200);
}

TEST_F(ServeApiTest, OnLoopbackOnlyRequestsNamingThisComputerAreAnswered) {
    const QString port = QString::number(server->port());
    for (const QString& host : {"127.0.0.1:" + port, "localhost:" + port, "[::1]:" + port})
        EXPECT_EQ(client.get("/api/v1/status", {{"Host", host.toLatin1()}}).status, 200)
            << host.toStdString();
    for (const QString& host : {QString("attacker.example:%1").arg(port),
                                QString("127.0.0.1.nip.io:%1").arg(port), QString("localhost")})
        EXPECT_EQ(client.get("/", {{"Host", host.toLatin1()}}).status, 403) << host.toStdString();

    // Another site in the same browser cannot change the light.
    board().clearTransfers();
    const WebAnswer foreign = client.post("/api/v1/mode", R"({"mode":"manual"})",
                                          {{"Origin", "http://attacker.example"}});
    EXPECT_EQ(foreign.status, 403);
    EXPECT_EQ(writesToBoard(), 0);
    EXPECT_EQ(client
                  .post("/api/v1/mode", R"({"mode":"manual"})",
                        {{"Origin", QStringLiteral("http://127.0.0.1:%1").arg(port).toLatin1()}})
                  .status,
              200);
}

TEST_F(ServeApiTest, ThePageIsServedFromTheProgram) {
    const WebAnswer page = client.get("/");
    ASSERT_EQ(page.status, 200);
    EXPECT_TRUE(page.contentType.startsWith("text/html"));
    EXPECT_TRUE(page.body.contains("/app.js"));
    // Nothing from the network: every script, style and picture is the server's own.
    EXPECT_FALSE(page.body.contains("http://"));
    EXPECT_FALSE(page.body.contains("https://"));
    EXPECT_EQ(client.get("/app.js").status, 200);
    EXPECT_EQ(client.get("/style.css").status, 200);
    EXPECT_TRUE(client.get("/style.css").header("Content-Security-Policy").contains("'self'"));

    // The German texts of the program's catalogue.
    const WebAnswer texts = client.get("/texts.json");
    ASSERT_EQ(texts.status, 200);
    EXPECT_EQ(texts.json()["ModeManual"].toString(), "Manuell");
    EXPECT_EQ(texts.json()["tsSchedule.Caption"].toString(), "Zeitplan");
}

} // namespace
