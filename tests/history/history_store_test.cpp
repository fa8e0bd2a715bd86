#include "history/history_buckets.h"
#include "history/history_file.h"
#include "history/history_store.h"
#include "text/text_catalogue.h"

#include <QSqlQuery>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cmath>

using namespace kv;
using namespace kv::historykeep;

namespace {

constexpr qint64 Start = 1796083200000; // 2026-12-01T00:00:00Z
constexpr qint64 Day = 24 * HourMs;

// A day's water temperature: 25 °C, one degree warmer at midday.
int waterAt(qint64 time) {
    const double hour = double((time - Start) % Day) / HourMs;
    return int(std::lround(250 + 10 * std::sin((hour - 6) / 24 * 2 * M_PI)));
}

HistorySample sampleAt(qint64 time) {
    HistorySample s;
    s.time = time;
    s.water = waterAt(time);
    s.voltage = 1205;
    s.levels = {2048, 1024, 0, 4096};
    s.mode = 1;
    return s;
}

class HistoryStoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        LoadTextCatalogue();
        file = HistoryFile::open(dir.filePath("history.sqlite"), true, nullptr);
        ASSERT_TRUE(file);
        board = file->boardId("SIM-0001");
    }

    // Records samples every step from..to as the recorder does (in batches
    // of batchMs), keeping up with the upkeep as it goes.
    void record(qint64 from, qint64 to, qint64 step, qint64 batchMs = MinuteMs) {
        std::vector<HistorySample> batch;
        for (qint64 t = from; t < to; t += step) {
            batch.push_back(sampleAt(t));
            if (qint64(batch.size()) * step >= batchMs) {
                ASSERT_TRUE(writeHistoryBatch(*file, board, batch, {}));
                batch.clear();
                upkeepUntilDone(t);
            }
        }
        ASSERT_TRUE(writeHistoryBatch(*file, board, batch, {}));
    }
    void upkeepUntilDone(qint64 now) {
        for (int i = 0; i < 100000 && historyUpkeepStep(*file, now, 1000); ++i) {
        }
    }
    qint64 count(const QString& table, const QString& where = "1") {
        QSqlQuery query(file->db());
        query.exec(QStringLiteral("SELECT count(*) FROM %1 WHERE %2").arg(table, where));
        return query.next() ? query.value(0).toLongLong() : -1;
    }
    // The samples a table of summed-up buckets holds.
    qint64 samplesIn(const QString& table) {
        QSqlQuery query(file->db());
        query.exec(QStringLiteral("SELECT data FROM %1").arg(table));
        qint64 samples = 0;
        while (query.next())
            samples += BucketSums::decode(query.value(0).toByteArray()).value().samples;
        return samples;
    }

    QTemporaryDir dir;
    std::unique_ptr<HistoryFile> file;
    qint64 board = -1;
};

} // namespace

TEST_F(HistoryStoreTest, AWeekIsSummedUpPrunedAndReadBackAtEveryResolution) {
    // A sample every 10 s for a week, in batches of an hour.
    const qint64 end = Start + 7 * Day;
    record(Start, end, 10000, HourMs);
    upkeepUntilDone(end + HourMs);
    const qint64 now = end + HourMs;

    // Raw samples only for the last 48 h, minutes and hours for all of it;
    // every sample is in its hour.
    EXPECT_EQ(count("samples", QString("time < %1").arg(now - RawMs)), 0);
    EXPECT_EQ(count("samples"), (end - (now - RawMs)) / 10000);
    EXPECT_EQ(count("minutes"), 7 * 24 * 60);
    EXPECT_EQ(count("hours"), 7 * 24);
    EXPECT_EQ(samplesIn("hours"), 7 * Day / 10000);
    EXPECT_EQ(count("dirty_minutes") + count("dirty_hours"), 0);

    // The week in 1000 points (from hours: buckets of ~10 min are minutes),
    // the last day in 24 (hours), the last 5 minutes (raw samples).
    const auto week = historyPoints(*file, board, Start, end, 1000, now);
    ASSERT_GT(week.size(), 900u);
    ASSERT_LE(week.size(), 1000u);
    for (const HistoryPoint& p : week) {
        ASSERT_TRUE(p.water && p.waterMin && p.waterMax);
        EXPECT_LE(*p.waterMin, *p.water);
        EXPECT_GE(*p.waterMax, *p.water);
        EXPECT_NEAR(*p.water, waterAt(p.time) / 10.0, 0.15);
        EXPECT_DOUBLE_EQ(*p.voltage, 12.05);
        EXPECT_DOUBLE_EQ(p.percent[0], 50);
        EXPECT_DOUBLE_EQ(p.percent[3], 100);
        EXPECT_EQ(p.mode, 1);
    }
    const auto day = historyPoints(*file, board, end - Day, end, 24, now);
    ASSERT_EQ(day.size(), 24u);
    EXPECT_DOUBLE_EQ(*day[12].waterMax, 26.0);
    const auto minutes = historyPoints(*file, board, end - 5 * MinuteMs, end, 30, now);
    EXPECT_EQ(minutes.size(), 30u);
}

