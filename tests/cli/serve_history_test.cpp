// serve's history as a user starts it: recorded by default into the data
// folder, into --history FILE or not at all, served under /api/v1/history,
// written at the end on SIGTERM; a file that cannot be used is one line on
// standard error and the server serves on. And /metrics of the running
// board.
#include "history/history_file.h"
#include "history/history_store.h"
#include "serve_test_support.h"

#include <QSqlQuery>
#include <QTest>

using namespace kv;
using namespace kv::testing;

namespace {

class ServeHistoryTest : public ServeCliTest {
protected:
    // Waits until the server polled the board at least times times.
    bool waitForPolls(int times) {
        const QDeadlineTimer deadline(WebHangMs);
        while (!deadline.hasExpired()) {
            const QByteArray metrics = client.get("/metrics").body;
            const QRegularExpression polls(
                QStringLiteral("kestvelqor_polls_total\\{serial=\"SIM-0001\"\\} (\\d+)"));
            const auto match = polls.match(QString::fromLatin1(metrics));
            if (match.hasMatch() && match.captured(1).toInt() >= times)
                return true;
            QTest::qWait(100);
        }
        return false;
    }
    qint64 samplesIn(const QString& file) {
        auto history = HistoryFile::open(file, false, nullptr);
        if (!history)
            return -1;
        QSqlQuery query(history->db());
        query.exec(QStringLiteral("SELECT count(*) FROM samples"));
        return query.next() ? query.value(0).toLongLong() : -1;
    }
    QString defaultFile() { return path("data/kestvelqor/history.sqlite"); }
};

TEST_F(ServeHistoryTest, RecordsIntoTheDataFolderServesItAndWritesTheRestAtTheEnd) {
    auto process = serve({"--listen", "127.0.0.1:0"});
    ASSERT_GT(announcement["port"].toInt(), 0) << process->readAllStandardError().data();
    EXPECT_EQ(announcement["history"].toString(), defaultFile());
    ASSERT_TRUE(waitForPolls(2));

    const WebAnswer metrics = client.get("/metrics");
    EXPECT_EQ(metrics.contentType, "text/plain; version=0.0.4; charset=utf-8");
    EXPECT_TRUE(metrics.body.contains("kestvelqor_board_connected{serial=\"SIM-0001\"} 1\n"))
        << metrics.body.toStdString();
    EXPECT_TRUE(metrics.body.contains("kestvelqor_water_temperature_celsius{serial=\"SIM-0001\"} "
                                      "25.3\n"));

    // The recorder writes every few seconds; the API reads what is written.
    const WebAnswer history = client.get("/api/v1/history?from=-1h&points=3600");
    ASSERT_EQ(history.status, 200) << history.body.toStdString();
    const WebAnswer events = client.get("/api/v1/events");
    ASSERT_EQ(events.status, 200);

    // Stopped before the first batch is due, the polls are still in the file.
    stop(*process);
    EXPECT_GE(samplesIn(defaultFile()), 2);
    EXPECT_TRUE(process->readAllStandardError().isEmpty());
}

TEST_F(ServeHistoryTest, AnotherFileOrNone) {
    const QString chosen = path("tank/kitchen.sqlite");
    auto process = serve({"--listen", "127.0.0.1:0", "--history", chosen});
    EXPECT_EQ(announcement["history"].toString(), chosen);
    ASSERT_TRUE(waitForPolls(1));
    stop(*process);
    EXPECT_GE(samplesIn(chosen), 1);
    EXPECT_FALSE(QFile::exists(defaultFile()));

    process = serve({"--listen", "127.0.0.1:0", "--no-history"});
    EXPECT_FALSE(announcement.contains("history"));
    ASSERT_TRUE(waitForPolls(1));
    const WebAnswer off = client.get("/api/v1/history");
    EXPECT_EQ(off.status, 404);
    EXPECT_EQ(off.json()["code"].toString(), "no_history");
    stop(*process);
    EXPECT_FALSE(QFile::exists(defaultFile()));
    EXPECT_TRUE(process->readAllStandardError().isEmpty());

    const CliResult both =
        run({"--simulate", "serve", "--history", chosen, "--no-history", "--listen", "x"});
    EXPECT_EQ(both.status, 2);
    EXPECT_TRUE(both.err.contains("--no-history")) << both.err.toStdString();
}

TEST_F(ServeHistoryTest, AFileThatCannotBeUsedIsOneLineAndServingGoesOn) {
    QFile foreign(path("notes.txt"));
    ASSERT_TRUE(foreign.open(QIODevice::WriteOnly));
    foreign.write("not a history\n");
    foreign.close();
    QFile plain(path("plain"));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();

    for (const QString& file : {foreign.fileName(), path("plain/sub/history.sqlite")}) {
        auto process = serve({"--listen", "127.0.0.1:0", "--history", file});
        ASSERT_GT(announcement["port"].toInt(), 0) << process->readAllStandardError().data();
        EXPECT_FALSE(announcement.contains("history"));
        ASSERT_TRUE(waitForPolls(1));
        EXPECT_EQ(client.get("/api/v1/status").status, 200);
        const WebAnswer history = client.get("/api/v1/history");
        EXPECT_EQ(history.status, 404);
        EXPECT_EQ(history.json()["code"].toString(), "no_history");
        stop(*process);
        const QStringList lines =
            QString::fromUtf8(process->readAllStandardError()).split('\n', Qt::SkipEmptyParts);
        ASSERT_EQ(lines.size(), 1) << lines.join('\n').toStdString();
        EXPECT_TRUE(lines[0].contains("Verlaufsdatei")) << lines[0].toStdString();
    }
    QFile check(foreign.fileName());
    ASSERT_TRUE(check.open(QIODevice::ReadOnly));
    EXPECT_EQ(check.readAll(), "not a history\n") << "never written to";
}

} // namespace
