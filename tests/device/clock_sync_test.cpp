#include "device/clock_sync.h"
#include "device/poller.h"
#include "device_test_support.h"

#include <gtest/gtest.h>

using namespace kv;
using kv::testing::LinkedBoard;

namespace {

InfoBlock boardAt(int h, int m, int s, int timeLapse = 1) {
    InfoBlock info;
    info.Hour = std::int8_t(h);
    info.Minute = std::int8_t(m);
    info.Second = std::int8_t(s);
    info.TimeLapse = std::uint8_t(timeLapse);
    return info;
}

const QTime Noon(12, 0, 0);

} // namespace

TEST(ClockSync, DeadBandAndAcceptanceWindow) {
    EXPECT_FALSE(clockNeedsCorrection(boardAt(12, 0, 3), Noon));
    EXPECT_FALSE(clockNeedsCorrection(boardAt(11, 59, 56), Noon));
    EXPECT_TRUE(clockNeedsCorrection(boardAt(12, 0, 5), Noon));
    EXPECT_TRUE(clockNeedsCorrection(boardAt(11, 59, 55), Noon));
    EXPECT_TRUE(clockNeedsCorrection(boardAt(12, 1, 0), Noon));
    EXPECT_FALSE(clockNeedsCorrection(boardAt(11, 58, 59), Noon)); // 61 s behind
    EXPECT_FALSE(clockNeedsCorrection(boardAt(12, 1, 1), Noon));
}

TEST(ClockSync, TimeLapseIsNeverCorrected) {
    EXPECT_FALSE(clockNeedsCorrection(boardAt(12, 0, 30, 0), Noon));
    EXPECT_FALSE(clockNeedsCorrection(boardAt(12, 0, 30, 10), Noon));
}

TEST(ClockSync, OnlyTheTimeOfDayCounts) {
    EXPECT_EQ(clockDifferenceSeconds(boardAt(23, 59, 58), QTime(0, 0, 1)), 86397);
    EXPECT_FALSE(clockNeedsCorrection(boardAt(23, 59, 58), QTime(0, 0, 1)));
    // The computer's fraction of a second rounds halves to even.
    EXPECT_EQ(clockDifferenceSeconds(boardAt(12, 0, 0), QTime(11, 59, 59, 500)), 0);
    EXPECT_EQ(clockDifferenceSeconds(boardAt(12, 0, 0), QTime(11, 59, 58, 500)), 2);
}

TEST(ClockSync, HundredthsRoundToEvenAndReach100) {
    EXPECT_EQ(hundredthsFromMilliseconds(995), 100);
    EXPECT_EQ(hundredthsFromMilliseconds(999), 100);
    EXPECT_EQ(hundredthsFromMilliseconds(985), 98);
    EXPECT_EQ(hundredthsFromMilliseconds(994), 99);
    EXPECT_EQ(hundredthsFromMilliseconds(5), 0);
    EXPECT_EQ(hundredthsFromMilliseconds(15), 2);
}

TEST(ClockSync, NowSetsDateWithYearPlus48) {
    InfoBlock info;
    info.Reserved13 = 9;
    setBoardDateTime(info, QDateTime(QDate(2024, 2, 29), QTime(18, 5, 33, 995)));
    EXPECT_EQ(info.Year, 24);
    EXPECT_EQ(info.Month, 2);
    EXPECT_EQ(info.Day, 29);
    EXPECT_EQ(info.Hour, 18);
    EXPECT_EQ(info.Minute, 5);
    EXPECT_EQ(info.Second, 33);
    EXPECT_EQ(info.Hundredths, 100);
    EXPECT_EQ(info.Reserved13, 0);
    setBoardDateTime(info, QDateTime(QDate(2255, 1, 1), QTime(0, 0)));
    EXPECT_EQ(std::uint8_t(info.Year), 255);
    setBoardDateTime(info, QDateTime(QDate(2256, 1, 1), QTime(0, 0)));
    EXPECT_EQ(std::uint8_t(info.Year), 0);
    ASSERT_TRUE(boardDateTime(info));
    EXPECT_EQ(boardDateTime(info)->date(), QDate(2000, 1, 1));
    info.Month = 13;
    EXPECT_FALSE(boardDateTime(info));
}

TEST(ClockSync, NowWritesRealtimeThenTheClock) {
    LinkedBoard b;
    b.link.info.TimeLapse = 20;
    ASSERT_TRUE(setBoardClockNow(b.link, QDateTime(QDate(2024, 6, 21), QTime(12, 0, 0))));
    const auto sent = b.writes(1);
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0].bytes[34], 1);  // TimeLapse
    EXPECT_EQ(sent[0].bytes[9], 255); // configuration only
    EXPECT_EQ(sent[1].bytes[9], 0);   // Minute: the clock is set
    EXPECT_EQ(sent[1].bytes[10], 12);
    EXPECT_EQ(sent[1].bytes[13], 24);
    EXPECT_EQ(sent[1].bytes[15], 0xFF); // levels untouched
}

namespace {

struct PolledBoard : LinkedBoard {
    Poller poller{link};
    QDateTime computer{QDate(2024, 6, 21), QTime(12, 0, 0)};
    bool visible = true;
    PolledBoard() {
        poller.setClock([this] { return computer; });
        poller.setVisibleCheck([this] { return visible; });
        board().setClockSource([this] { return computer; });
        board().info().TimeLapse = 1;
    }
    int clockWrites() {
        int n = 0;
        for (const auto& t : writes(1))
            n += t.bytes[9] != 255;
        return n;
    }
};

} // namespace

TEST(Poller, CorrectsADriftOnceAndThenLeavesItAlone) {
    PolledBoard p;
    p.board().setBoardTime(p.computer.addSecs(5));
    EXPECT_TRUE(p.poller.tick());
    EXPECT_EQ(p.clockWrites(), 1);
    EXPECT_FALSE(p.poller.tick()); // now in step
    EXPECT_EQ(p.clockWrites(), 1);
}

TEST(Poller, SmallAndLargeDriftsAreLeftAlone) {
    PolledBoard p;
    p.board().setBoardTime(p.computer.addSecs(3));
    EXPECT_FALSE(p.poller.tick());
    p.board().setBoardTime(p.computer.addSecs(-61));
    for (int i = 0; i < 3; ++i)
        EXPECT_FALSE(p.poller.tick());
    EXPECT_EQ(p.clockWrites(), 0);
    EXPECT_EQ(p.reads(1).size(), 4u);
}

TEST(Poller, HiddenWindowReadsNothing) {
    PolledBoard p;
    p.visible = false;
    p.board().setBoardTime(p.computer.addSecs(10));
    EXPECT_FALSE(p.poller.tick());
    EXPECT_TRUE(p.board().transfers().empty());
    p.visible = true;
    EXPECT_TRUE(p.poller.tick());
}