TEST_F(HistoryStoreTest, WhatHasNotBeenSummedUpYetIsReadFromTheSamples) {
    record(Start, Start + 3 * HourMs + 20 * MinuteMs, 1000);
    // No upkeep after the last batch: the last minutes are samples only.
    const qint64 now = Start + 3 * HourMs + 20 * MinuteMs;
    const auto points = historyPoints(*file, board, Start, now, 200, now);
    ASSERT_FALSE(points.empty());
    EXPECT_GE(points.back().time, now - 2 * MinuteMs);
    qint64 hoursRead = 0;
    for (const auto& p : historyPoints(*file, board, Start, now, 4, now))
        hoursRead += p.time >= Start ? 1 : 0;
    EXPECT_EQ(hoursRead, 4);
}

TEST_F(HistoryStoreTest, GapsStayGaps) {
    record(Start, Start + HourMs, 10000);
    record(Start + 3 * HourMs, Start + 4 * HourMs, 10000);
    upkeepUntilDone(Start + 5 * HourMs);
    const auto points =
        historyPoints(*file, board, Start, Start + 4 * HourMs, 4, Start + 5 * HourMs);
    ASSERT_EQ(points.size(), 2u) << "the two hours without a poll have no points";
    EXPECT_EQ(points[0].time, Start);
    EXPECT_EQ(points[1].time, Start + 3 * HourMs);
    // A sample without a sensor: no temperature, the rest as it was.
    HistorySample missing = sampleAt(Start + 5 * HourMs);
    missing.water.reset();
    ASSERT_TRUE(writeHistoryBatch(*file, board, {missing}, {}));
    const auto noSensor = historyPoints(*file, board, Start + 5 * HourMs,
                                        Start + 5 * HourMs + MinuteMs, 1, Start + 5 * HourMs);
    ASSERT_EQ(noSensor.size(), 1u);
    EXPECT_FALSE(noSensor[0].water);
    EXPECT_DOUBLE_EQ(*noSensor[0].voltage, 12.05);
}

TEST_F(HistoryStoreTest, KeepingRules) {
    // Three years of one sample every four hours and an event a month,
    // summed up as they came.
    const qint64 years = 3 * 365 * Day;
    for (qint64 month = Start; month < Start + years; month += 30 * Day) {
        std::vector<HistorySample> samples;
        for (qint64 t = month; t < std::min(month + 30 * Day, Start + years); t += 4 * HourMs)
            samples.push_back(sampleAt(t));
        ASSERT_TRUE(writeHistoryBatch(*file, board, samples,
                                      {{month, "change", "mode auto: done", "window"}}));
    }
    const qint64 now = Start + years + HourMs;
    upkeepUntilDone(now);
    EXPECT_EQ(count("hours"), years / (4 * HourMs)) << "hours are kept for ever";
    EXPECT_EQ(samplesIn("hours"), years / (4 * HourMs));
    EXPECT_EQ(count("minutes", QString("time < %1").arg((now - MinutesMs) / MinuteMs)), 0);
    EXPECT_GT(count("minutes"), 0);
    EXPECT_EQ(count("samples", QString("time < %1").arg(now - RawMs)), 0);
    EXPECT_EQ(count("events", QString("time < %1").arg(now - EventsMs)), 0);
    EXPECT_GT(count("events"), 0);
    // A query over all three years reads the hours.
    const auto all = historyPoints(*file, board, Start, Start + years, 1000, now);
    EXPECT_GT(all.size(), 950u) << "a point for every bucket with a sample";
}

