// GET history and GET events of serve over a simulated week that a recorder
// wrote while the service polled the simulated board: the command line's
// documents of the same query, the gaps and the sensor's absence as they
// were, the refusals of wrong parameters, and the answers without a history
// or a board.
#include "history/history_file.h"
#include "history/history_store.h"
#include "history/history_time.h"
#include "present/history_output.h"
#include "served_board_fixture.h"
#include "text/text_message.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>

#include <cmath>

using namespace kv;
using namespace kv::testing;

namespace {

// The week's shape, in days and hours from Start.
constexpr qint64 SensorOffFrom = 2 * ServedBoardTest::DayMs + 10 * ServedBoardTest::HourMs;
constexpr qint64 SensorOffTo = SensorOffFrom + 4 * ServedBoardTest::HourMs;
constexpr qint64 GapFrom = 4 * ServedBoardTest::DayMs + 2 * ServedBoardTest::HourMs;
constexpr qint64 GapTo = GapFrom + 4 * ServedBoardTest::HourMs;
constexpr qint64 BlueHalfAt = 5 * ServedBoardTest::DayMs + 12 * ServedBoardTest::HourMs;
constexpr qint64 WeekMs = 7 * ServedBoardTest::DayMs;

class HistoryApiTest : public ServedBoardTest {
protected:
    // A week of polls, one a minute: the water a degree warmer at midday, its
    // sensor missing for four hours on the third day, no polls at all for
    // four hours on the fifth, and blue from 100 % to 50 % through the web
    // on the sixth. The recorder writes its batch every ten minutes and keeps
    // up with the summing up.
    void recordWeek() {
        start({simulation.source()}, {historyFile(), true, {}, false});
        ASSERT_TRUE(service->isConnected());
        ASSERT_TRUE(service->setMode(BoardMode::Manual).ok());
        ASSERT_TRUE(service->setLevels({2048, 1024, 0, FullLevel}).ok());
        for (qint64 t = 0; t < WeekMs; t += MinuteMs) {
            clock = Start + t;
            if (t >= GapFrom && t < GapTo)
                continue;
            if (t == BlueHalfAt) {
                ASSERT_TRUE(service
                                ->setLevel(3, 2048, LevelRule::AnyMode,
                                           Origin{Front::Web, QStringLiteral("192.0.2.7")})
                                .ok());
            }
            const double hour = double(t % DayMs) / HourMs;
            board().info().WaterTemp =
                t >= SensorOffFrom && t < SensorOffTo
                    ? NoValue
                    : std::int16_t(std::lround(250 + 10 * std::sin((hour - 6) / 24 * 2 * M_PI)));
            service->pollNow();
            if ((t / MinuteMs) % 10 == 9) {
                recorder->flush();
                while (recorder->upkeep()) {
                }
            }
        }
        clock = Start + WeekMs;
        recorder->flush();
        while (recorder->upkeep()) {
        }
    }

    // What the command line's shapes give for the same query, read through
    // a connection of the test's own.
    std::unique_ptr<HistoryFile> reader() {
        auto file = HistoryFile::open(historyFile(), false, nullptr);
        EXPECT_TRUE(file);
        return file;
    }
    QJsonObject expectedJson(qint64 from, qint64 to, int points) {
        auto file = reader();
        const qint64 id = file->knownBoardId(QStringLiteral("SIM-0001"));
        return present::historyJson(historyPoints(*file, id, from, to, points, clock), from, to);
    }
    QByteArray expectedCsv(qint64 from, qint64 to, int points) {
        auto file = reader();
        const qint64 id = file->knownBoardId(QStringLiteral("SIM-0001"));
        return present::historyCsv(historyPoints(*file, id, from, to, points, clock));
    }
    QJsonObject expectedEvents(qint64 from, qint64 to) {
        auto file = reader();
        const qint64 id = file->knownBoardId(QStringLiteral("SIM-0001"));
        return present::historyEventsJson(historyEvents(*file, id, from, to));
    }

