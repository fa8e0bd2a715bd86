// The history's costs: what recording a poll adds to the thread, a year's
// query reduced to 1000 points, and the file's size after a year.
#include "bench_support.h"
#include "board/board_service.h"
#include "history/history_buckets.h"
#include "history/history_file.h"
#include "history/history_recorder.h"
#include "history/history_store.h"
#include "sim/sim_backend.h"

#include <QFileInfo>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

using namespace kv::historykeep;

constexpr qint64 Now = 1796083200000; // 2026-12-01T00:00:00Z
constexpr qint64 Year = 365LL * 24 * HourMs;

// A service polling the simulated board, with or without a recorder.
void pollAgainst(benchmark::State& state, bool recording) {
    kv::bench::app();
    QTemporaryDir dir;
    qputenv("XDG_RUNTIME_DIR", dir.path().toLocal8Bit());
    kv::sim::SimBackend sim;
    kv::bench::SilentReporter reporter;
    kv::BoardService service(reporter, {{&sim, &sim}});
    service.scanNow();
    std::unique_ptr<kv::HistoryRecorder> recorder;
    qint64 clock = Now;
    if (recording) {
        recorder = std::make_unique<kv::HistoryRecorder>(service, reporter,
                                                         dir.filePath("history.sqlite"));
        recorder->setClock([&clock] { return clock; });
    }
    int polls = 0;
    for (auto _ : state) {
        clock += 1000;
        service.pollNow();
        // The batch every five polls, as the recorder's timer writes it.
        if (recorder && ++polls % (kv::HistoryRecorder::FlushMs / 1000) == 0)
            recorder->flush();
    }
}

void BM_PollWithoutRecording(benchmark::State& state) {
    pollAgainst(state, false);
}
BENCHMARK(BM_PollWithoutRecording)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

void BM_PollRecorded(benchmark::State& state) {
    pollAgainst(state, true);
}
BENCHMARK(BM_PollRecorded)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// A year of minutes and hours as the upkeep leaves them (60 samples a
// minute, a day's swing of the water temperature and of the light), and the
// last 48 hours of samples a second.
std::unique_ptr<kv::HistoryFile> yearFile(const QString& path, qint64& board) {
    auto file = kv::HistoryFile::open(path, true, nullptr);
    if (!file)
        return file;
    board = file->boardId(QStringLiteral("SIM-0001"));
    QSqlDatabase& db = file->db();
    bool made = db.transaction();
    QSqlQuery minute(db);
    minute.prepare(QStringLiteral("INSERT INTO minutes VALUES (?, ?, ?)"));
    QSqlQuery hour(db);
    hour.prepare(QStringLiteral("INSERT INTO hours VALUES (?, ?, ?)"));
    kv::BucketSums hourSums;
    for (qint64 t = Now - Year; made && t < Now; t += MinuteMs) {
        const int ofDay = int(t / MinuteMs % 1440);
        kv::BucketSums sums;
        for (int second = 0; second < 60; ++second) {
            ++sums.samples;
            sums.water.add(250 + ofDay / 144 + second % 2);
            sums.voltage.add(1205);
            for (int c = 0; c < kv::ChannelCount; ++c)
                sums.levels[std::size_t(c)].add(ofDay * 2 / (c + 1));
        }
        sums.mode = 1;
        minute.addBindValue(board);
        minute.addBindValue(t / MinuteMs);
        minute.addBindValue(sums.encode());
        made = minute.exec();
        hourSums.add(sums);
        if ((t + MinuteMs) % HourMs == 0) {
            hour.addBindValue(board);
            hour.addBindValue(t / HourMs);
            hour.addBindValue(hourSums.encode());
            made = made && hour.exec();
            hourSums = {};
        }
    }
    QSqlQuery samples(db);
    samples.prepare(QStringLiteral("INSERT INTO samples VALUES (?, ?, ?, 1205, ?, ?, ?, ?, 1, 0)"));
    for (qint64 t = Now - RawMs; made && t < Now; t += 1000) {
        const int ofDay = int(t / MinuteMs % 1440);
        samples.addBindValue(board);
        samples.addBindValue(t);
        samples.addBindValue(250 + ofDay / 144);
        for (int c = 0; c < kv::ChannelCount; ++c)
            samples.addBindValue(ofDay * 2 / (c + 1));
        made = samples.exec();
    }
    made = made && db.commit();
    QSqlQuery checkpoint(db);
    made = made && checkpoint.exec(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
    if (!made)
        file.reset();
    return file;
}

void BM_YearQueryIn1000Points(benchmark::State& state) {
    kv::bench::app();
    QTemporaryDir dir;
    const QString path = dir.filePath("history.sqlite");
    qint64 board = -1;
    auto file = yearFile(path, board);
    if (!file) {
        state.SkipWithError("the year's file could not be made");
        return;
    }
    std::size_t points = 0;
    for (auto _ : state) {
        const auto year = kv::historyPoints(*file, board, Now - Year, Now, 1000, Now);
        points = year.size();
        benchmark::DoNotOptimize(year.data());
    }
    state.counters["points"] = double(points);
    state.counters["file_MB"] = double(QFileInfo(path).size()) / (1024.0 * 1024.0);
}
BENCHMARK(BM_YearQueryIn1000Points)->Unit(benchmark::kMillisecond);

// The same year read as the last 24 hours in 1000 points: minutes and the
// samples not yet summed up.
void BM_DayQueryIn1000Points(benchmark::State& state) {
    kv::bench::app();
    QTemporaryDir dir;
    qint64 board = -1;
    auto file = yearFile(dir.filePath("history.sqlite"), board);
    if (!file) {
        state.SkipWithError("the year's file could not be made");
        return;
    }
    for (auto _ : state) {
        const auto day = kv::historyPoints(*file, board, Now - 24 * HourMs, Now, 1000, Now);
        benchmark::DoNotOptimize(day.data());
    }
}
BENCHMARK(BM_DayQueryIn1000Points)->Unit(benchmark::kMillisecond);

} // namespace
