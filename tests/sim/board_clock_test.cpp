// The simulated board's clock (with time lapse) and its levels in the three
// modes.
#include "sim/sim_test_support.h"

#include <gtest/gtest.h>

namespace kv::sim {
namespace {

using namespace kv::sim::testing;

class BoardClockTest : public ::testing::Test {
protected:
    void SetUp() override { board.setClockSource(clock.source()); }
    FakeClock clock;
    SimulatedBoard board;
};

TEST_F(BoardClockTest, StartsAtTheSourceTimeAndRunsWithIt) {
    auto info = *readInfo(board);
    EXPECT_EQ(info.Year, 24);
    EXPECT_EQ(info.Month, 2);
    EXPECT_EQ(info.Day, 29);
    EXPECT_EQ(info.Hour, 12);
    EXPECT_EQ(info.Minute, 0);

    clock.advanceMs(12 * 3600 * 1000 + 61'230); // past midnight into 1 March
    info = *readInfo(board);
    EXPECT_EQ(info.Month, 3);
    EXPECT_EQ(info.Day, 1);
    EXPECT_EQ(info.Hour, 0);
    EXPECT_EQ(info.Minute, 1);
    EXPECT_EQ(info.Second, 1);
    EXPECT_EQ(info.Hundredths, 23);
    EXPECT_EQ(board.boardTime(), QDateTime(QDate(2024, 3, 1), QTime(0, 1, 1, 230)));
}

TEST_F(BoardClockTest, TimeLapseMultipliesElapsedTime) {
    board.info().TimeLapse = 60;
    clock.advanceMs(10'000);
    EXPECT_EQ(board.boardTime(), QDateTime(QDate(2024, 2, 29), QTime(12, 10)));

    // Back to real time through a configuration write: the ten minutes stay.
    InfoBlock written = *readInfo(board);
    written.TimeLapse = 1;
    ASSERT_TRUE(writeInfo(board, written, false, false, false));
    clock.advanceMs(10'000);
    EXPECT_EQ(board.boardTime(), QDateTime(QDate(2024, 2, 29), QTime(12, 10, 10)));
}

TEST_F(BoardClockTest, TimeLapseWrittenTakesEffectFromTheWrite) {
    clock.advanceMs(5'000);
    InfoBlock written = *readInfo(board);
    written.TimeLapse = 100;
    ASSERT_TRUE(writeInfo(board, written, false, false, false));
    clock.advanceMs(1'000);
    EXPECT_EQ(board.boardTime(), QDateTime(QDate(2024, 2, 29), QTime(12, 1, 45)));
}

TEST_F(BoardClockTest, ClockWriteSetsTheBoardTime) {
    InfoBlock written = *readInfo(board);
    written.Year = 25;
    written.Month = 12;
    written.Day = 31;
    written.Hour = 23;
    written.Minute = 59;
    written.Second = 59;
    written.Hundredths = 100; // set at 995 ms or later: the next second
    ASSERT_TRUE(writeInfo(board, written, true, false, false));
    EXPECT_EQ(board.boardTime(), QDateTime(QDate(2026, 1, 1), QTime(0, 0)));
}

TEST_F(BoardClockTest, ImpossibleClockIsNotTaken) {
    InfoBlock written = *readInfo(board);
    written.Month = 2;
    written.Day = 30;
    ASSERT_TRUE(writeInfo(board, written, true, false, false));
    written = *readInfo(board);
    written.Hour = 24;
    ASSERT_TRUE(writeInfo(board, written, true, false, false));
    EXPECT_EQ(board.boardTime(), QDateTime(QDate(2024, 2, 29), QTime(12, 0)));
}

TEST_F(BoardClockTest, SetBoardTimeAndInfoAgree) {
    board.setBoardTime(QDateTime(QDate(2031, 7, 4), QTime(6, 7, 8, 90)));
    const auto& info = board.info();
    EXPECT_EQ(info.Year, 31);
    EXPECT_EQ(info.Month, 7);
    EXPECT_EQ(info.Day, 4);
    EXPECT_EQ(info.Hour, 6);
    EXPECT_EQ(info.Minute, 7);
    EXPECT_EQ(info.Second, 8);
    EXPECT_EQ(info.Hundredths, 9);
}

TEST_F(BoardClockTest, AutoLevelsFollowTheScheduleLinearly) {
    board.info().Mode = 1;
    Schedule& s = board.schedule();
    s.clear();
    ScheduleLine a, b;
    a.Hour = 10;
    a.Color16 = {0, 4096, 1000, 0};
    b.Hour = 12;
    b.Color16 = {4096, 0, 1000, 100};
    s = {a, b};

    board.setBoardTime(QDateTime(QDate(2024, 1, 1), QTime(11, 0)));
    auto info = *readInfo(board);
    EXPECT_EQ(info.Level, (std::array<std::int16_t, 4>{2048, 2048, 1000, 50}));
    EXPECT_EQ(info.CurrentLine, 0);

    board.setBoardTime(QDateTime(QDate(2024, 1, 1), QTime(12, 0)));
    info = *readInfo(board);
    EXPECT_EQ(info.Level, b.Color16);
    EXPECT_EQ(info.CurrentLine, 1);

    // From the last line of the day round midnight to the first one.
    board.setBoardTime(QDateTime(QDate(2024, 1, 1), QTime(23, 0)));
    info = *readInfo(board);
    EXPECT_EQ(info.Level[0], 4096 - 4096 * 11 / 22);
    EXPECT_EQ(info.CurrentLine, 1);
    board.setBoardTime(QDateTime(QDate(2024, 1, 2), QTime(5, 0)));
    info = *readInfo(board);
    EXPECT_EQ(info.Level[0], 4096 - 4096 * 17 / 22);
    EXPECT_EQ(info.CurrentLine, 1);
}

TEST_F(BoardClockTest, ManualAndGeoLevelsStayAsWritten) {
    for (std::uint8_t mode : {0, 2}) {
        SCOPED_TRACE(int(mode));
        InfoBlock written = *readInfo(board);
        written.Mode = mode;
        written.Level = {11, 22, 33, 44};
        ASSERT_TRUE(writeInfo(board, written, false, false, true));
        clock.advanceMs(3 * 3600 * 1000);
        EXPECT_EQ(readInfo(board)->Level, written.Level);
    }
}

} // namespace
} // namespace kv::sim
