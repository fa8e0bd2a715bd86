#pragma once

// The routes of serve beside the board's API, in this process: a board
// service over the simulated board, the web server with the history and the
// metrics, a history recorder with a clock of the test's own, and a client.
// The history file and the recorder's lock live in scratch folders.
#include "board/board_service.h"
#include "history/history_recorder.h"
#include "sim/simulation.h"
#include "support/recording_reporter.h"
#include "web/api/board_metrics.h"
#include "web/api/history_api.h"
#include "web/api/served_board.h"
#include "web/web_server.h"
#include "web/web_test_client.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>

namespace kv::testing {

class ServedBoardTest : public ::testing::Test {
public:
    static constexpr qint64 MinuteMs = 60 * 1000;
    static constexpr qint64 HourMs = 60 * MinuteMs;
    static constexpr qint64 DayMs = 24 * HourMs;
    static constexpr qint64 Start = 1796083200000; // 2026-12-01T00:00:00Z

protected:
    // Longer than any test: the service polls only when a test asks.
    static constexpr int NoPollsMs = 3600 * 1000;

    struct Options {
        QString historyPath;     // empty: no history
        bool record = false;     // a recorder writes into historyPath
        QByteArray token;        // empty: none required
        bool anyAddress = false; // listen on every address, not loopback alone
    };

    void SetUp() override {
        qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
        simulation.setRecording(false);
    }
    void TearDown() override {
        stop();
        qunsetenv("XDG_RUNTIME_DIR");
    }

    QString historyFile() const { return scratch.filePath("history.sqlite"); }

    void start(const std::vector<DeviceSource>& sources, const Options& options) {
        BoardServiceOptions serviceOptions;
        serviceOptions.reads = ConnectReads::Everything;
        service = std::make_unique<BoardService>(reporter, sources, serviceOptions);
        service->setPollInterval(NoPollsMs);
        // The recorder's clock runs before the board connects: its
        // "connected" event is at the test's moment too.
        if (options.record) {
            recorder = std::make_unique<HistoryRecorder>(*service, reporter, options.historyPath);
            recorder->setClock([this] { return clock; });
        }
        service->scanNow();
        server = std::make_unique<web::WebServer>(options.token);
        served = std::make_unique<web::ServedBoard>(*service);
        history =
            std::make_unique<web::HistoryApi>(*service, *served, *server, options.historyPath);
        history->setClock([this] { return QDateTime::fromMSecsSinceEpoch(clock); });
        metrics = std::make_unique<web::MetricsApi>(*service, *served, *server);
        web::ListenAddress address;
        if (options.anyAddress)
            address.address = QHostAddress(QHostAddress::AnyIPv4);
        address.port = 0;
        QString error;
        ASSERT_TRUE(server->listen(address, error)) << error.toStdString();
        client.base = QStringLiteral("http://127.0.0.1:%1").arg(server->port());
    }
    void stop() {
        metrics.reset();
        history.reset();
        served.reset();
        server.reset();
        recorder.reset();
        service.reset();
    }

    sim::SimulatedBoard& board() { return simulation.board(); }

    QTemporaryDir scratch;
    QTemporaryDir runtime;
    sim::Simulation simulation{sim::Simulation::State::Fresh};
    RecordingReporter reporter;
    std::unique_ptr<BoardService> service;
    std::unique_ptr<HistoryRecorder> recorder;
    std::unique_ptr<web::WebServer> server;
    std::unique_ptr<web::ServedBoard> served;
    std::unique_ptr<web::HistoryApi> history;
    std::unique_ptr<web::MetricsApi> metrics;
    WebClient client;
    qint64 clock = Start; // the computer's time as the recorder and the API see it
};

// Every JSON error says its status, a stable code and a text for people.
inline void expectErrorReply(const WebAnswer& answer, int status, const QString& code,
                             const std::string& what = {}) {
    EXPECT_EQ(answer.status, status) << what << ' ' << answer.body.toStdString();
    EXPECT_EQ(answer.json()["code"].toString(), code) << what << ' ' << answer.body.toStdString();
    EXPECT_FALSE(answer.error().isEmpty()) << what;
}

} // namespace kv::testing
