#include "device_test_support.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

using namespace kv;
using kv::testing::LinkedBoard;

namespace {

ScheduleLine lineAt(int hour, int level) {
    ScheduleLine line;
    line.Hour = std::int8_t(hour);
    line.Color16 = {std::int16_t(level), 0, 0, 0};
    line.Switch = 0x3F;
    return line;
}

void giveBoardLines(LinkedBoard& b, int count) {
    b.board().schedule().clear();
    for (int i = 0; i < count; ++i)
        b.board().schedule().push_back(lineAt(i % 25, i * 10));
    b.board().info().LineCount = std::uint8_t(count);
}

} // namespace

TEST(BoardLink, SetConfigMasksClockLineAndLevelsInTheReportOnly) {
    LinkedBoard b;
    // A board in Manual mode keeps its levels whatever the time of day.
    b.board().info().Mode = 0;
    b.board().info().Level = {};
    b.link.info.Minute = 30;
    b.link.info.CurrentLine = 3;
    b.link.info.Level = {1000, 2000, 3000, 4000};
    b.link.info.FanHigh = 77;
    ASSERT_TRUE(b.link.SetConfig());

    const auto sent = b.writes(1);
    ASSERT_EQ(sent.size(), 1u);
    const auto& r = sent[0].bytes;
    ASSERT_EQ(r.size(), 47u);
    EXPECT_EQ(r[9], 255);   // Minute
    EXPECT_EQ(r[6], 255);   // CurrentLine
    EXPECT_EQ(r[15], 0xFF); // Level 0, low byte first
    EXPECT_EQ(r[16], 0xFF);
    EXPECT_EQ(r[31], 77);                  // FanHigh goes out as it stands
    EXPECT_EQ(r[17] | (r[18] << 8), 2000); // other levels untouched

    EXPECT_EQ(b.link.info.Minute, 30);
    EXPECT_EQ(b.link.info.CurrentLine, 3);
    EXPECT_EQ(b.link.info.Level[0], 1000);
    // The board kept its levels and clock.
    EXPECT_NE(b.board().info().Level[0], 1000);
    EXPECT_EQ(b.board().info().FanHigh, 77);
}

TEST(BoardLink, SetInfoWithClockSendsTheRealClockAndNoLevels) {
    LinkedBoard b;
    b.link.info.Hour = 13;
    b.link.info.Minute = 14;
    b.link.info.Second = 15;
    b.link.info.CurrentLine = 2;
    b.link.info.Level[0] = 500;
    ASSERT_TRUE(b.link.SetInfo(true, false, false));
    const auto r = b.writes(1).at(0).bytes;
    EXPECT_EQ(r[8], 15);
    EXPECT_EQ(r[9], 14);
    EXPECT_EQ(r[10], 13);
    EXPECT_EQ(r[6], 255);
    EXPECT_EQ(r[15], 0xFF);
    EXPECT_EQ(r[16], 0xFF);

    b.board().clearTransfers();
    ASSERT_TRUE(b.link.SetInfo(false, false, true));
    const auto levels = b.writes(1).at(0).bytes;
    EXPECT_EQ(levels[9], 255);
    EXPECT_EQ(levels[15] | (levels[16] << 8), 500);
}

TEST(BoardLink, RetriesEachTransferThreeTimes) {
    LinkedBoard b;
    b.board().info().FanLow = 42;
    b.board().failNext(2);
    EXPECT_TRUE(b.link.GetInfoConfig());
    EXPECT_EQ(b.link.info.FanLow, 42);
    EXPECT_EQ(b.reads(1).size(), 3u);

    // Three failures: the record stays as it was, nothing is thrown.
    b.board().clearTransfers();
    b.board().info().FanLow = 43;
    b.board().failNext(3);
    QSignalSpy shown(&b.link, &BoardLink::infoRead);
    EXPECT_FALSE(b.link.GetInfoConfig());
    EXPECT_EQ(b.link.info.FanLow, 42);
    EXPECT_EQ(b.reads(1).size(), 3u);
    EXPECT_EQ(shown.count(), 1); // shown whether or not the read worked

    b.board().clearTransfers();
    b.board().failNext(3);
    EXPECT_FALSE(b.link.SetExpert());
    EXPECT_EQ(b.writes(2).size(), 3u);
}

TEST(BoardLink, AFailedExpertReadDoesNotStopTheChartRead) {
    LinkedBoard b;
    b.board().chart().Sample[0] = 251;
    b.board().expert().TWIBitrate = 23;
    b.board().failNext(3);
    EXPECT_FALSE(b.link.GetExpertChart());
    EXPECT_NE(b.link.expert.TWIBitrate, 23);
    EXPECT_EQ(b.link.chart.Sample[0], 251);
}

TEST(BoardLink, LinesFrom128OnAreReadToo) {
    LinkedBoard b;
    giveBoardLines(b, 255);
    for (std::size_t i = 0; i < 255; ++i)
        b.board().schedule()[i].Timer = std::int16_t(1000 + i);
    ASSERT_TRUE(b.link.GetSchedule());
    ASSERT_EQ(b.link.schedule.size(), 255u);
    EXPECT_EQ(b.link.schedule[128].Timer, 1128);
    EXPECT_EQ(b.link.schedule[254].Timer, 1254);
    EXPECT_EQ(b.link.schedule, b.board().schedule());
}

