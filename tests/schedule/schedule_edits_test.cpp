// Rows read back from their texts, lines moved, channels pasted and swapped.
#include "device/records/info_block.h"
#include "schedule/schedule_edits.h"
#include "support/qt_printers.h"
#include "text/text_catalogue.h"

#include <gtest/gtest.h>

namespace kv::schedule {
namespace {

ScheduleLine lineAt(int hour, int alt, std::uint8_t switchBits) {
    ScheduleLine line;
    line.Hour = std::int8_t(hour);
    line.Minute = 15;
    line.Alt = std::int16_t(alt);
    line.Color16 = {std::int16_t(hour * 100), std::int16_t(hour * 10), std::int16_t(hour), 7};
    line.Timer = std::int16_t(hour * 3);
    line.Switch = switchBits;
    return line;
}

QStringList rowTexts(const ScheduleLine& line, int index, Place place) {
    QStringList texts;
    for (int column = 0; column < ColumnCount; ++column)
        texts << cellText(line, index, column, place);
    return texts;
}

class ScheduleEditsTest : public ::testing::Test {
protected:
    void SetUp() override { LoadTextCatalogue(); }
};

TEST_F(ScheduleEditsTest, ReadingARowBackKeepsWhatItsTextsCannotCarry) {
    // Alt 1 shows as 0.01°, which would read back as 2; levels and Alt pass
    // untouched when only the timer is edited.
    ScheduleLine line = lineAt(6, 1, 0x3F);
    line.Color16[0] = 1;
    const ScheduleLine before = line;
    QStringList texts = rowTexts(line, 4, Place::Altitude);
    ASSERT_EQ(texts[PlaceColumn], "0.01");
    texts[TimerColumn] = "250";
    const RowInput outcomes = applyRowTexts(line, 4, texts, Place::Altitude);
    EXPECT_EQ(outcomes[TimerColumn].outcome, CellInput::Accepted);
    ScheduleLine expected = before;
    expected.Timer = 250;
    EXPECT_EQ(line, expected);
    // A Switch byte of 0x3F stays 0x3F while the flags are left alone.
    EXPECT_EQ(line.Switch, 0x3F);
}

TEST_F(ScheduleEditsTest, EveryChangedCellOfARowIsReadAndReported) {
    ScheduleLine line = lineAt(10, 0, 0);
    QStringList texts = rowTexts(line, 0, Place::Time);
    texts[PlaceColumn] = "11:45";
    texts[3] = "abc";
    texts[4] = "150";
    texts[CloudsColumn] = "EIN";
    const RowInput outcomes = applyRowTexts(line, 0, texts, Place::Time);
    EXPECT_EQ(outcomes[PlaceColumn].outcome, CellInput::Accepted);
    EXPECT_EQ(outcomes[3].outcome, CellInput::Ignored);
    EXPECT_EQ(outcomes[4].outcome, CellInput::Refused);
    EXPECT_EQ(outcomes[CloudsColumn].outcome, CellInput::Accepted);
    EXPECT_EQ(line.Hour, 11);
    EXPECT_EQ(line.Minute, 45);
    EXPECT_EQ(line.Color16[1], 100);
    EXPECT_EQ(line.Color16[2], 10);
    EXPECT_EQ(line.Switch, ScheduleLine::Clouds);
}

TEST_F(ScheduleEditsTest, MovingALineTakesAllOfItAndShiftsTheOthers) {
    Schedule lines;
    for (int i = 0; i < 6; ++i)
        lines.push_back(lineAt(i, 100 * i, std::uint8_t(i)));
    const Schedule before = lines;
    moveLine(lines, 1, 4);
    EXPECT_EQ(lines, (Schedule{before[0], before[2], before[3], before[4], before[1], before[5]}));
    moveLine(lines, 4, 1);
    EXPECT_EQ(lines, before);
    moveLine(lines, 5, 0);
    EXPECT_EQ(lines[0], before[5]);
    EXPECT_EQ(lines[5], before[4]);
    // Outside the schedule nothing happens.
    const Schedule now = lines;
    moveLine(lines, 6, 0);
    moveLine(lines, -1, 2);
    moveLine(lines, 2, 2);
    EXPECT_EQ(lines, now);
}

TEST_F(ScheduleEditsTest, PasteCopiesColourNameAndEveryLevel) {
    InfoBlock info;
    info.ColorName = {1, 2, 3, 4};
    Schedule lines{lineAt(8, 0, 0), lineAt(12, 0, 0), lineAt(20, 0, 0)};
    ASSERT_TRUE(pasteChannel(info, lines, 0, 2));
    EXPECT_EQ(info.ColorName, (std::array<std::uint8_t, 4>{1, 2, 1, 4}));
    for (const ScheduleLine& line : lines) {
        EXPECT_EQ(line.Color16[2], line.Color16[0]);
        EXPECT_EQ(line.Color16[3], 7);
    }
    EXPECT_FALSE(pasteChannel(info, lines, -1, 2));
    EXPECT_FALSE(pasteChannel(info, lines, 0, 4));
    EXPECT_FALSE(pasteChannel(info, lines, -3, 0));
}

TEST_F(ScheduleEditsTest, SwapExchangesColourNamesAndLevels) {
    InfoBlock info;
    info.ColorName = {1, 2, 3, 4};
    Schedule lines{lineAt(8, 0, 0), lineAt(12, 0, 0)};
    const Schedule before = lines;
    ASSERT_TRUE(swapChannels(info, lines, 1, 3));
    EXPECT_EQ(info.ColorName, (std::array<std::uint8_t, 4>{1, 4, 3, 2}));
    for (std::size_t k = 0; k < lines.size(); ++k) {
        EXPECT_EQ(lines[k].Color16[1], before[k].Color16[3]);
        EXPECT_EQ(lines[k].Color16[3], before[k].Color16[1]);
        EXPECT_EQ(lines[k].Color16[0], before[k].Color16[0]);
    }
    EXPECT_FALSE(swapChannels(info, lines, 1, -1));
    EXPECT_EQ(info.ColorName, (std::array<std::uint8_t, 4>{1, 4, 3, 2}));
}

} // namespace
} // namespace kv::schedule
