// The simulated board's answers to report reads and what it takes from
// report writes.
#include "sim/sim_test_support.h"

#include <gtest/gtest.h>

namespace kv::sim {
namespace {

using namespace kv::sim::testing;

class BoardReports : public ::testing::Test {
protected:
    void SetUp() override {
        board.setClockSource(clock.source());
        board.info().Mode = 0; // Manual: levels stay as written
    }
    FakeClock clock;
    SimulatedBoard board;
};

TEST_F(BoardReports, FreshBoardIsAPlausibleFirmware12Board) {
    const auto info = readInfo(board);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->FirmwareVersion, 12);
    EXPECT_EQ(info->LineCount, 8);
    EXPECT_NE(info->WaterTemp, NoValue);
    EXPECT_NE(info->InputVoltage, NoValue);
    EXPECT_EQ(info->TimeLapse, 1);
    for (auto sample : board.chart().Sample)
        EXPECT_NE(sample, NoValue);
    EXPECT_EQ(board.schedule().size(), 8u);
}

TEST_F(BoardReports, ReadsAnswerWithTheRecords) {
    board.expert().Lat = -339;
    board.chart().Sample[0] = 211;

    std::array<std::uint8_t, 60> expert{2};
    ASSERT_TRUE(board.getFeature(expert.data(), expert.size()));
    EXPECT_EQ(expert[0], 2);
    EXPECT_EQ(ExpertBlock::decode(expert.data() + 1), board.expert());

    std::array<std::uint8_t, 81> chart{4};
    ASSERT_TRUE(board.getFeature(chart.data(), chart.size()));
    EXPECT_EQ(ChartBlock::decode(chart.data() + 1).Sample[0], 211);
}

TEST_F(BoardReports, WrongLengthOrUnknownReportFails) {
    std::array<std::uint8_t, 81> buffer{};
    buffer[0] = 1;
    EXPECT_FALSE(board.getFeature(buffer.data(), 46));
    EXPECT_FALSE(board.getFeature(buffer.data(), 48));
    buffer[0] = 5;
    EXPECT_FALSE(board.getFeature(buffer.data(), 47));
    buffer[0] = 4;
    EXPECT_FALSE(board.setFeature(buffer.data(), 81)) << "the chart is read only";
    buffer[0] = 3;
    EXPECT_FALSE(board.setFeature(buffer.data(), 16));
}

TEST_F(BoardReports, ConfigWriteAppliesConfigurationButNotClockLineOrLevels) {
    const InfoBlock before = *readInfo(board);
    InfoBlock written = before;
    written.FanLow = 42;
    written.TimeLapse = 1;
    written.ColorName = {5, 6, 7, 8};
    written.CloudP = 77;
    written.StormD = 1234;
    written.Reserved22 = -5;
    written.Hour = 3; // all masked
    written.CurrentLine = 4;
    written.Level = {100, 200, 300, 400};
    ASSERT_TRUE(writeInfo(board, written, false, false, false));

    const InfoBlock after = *readInfo(board);
    EXPECT_EQ(after.FanLow, 42);
    EXPECT_EQ(after.ColorName, written.ColorName);
    EXPECT_EQ(after.CloudP, 77);
    EXPECT_EQ(after.StormD, 1234);
    EXPECT_EQ(after.Reserved22, -5);
    EXPECT_EQ(after.Hour, before.Hour);
    EXPECT_EQ(after.CurrentLine, before.CurrentLine);
    EXPECT_EQ(after.Level, before.Level);
}

TEST_F(BoardReports, EachMaskReleasesItsOwnFields) {
    InfoBlock written = *readInfo(board);
    written.Level = {100, 200, 300, 400};
    ASSERT_TRUE(writeInfo(board, written, false, false, true));
    EXPECT_EQ(readInfo(board)->Level, written.Level);

    written.CurrentLine = 5;
    ASSERT_TRUE(writeInfo(board, written, false, true, false));
    EXPECT_EQ(readInfo(board)->CurrentLine, 5);
    EXPECT_EQ(readInfo(board)->Level, written.Level);

    written.Hour = 7;
    written.Minute = 30;
    written.Second = 15;
    written.Hundredths = 0;
    ASSERT_TRUE(writeInfo(board, written, true, false, false));
    const auto info = *readInfo(board);
    EXPECT_EQ(info.Hour, 7);
    EXPECT_EQ(info.Minute, 30);
    EXPECT_EQ(info.Second, 15);
}

TEST_F(BoardReports, LineSelectionOutsideTheScheduleIsIgnored) {
    InfoBlock written = *readInfo(board);
    written.CurrentLine = 2;
    ASSERT_TRUE(writeInfo(board, written, false, true, false));
    written.CurrentLine = 8; // the board has lines 0 to 7
    ASSERT_TRUE(writeInfo(board, written, false, true, false));
    EXPECT_EQ(readInfo(board)->CurrentLine, 2);
}

TEST_F(BoardReports, FieldsTheBoardOwnsAreNotTakenFromWrites) {
    board.info().ErrorFlags = boarderror::RAMFull;
    const InfoBlock before = *readInfo(board);
    InfoBlock written = before;
    written.FirmwareVersion = 99;
    written.LineCount = 3;
    written.ActivityFlags = 0xFF;
    written.ErrorFlags = 0xFF;
    written.StateFlags = 0xFF;
    written.WaterTemp = 999;
    written.InputVoltage = 1;
    ASSERT_TRUE(writeInfo(board, written, true, true, true));

    const InfoBlock after = *readInfo(board);
    EXPECT_EQ(after.FirmwareVersion, 12);
    EXPECT_EQ(after.LineCount, 8);
    EXPECT_EQ(after.ActivityFlags, before.ActivityFlags);
    EXPECT_EQ(after.ErrorFlags, boarderror::RAMFull);
    EXPECT_EQ(after.StateFlags, before.StateFlags);
    EXPECT_EQ(after.WaterTemp, before.WaterTemp);
    EXPECT_EQ(after.InputVoltage, before.InputVoltage);
}

TEST_F(BoardReports, ExpertWriteReplacesTheWholeRecord) {
    std::array<std::uint8_t, 60> report{2};
    for (std::size_t i = 1; i < report.size(); ++i)
        report[i] = std::uint8_t(i * 7);
    report[3] = board.expert().ChartMode; // keep the chart's source
    ASSERT_TRUE(board.setFeature(report.data(), report.size()));
    EXPECT_EQ(board.expert(), ExpertBlock::decode(report.data() + 1));
}

TEST_F(BoardReports, ChangingTheChartSourceChangesTheHistory) {
    const ChartBlock temperatures = board.chart();
    ExpertBlock expert = board.expert();
    expert.ChartMode = 1; // input voltage
    std::array<std::uint8_t, 60> report{2};
    const auto bytes = expert.encode();
    std::copy(bytes.begin(), bytes.end(), report.begin() + 1);
    ASSERT_TRUE(board.setFeature(report.data(), report.size()));
    EXPECT_NE(board.chart(), temperatures);
    EXPECT_GT(board.chart().Sample[0], 1000) << "volts in 0.01 V";
}

TEST_F(BoardReports, LineCountFollowsTheSchedule) {
    board.schedule().clear();
    EXPECT_EQ(readInfo(board)->LineCount, 0);
    board.schedule().resize(300);
    EXPECT_EQ(readInfo(board)->LineCount, 255);
}

} // namespace
} // namespace kv::sim