TEST(BoardLink, EmptyScheduleReadsNoLines) {
    LinkedBoard b;
    giveBoardLines(b, 0);
    b.link.schedule.resize(5);
    EXPECT_TRUE(b.link.GetSchedule());
    EXPECT_TRUE(b.link.schedule.empty());
    EXPECT_TRUE(b.reads(3).empty());
    b.board().clearTransfers();
    EXPECT_TRUE(b.link.SetSchedule());
    EXPECT_TRUE(b.writes(3).empty());
}

TEST(BoardLink, LinesArePlacedByTheIndexTheyCarry) {
    LinkedBoard b;
    giveBoardLines(b, 6);
    b.board().setLinesReversed();
    ASSERT_TRUE(b.link.GetSchedule());
    EXPECT_EQ(b.link.schedule, b.board().schedule());
    EXPECT_EQ(b.reads(3).size(), 6u);
}

TEST(BoardLink, DuplicateAndOutOfRangeIndexesKeepOtherLines) {
    LinkedBoard b;
    giveBoardLines(b, 4);
    b.link.schedule = {lineAt(1, 1), lineAt(2, 2), lineAt(3, 3)};
    const ScheduleLine before3 = b.link.schedule[2];
    // Index 1 twice, then a negative and a too-large index.
    b.board().setLineOrder({0, 1, -1, 9});
    EXPECT_FALSE(b.link.GetSchedule()); // lines 2 and 3 never came
    ASSERT_EQ(b.link.schedule.size(), 4u);
    EXPECT_EQ(b.link.schedule[0], b.board().schedule()[0]);
    EXPECT_EQ(b.link.schedule[1], b.board().schedule()[1]);
    EXPECT_EQ(b.link.schedule[2], before3);        // kept its previous contents
    EXPECT_EQ(b.link.schedule[3], ScheduleLine{}); // new entry, all zero

    // The same index twice: the later copy wins.
    b.board().setLineOrder({2, 2, 2, 2});
    b.board().schedule()[2].Timer = 1234;
    b.link.GetSchedule();
    EXPECT_EQ(b.link.schedule[2].Timer, 1234);
}

TEST(BoardLink, OneEditWritesEveryLine) {
    LinkedBoard b;
    giveBoardLines(b, 20);
    ASSERT_TRUE(b.link.GetSchedule());
    b.board().clearTransfers();
    b.link.schedule[7].Color16[2] = 4096;
    ASSERT_TRUE(b.link.SetSchedule());
    const auto sent = b.writes(3);
    ASSERT_EQ(sent.size(), 20u);
    for (std::size_t i = 0; i < sent.size(); ++i)
        EXPECT_EQ(sent[i].bytes[1], i);
    EXPECT_EQ(b.board().schedule()[7].Color16[2], 4096);
    // Uninterpreted Switch bits travel unchanged.
    EXPECT_EQ(sent[7].bytes[16], 0x3F);
}

TEST(BoardLink, LinesThatWouldReadAsCommandsAreNotWritten) {
    LinkedBoard b;
    giveBoardLines(b, 255);
    b.link.schedule = b.board().schedule();
    b.board().clearTransfers();
    const auto flagsBefore = b.board().info().ActivityFlags;
    EXPECT_TRUE(b.link.SetSchedule());
    const auto sent = b.writes(3);
    ASSERT_EQ(sent.size(), 252u);
    EXPECT_EQ(sent.back().bytes[1], 251);
    EXPECT_EQ(b.board().info().ActivityFlags, flagsBefore);
    EXPECT_EQ(b.board().saveRequests(), 0);
}

TEST(BoardLink, ASingleLineReadIsNotRetried) {
    LinkedBoard b;
    giveBoardLines(b, 2);
    b.board().failNext(1);
    int index = 77;
    ScheduleLine line = lineAt(5, 5);
    EXPECT_FALSE(b.link.GetLine(index, line));
    EXPECT_EQ(index, 77);
    EXPECT_EQ(line, lineAt(5, 5));
    EXPECT_EQ(b.reads(3).size(), 1u);
}

TEST(BoardLink, CommandsGoOutAsReportThree) {
    LinkedBoard b;
    ASSERT_TRUE(b.link.SendCommand(BoardCommand::Save));
    const auto r = b.writes(3).at(0).bytes;
    ASSERT_EQ(r.size(), 17u);
    EXPECT_EQ(r[1], 254);
    for (std::size_t i = 2; i < r.size(); ++i)
        EXPECT_EQ(r[i], 0);
}

TEST(BoardLink, WithoutABoardNothingHappens) {
    BoardLink link;
    QSignalSpy info(&link, &BoardLink::infoRead);
    QSignalSpy schedule(&link, &BoardLink::scheduleRead);
    link.schedule.resize(3);
    EXPECT_FALSE(link.GetInfoConfig());
    EXPECT_FALSE(link.SetConfig());
    EXPECT_FALSE(link.GetExpertChart());
    EXPECT_FALSE(link.GetSchedule());
    EXPECT_FALSE(link.SetSchedule());
    EXPECT_FALSE(link.SendCommand(BoardCommand::Save));
    EXPECT_EQ(info.count(), 0);
    EXPECT_EQ(schedule.count(), 0);
    EXPECT_EQ(link.schedule.size(), 3u);
}