    QJsonArray pointsOf(const WebAnswer& answer) { return answer.json()["points"].toArray(); }
};

TEST_F(HistoryApiTest, AWeekReadsAsTheCommandLinesDocumentsOfTheSameQuery) {
    ASSERT_NO_FATAL_FAILURE(recordWeek());
    const qint64 end = Start + WeekMs;

    // The whole week in hours: every hour but the four without polls.
    const WebAnswer week = client.get("/api/v1/history?from=-7d&points=168");
    ASSERT_EQ(week.status, 200) << week.body.toStdString();
    EXPECT_EQ(week.contentType, "application/json");
    EXPECT_EQ(week.json(), expectedJson(end - WeekMs, end, 168));
    const QJsonArray hours = pointsOf(week);
    ASSERT_EQ(hours.size(), 168 - 4);
    int withoutWater = 0;
    for (const QJsonValue& point : hours)
        withoutWater += point["waterTemperature"].isNull() ? 1 : 0;
    EXPECT_EQ(withoutWater, 4) << "the hours without the sensor";
    // Blue before and after the change through the web.
    const auto blueAt = [&](qint64 t) {
        for (const QJsonValue& point : hours)
            if (point["time"].toString() == historyTimeText(Start + t))
                return point["B"].toDouble();
        return -1.0;
    };
    EXPECT_DOUBLE_EQ(blueAt(BlueHalfAt - HourMs), 100.0);
    EXPECT_DOUBLE_EQ(blueAt(BlueHalfAt), 50.0);
    EXPECT_DOUBLE_EQ(hours[0]["W"].toDouble(), 50.0);
    EXPECT_EQ(hours[0]["mode"].toString(), "manual");
    // Midday is warmer than midnight, and each hour's band holds its mean.
    const QJsonValue midnight = hours[24];
    const QJsonValue midday = hours[24 + 12];
    EXPECT_GT(midday["waterTemperature"].toDouble(), midnight["waterTemperature"].toDouble() + 1);
    EXPECT_LE(midday["waterTemperatureMin"].toDouble(), midday["waterTemperature"].toDouble());
    EXPECT_GE(midday["waterTemperatureMax"].toDouble(), midday["waterTemperature"].toDouble());

    // Without parameters: the last day in at most 500 points.
    const WebAnswer day = client.get("/api/v1/history");
    ASSERT_EQ(day.status, 200);
    EXPECT_EQ(day.json(), expectedJson(end - DayMs, end, 500));
    EXPECT_FALSE(pointsOf(day).isEmpty());

    // Moments in ISO 8601, one with an offset; the raw minutes of the last hours.
    const qint64 from = Start + 2 * DayMs + 5 * HourMs; // 2026-12-03T06:00+01:00
    const WebAnswer iso =
        client.get("/api/v1/history?from=2026-12-03T06:00%2B01:00&to=2026-12-03T17:00Z&points=48");
    ASSERT_EQ(iso.status, 200) << iso.body.toStdString();
    EXPECT_EQ(iso.json(), expectedJson(from, Start + 2 * DayMs + 17 * HourMs, 48));
    const QJsonArray quarters = pointsOf(iso);
    ASSERT_EQ(quarters.size(), 48);
    withoutWater = 0;
    for (const QJsonValue& point : quarters)
        withoutWater += point["waterTemperature"].isNull() ? 1 : 0;
    EXPECT_EQ(withoutWater, 16) << "four hours without the sensor, in quarters";

    const WebAnswer csv = client.get("/api/v1/history?from=-6h&points=360&format=csv");
    ASSERT_EQ(csv.status, 200);
    EXPECT_EQ(csv.contentType, "text/csv; charset=utf-8");
    EXPECT_EQ(csv.body, expectedCsv(end - 6 * HourMs, end, 360));
    EXPECT_EQ(csv.body.count('\n'), 1 + 360) << "a header and a line per minute";
    EXPECT_EQ(client.get("/api/v1/history?from=-6h&points=360&format=json").json(),
              expectedJson(end - 6 * HourMs, end, 360));
}

TEST_F(HistoryApiTest, EventsOfTheWeekAndOfARange) {
    ASSERT_NO_FATAL_FAILURE(recordWeek());
    const qint64 end = Start + WeekMs;
    const WebAnswer all = client.get("/api/v1/events?from=-7d");
    ASSERT_EQ(all.status, 200) << all.body.toStdString();
    EXPECT_EQ(all.json(), expectedEvents(end - WeekMs, end));
    const QJsonArray events = all.json()["events"].toArray();
    ASSERT_FALSE(events.isEmpty());
    EXPECT_EQ(events[0]["kind"].toString(), "connected");
    EXPECT_EQ(events[0]["time"].toString(), historyTimeText(Start));
    QJsonObject web;
    for (const QJsonValue& event : events)
        if (event["origin"].toString() == "web 192.0.2.7")
            web = event.toObject();
    EXPECT_EQ(web["kind"].toString(), "change");
    EXPECT_EQ(web["time"].toString(), historyTimeText(Start + BlueHalfAt));

    // The default range is the last day, which holds none.
    const WebAnswer day = client.get("/api/v1/events");
    ASSERT_EQ(day.status, 200);
    EXPECT_EQ(day.json(), expectedEvents(end - DayMs, end));
    EXPECT_TRUE(day.json()["events"].toArray().isEmpty());
    const WebAnswer change =
        client.get("/api/v1/events?from=2026-12-06T11:00Z&to=2026-12-06T13:00Z");
    ASSERT_EQ(change.json()["events"].toArray().size(), 1);
}

TEST_F(HistoryApiTest, WrongParametersAre400WithTheWebLayersCode) {
    start({simulation.source()}, {historyFile(), true, {}, false});
    for (const char* query :
         {"history?from=yesterday", "history?to=2026-13-01", "history?from=", "history?from=-5w",
          "history?from=now&to=-1h", "history?from=-1h&to=-1h", "history?points=0",
          "history?points=-3", "history?points=ten", "history?points=2.5", "history?points=10001",
          "history?format=xml", "events?from=soon", "events?from=-1h&to=-2h"})
        expectErrorReply(client.get(QStringLiteral("/api/v1/") + query), 400, "bad_request", query);
    // At the edges of the grammar: taken.
    for (const char* query : {"history?points=1", "history?points=10000", "history?format=csv",
                              "history?from=2026-11-30&to=now", "events?from=-1y"})
        EXPECT_EQ(client.get(QStringLiteral("/api/v1/") + query).status, 200) << query;
    EXPECT_EQ(client.send("POST", "/api/v1/history").status, 405);
}

TEST_F(HistoryApiTest, WithoutAHistoryItIs404NoHistoryAndWithoutABoard503) {
    // Recording off.
    start({simulation.source()}, {{}, false, {}, false});
    for (const char* path : {"history", "events"}) {
        const WebAnswer off = client.get(QStringLiteral("/api/v1/") + path);
        expectErrorReply(off, 404, "no_history", path);
        EXPECT_EQ(off.error(), TextMessage(QStringLiteral("HistoryOff")).text());
    }
    // A wrong parameter is still told first.
    expectErrorReply(client.get("/api/v1/history?points=0"), 400, "bad_request");
    stop();

    // No file yet; the recorder makes it, and the next request finds it.
    start({simulation.source()}, {historyFile(), false, {}, false});
    const WebAnswer missing = client.get("/api/v1/history");
    expectErrorReply(missing, 404, "no_history");
    EXPECT_TRUE(missing.error().contains("Keine Verlaufsdatei")) << missing.error().toStdString();
    recorder = std::make_unique<HistoryRecorder>(*service, reporter, historyFile());
    recorder->setClock([this] { return clock; });
    // Polls a minute apart, written, and asked for a moment later.
    const auto pollMinutes = [this](int count) {
        for (int i = 0; i < count; ++i) {
            clock += MinuteMs;
            service->pollNow();
        }
        recorder->flush();
        clock += 1000;
    };
    pollMinutes(1);
    const WebAnswer found = client.get("/api/v1/history?from=-1h&points=60");
    ASSERT_EQ(found.status, 200) << found.body.toStdString();
    EXPECT_EQ(pointsOf(found).size(), 1);
    // What is written meanwhile is read without opening the file again.
    pollMinutes(5);
    EXPECT_EQ(pointsOf(client.get("/api/v1/history?from=-1h&points=60")).size(), 6);

    // Unplugged, the board's history stays the served board's.
    simulation.backend().unplugBoard();
    service->scanNow();
    ASSERT_FALSE(service->isConnected());
    EXPECT_EQ(pointsOf(client.get("/api/v1/history?from=-1h&points=60")).size(), 6);
    stop();

    // No board has been connected: whose history would it be?
    start({}, {historyFile(), false, {}, false});
    expectErrorReply(client.get("/api/v1/history"), 503, "no_board");
    expectErrorReply(client.get("/api/v1/events"), 503, "no_board");
    stop();

    // A file that is not ours is never read as a history.
    QFile foreign(scratch.filePath("notes.sqlite"));
    ASSERT_TRUE(foreign.open(QIODevice::WriteOnly));
    foreign.write("shopping list\n");
    foreign.close();
    start({simulation.source()}, {foreign.fileName(), false, {}, false});
    const WebAnswer notOurs = client.get("/api/v1/events");
    expectErrorReply(notOurs, 404, "no_history");
    EXPECT_TRUE(notOurs.error().contains("keine Verlaufsdatei")) << notOurs.error().toStdString();
}

TEST_F(HistoryApiTest, ABoardNotYetRecordedHasAnEmptyHistory) {
    // The file holds another board only.
    {
        auto file = HistoryFile::open(historyFile(), true, nullptr);
        ASSERT_TRUE(file);
        HistorySample sample;
        sample.time = clock - MinuteMs;
        ASSERT_TRUE(writeHistoryBatch(*file, file->boardId("SIM-0009"), {sample}, {}));
    }
    start({simulation.source()}, {historyFile(), false, {}, false});
    const WebAnswer answer = client.get("/api/v1/history");
    ASSERT_EQ(answer.status, 200);
    EXPECT_TRUE(pointsOf(answer).isEmpty());
    EXPECT_TRUE(client.get("/api/v1/events").json()["events"].toArray().isEmpty());
}

} // namespace