TEST_F(HistoryStoreTest, ClockGoingBackLosesAndMergesNothing) {
    // Ten minutes recorded and summed up, then the computer's clock is set
    // back five minutes and recording goes on.
    record(Start, Start + 10 * MinuteMs, 1000);
    upkeepUntilDone(Start + 10 * MinuteMs + SettleMs + MinuteMs);
    const qint64 before = count("samples");
    record(Start + 5 * MinuteMs, Start + 15 * MinuteMs, 1000);
    const qint64 now = Start + 15 * MinuteMs + HourMs;
    upkeepUntilDone(now);
    EXPECT_EQ(count("samples"), before + 10 * 60);
    // Each minute holds exactly the samples whose time falls into it.
    QSqlQuery minutes(file->db());
    ASSERT_TRUE(minutes.exec("SELECT time, data FROM minutes ORDER BY time"));
    int seen = 0;
    while (minutes.next()) {
        const qint64 minute = minutes.value(0).toLongLong() - Start / MinuteMs;
        const auto sums = BucketSums::decode(minutes.value(1).toByteArray());
        ASSERT_TRUE(sums);
        EXPECT_EQ(sums->samples, minute >= 5 && minute < 10 ? 120 : 60) << minute;
        ++seen;
    }
    EXPECT_EQ(seen, 15);
    EXPECT_EQ(samplesIn("hours"), before + 10 * 60);
}

TEST_F(HistoryStoreTest, EventsComeBackInTheirOrder) {
    ASSERT_TRUE(writeHistoryBatch(*file, board, {},
                                  {{Start, "connected", "Firmware 12", "service"},
                                   {Start + 1000, "change", "mode auto: done", "web 192.0.2.7"}}));
    const auto events = historyEvents(*file, board, Start, Start + MinuteMs);
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[1].kind, "change");
    EXPECT_EQ(events[1].origin, "web 192.0.2.7");
    EXPECT_TRUE(historyEvents(*file, board, Start + 2000, Start + MinuteMs).empty());
}

TEST(HistoryBuckets, TheCompactFormReadsBackAndRefusesWhatItIsNot) {
    BucketSums minute;
    for (int i = 0; i < 60; ++i) {
        minute.samples += 1;
        minute.water.add(250 + i % 3);
        if (i % 2)
            minute.voltage.add(1205 - i);
        for (int c = 0; c < ChannelCount; ++c)
            minute.levels[std::size_t(c)].add(c == 3 ? 4096 : i * 10);
        minute.clouds += i < 7;
    }
    minute.mode = 2;
    const QByteArray bytes = minute.encode();
    EXPECT_LT(bytes.size(), 40) << "a steady minute takes a few dozen bytes";
    EXPECT_EQ(BucketSums::decode(bytes), minute);
    BucketSums hour = minute;
    hour.add(minute);
    EXPECT_EQ(hour.samples, 120);
    EXPECT_EQ(hour.water.sum, 2 * minute.water.sum);
    EXPECT_EQ(BucketSums::decode(hour.encode()), hour);
    // A cut or altered record is no record.
    EXPECT_FALSE(BucketSums::decode(bytes.left(bytes.size() - 1)));
    EXPECT_FALSE(BucketSums::decode(bytes + QByteArray(1, '\0')));
    EXPECT_FALSE(BucketSums::decode(QByteArray("\x07", 1) + bytes.mid(1)));
    EXPECT_FALSE(BucketSums::decode(QByteArray()));
}

TEST_F(HistoryStoreTest, TheNewestBoardIsTheOneWithTheNewestSampleElseTheNewestEvent) {
    EXPECT_EQ(newestBoard(*file), -1) << "an empty file has none";
    const qint64 other = file->boardId("SIM-0002");
    ASSERT_TRUE(writeHistoryBatch(*file, other, {}, {{Start, "change", "mode auto: done", "cli"}}));
    EXPECT_EQ(newestBoard(*file), other) << "events alone name a board";
    ASSERT_TRUE(writeHistoryBatch(*file, board, {sampleAt(Start - HourMs)}, {}));
    EXPECT_EQ(newestBoard(*file), board) << "a sample, even an older one, comes first";
    ASSERT_TRUE(writeHistoryBatch(*file, other, {sampleAt(Start)}, {}));
    EXPECT_EQ(newestBoard(*file), other);
}
