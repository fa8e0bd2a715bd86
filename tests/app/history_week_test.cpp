// A simulated week in the window: the board in time lapse (a minute of its
// clock a poll) recorded as the window's recorder records it, with the water
// swinging through the day, a night the heater failed and six hours nobody
// polled; then the window's history tab over it. With KESTVELQOR_WEEK_HISTORY
// set, the recorded file is kept there (for a look at the tab by hand).
#include "window_test_support.h"

#include "history/history_recorder.h"
#include "recording_reporter.h"
#include "sim/sim_backend.h"
#include "views/history_view.h"
#include "views/picture_box.h"

#include <QAbstractButton>
#include <QFile>
#include <QTemporaryDir>

#include <cmath>
#include <numbers>

namespace kv::testing {
namespace {

constexpr qint64 Minute = 60 * 1000;
constexpr qint64 Hour = 60 * Minute;
constexpr qint64 Day = 24 * Hour;
constexpr int Lapse = 60; // a second of the computer is a minute of the board

// The water swings between 24.7 and 25.3 °C once a day; while the heater is
// off it falls a tenth of a degree every twenty minutes.
int waterAt(qint64 msOfWeek, bool heaterFailed, qint64 msSinceFailure) {
    const double phase = 2 * std::numbers::pi * double(msOfWeek % Day) / double(Day);
    const double usual = 250 + 3 * std::sin(phase - std::numbers::pi / 2);
    if (!heaterFailed)
        return int(std::lround(usual));
    return int(std::lround(usual - double(msSinceFailure) / double(20 * Minute)));
}

class HistoryWeekTest : public WindowTest {
protected:
    void SetUp() override { qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit()); }
    void TearDown() override {
        WindowTest::TearDown();
        qunsetenv("XDG_RUNTIME_DIR");
    }

    // Records the week that ends now into the file: one poll a board minute.
    void recordWeek(const QString& file) {
        sim::SimBackend bus;
        RecordingReporter log;
        BoardService service(log, {{&bus, &bus}});
        sim::SimulatedBoard& board = bus.board();
        QDateTime source = QDateTime::currentDateTime();
        board.setClockSource([&source] { return source; });
        const QDateTime end = QDateTime::currentDateTime();
        board.setBoardTime(end.addDays(-7));
        board.info().TimeLapse = Lapse;
        service.scanNow();
        ASSERT_TRUE(service.isConnected());
        HistoryRecorder recorder(service, log, file);
        recorder.setClock([&board] { return board.boardTime().toMSecsSinceEpoch(); });
        ASSERT_TRUE(recorder.recordsSamples());

        const qint64 start = board.boardTime().toMSecsSinceEpoch();
        const qint64 failure = start + 2 * Day + 22 * Hour; // the third night
        const qint64 repaired = failure + 7 * Hour;
        const qint64 gapFrom = start + 4 * Day + 9 * Hour; // the fifth morning
        const qint64 gapTo = gapFrom + 6 * Hour;
        for (int poll = 0;; ++poll) {
            source = source.addMSecs(Minute / Lapse);
            const qint64 now = board.boardTime().toMSecsSinceEpoch();
            if (now >= end.toMSecsSinceEpoch())
                break;
            if (now >= gapFrom && now < gapTo)
                continue;
            const bool failed = now >= failure && now < repaired;
            board.info().WaterTemp = std::int16_t(waterAt(now - start, failed, now - failure));
            service.pollNow();
            if (poll % 1000 == 0)
                recorder.flush();
        }
        recorder.flush();
        while (recorder.upkeep()) {
        }
        weekStart = start;
        gapStart = gapFrom;
        gapEnd = gapTo;
    }

    QTemporaryDir runtime;
    QTemporaryDir dir;
    qint64 weekStart = 0;
    qint64 gapStart = 0;
    qint64 gapEnd = 0;
};

TEST_F(HistoryWeekTest, TheTabShowsTheWeekWithTheColdNightAndTheGap) {
    const QString file = dir.filePath("week.sqlite");
    recordWeek(file);
    if (const QString keep = qEnvironmentVariable("KESTVELQOR_WEEK_HISTORY"); !keep.isEmpty()) {
        QFile::remove(keep);
        QFile::copy(file, keep);
    }

    startConnected(1, {"--simulate", "--history", file});
    auto* tab = qobject_cast<HistoryView*>(window->page("tsHistory"));
    window->switchToTab(tab);
    QTest::mouseClick(tab->rangeButton(2), Qt::LeftButton);
    const historyplot::HistoryPicture& shown = tab->shown();
    ASSERT_FALSE(shown.points.empty());
    EXPECT_LE(shown.points.front().time, weekStart + shown.bucketMs);
    EXPECT_GE(shown.points.back().time, shown.to - 2 * shown.bucketMs);

    // Seven hours without the heater take the water two degrees down; the
    // usual days reach 25.3 °C.
    const auto extent = historyplot::temperatureExtent(shown.points);
    ASSERT_TRUE(extent);
    EXPECT_GT(extent->first, 22.5);
    EXPECT_LT(extent->first, 23.3);
    EXPECT_NEAR(extent->second, 25.3, 0.05);

    // The six hours without polls are one gap, the only one.
    int gaps = 0;
    for (std::size_t i = 1; i < shown.points.size(); ++i) {
        const qint64 apart = shown.points[i].time - shown.points[i - 1].time;
        if (apart * 2 > shown.bucketMs * 3) {
            ++gaps;
            EXPECT_GE(apart, gapEnd - gapStart - shown.bucketMs);
            EXPECT_LE(shown.points[i - 1].time, gapStart);
            EXPECT_GE(shown.points[i].time + shown.bucketMs, gapEnd);
        }
    }
    EXPECT_EQ(gaps, 1);
    // The light followed the schedule: full in the afternoon, dark at night.
    double brightest = 0;
    double darkest = 100;
    for (const HistoryPoint& point : shown.points) {
        brightest = std::max(brightest, point.percent[0]);
        darkest = std::min(darkest, point.percent[0]);
    }
    EXPECT_GT(brightest, 90);
    EXPECT_EQ(darkest, 0);
    EXPECT_TRUE(tab->picture()->accessibleDescription().contains(
        QString::fromUtf8("Wassertemperatur 22,")));
}

} // namespace
} // namespace kv::testing
