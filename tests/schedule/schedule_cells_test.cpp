// A schedule line's cells as texts, typed texts read back into the line, and
// the edits of whole lines and channels.
#include "device/records/info_block.h"
#include "schedule/schedule_edits.h"
#include "support/qt_printers.h"
#include "text/text_catalogue.h"

#include <gtest/gtest.h>

namespace kv::schedule {
namespace {

class ScheduleCellsTest : public ::testing::Test {
protected:
    void SetUp() override {
        LoadTextCatalogue();
        line.Hour = 8;
        line.Alt = 5000;
        line.Color16 = {4096, 2048, 819, 0};
        line.Timer = 1500;
        line.Switch = 0x1F | ScheduleLine::Clouds;
    }

    CellInput::Outcome type(int column, const char* text, Place place = Place::Time) {
        return applyCellText(line, column, QString::fromUtf8(text), place).outcome;
    }

    ScheduleLine line;
};

TEST_F(ScheduleCellsTest, TextsOfEveryColumn) {
    const QStringList expected{"3", "08:00", "100", "50", "20", "0", "AUS", "EIN", "AUS", "1500"};
    for (int column = 0; column < ColumnCount; ++column)
        EXPECT_EQ(cellText(line, 3, column, Place::Time), expected[column]) << column;
    EXPECT_EQ(cellText(line, 3, PlaceColumn, Place::Altitude), "30");
    EXPECT_EQ(altitudeText(1234), "7.09");
    // An Alt without an angle shows as 0; a Timer above 32767 unsigned.
    EXPECT_EQ(altitudeText(12000), "0");
    EXPECT_EQ(timerText(std::int16_t(-1)), "65535");
}

TEST_F(ScheduleCellsTest, TimePartsThatAreNoNumberKeepTheirField) {
    EXPECT_EQ(type(PlaceColumn, "9:"), CellInput::Accepted);
    EXPECT_EQ(type(PlaceColumn, "x:15"), CellInput::Accepted);
    EXPECT_EQ(line.Hour, 9);
    EXPECT_EQ(line.Minute, 15);
    EXPECT_EQ(type(PlaceColumn, "24:00"), CellInput::Accepted);
    for (const char* text : {"abc", ":", ""})
        EXPECT_EQ(type(PlaceColumn, text), CellInput::Ignored) << text;
    EXPECT_EQ(line.Hour, 24);
    EXPECT_EQ(line.Minute, 0);
}

TEST_F(ScheduleCellsTest, ValuesOutsideTheirFieldsAreRefusedWithAReason) {
    const ScheduleLine before = line;
    for (const char* text : {"25:00", "12:60", "-1:00", "8:-5", "24:30", "99"}) {
        const CellInput input =
            applyCellText(line, PlaceColumn, QString::fromLatin1(text), Place::Time);
        EXPECT_EQ(input.outcome, CellInput::Refused) << text;
        EXPECT_FALSE(input.reason.isEmpty()) << text;
    }
    EXPECT_EQ(type(PlaceColumn, "90.5", Place::Altitude), CellInput::Refused);
    EXPECT_EQ(type(3, "-0.5"), CellInput::Refused);
    EXPECT_EQ(type(TimerColumn, "65536"), CellInput::Refused);
    EXPECT_EQ(type(TimerColumn, "-1"), CellInput::Refused);
    EXPECT_EQ(line, before);
    EXPECT_EQ(applyCellText(line, 3, "101", Place::Time).reason,
              QString::fromUtf8("Ungültiger Wert: erlaubt sind 0 bis 100"));
    // At 24:00 only minute 0 exists.
    line.Hour = 24;
    EXPECT_EQ(type(PlaceColumn, "30"), CellInput::Refused);
}

TEST_F(ScheduleCellsTest, AltitudePercentTimerAndFlagsAsStored) {
    EXPECT_EQ(type(PlaceColumn, "-6", Place::Altitude), CellInput::Accepted);
    EXPECT_EQ(line.Alt, -1045);
    EXPECT_EQ(line.Hour, 8); // the time is not touched in Geo mode
    EXPECT_EQ(type(3, "12.5"), CellInput::Accepted);
    EXPECT_EQ(line.Color16[1], 512);
    EXPECT_EQ(type(TimerColumn, "65535"), CellInput::Accepted);
    EXPECT_EQ(line.Timer, -1); // the 16 bits as they are
    EXPECT_EQ(type(TimerColumn, "1.5"), CellInput::Ignored);

    // Flags: the catalogue's OFF clears the bit, any other text sets it.
    EXPECT_EQ(type(CloudsColumn, "AUS"), CellInput::Accepted);
    EXPECT_EQ(type(DisplayColumn, "ja"), CellInput::Accepted);
    EXPECT_EQ(line.Switch, 0x1F | ScheduleLine::Display);
    EXPECT_EQ(toggledFlagText("EIN"), "AUS");
    EXPECT_EQ(toggledFlagText("?"), "EIN");
    EXPECT_EQ(type(LineColumn, "5"), CellInput::Ignored);
}

TEST_F(ScheduleCellsTest, ReadingARowBackKeepsWhatItsTextsCannotCarry) {
    // Alt 1 shows as 0.01°, which would read back as 2: only the edited
    // timer changes.
    line.Alt = 1;
    line.Color16[0] = 1;
    line.Switch = 0x3F;
    QStringList texts;
    for (int column = 0; column < ColumnCount; ++column)
        texts << cellText(line, 4, column, Place::Altitude);
    texts[TimerColumn] = "250";
    ScheduleLine expected = line;
    expected.Timer = 250;
    const RowInput outcomes = applyRowTexts(line, 4, texts, Place::Altitude);
    EXPECT_EQ(outcomes[TimerColumn].outcome, CellInput::Accepted);
    EXPECT_EQ(line, expected);
}

TEST_F(ScheduleCellsTest, LinesMoveWholeAndChannelsOnlyBetweenChannels) {
    Schedule lines(6, line);
    for (int i = 0; i < 6; ++i) {
        lines[std::size_t(i)].Alt = std::int16_t(100 * i);
        lines[std::size_t(i)].Switch = std::uint8_t(i);
    }
    const Schedule before = lines;
    moveLine(lines, 1, 4);
    EXPECT_EQ(lines, (Schedule{before[0], before[2], before[3], before[4], before[1], before[5]}));
    moveLine(lines, 4, 1);
    moveLine(lines, 6, 0); // outside: nothing
    EXPECT_EQ(lines, before);

    InfoBlock info;
    info.ColorName = {1, 2, 3, 4};
    EXPECT_FALSE(pasteChannel(info, lines, -1, 2));
    EXPECT_FALSE(swapChannels(info, lines, 1, 4));
    ASSERT_TRUE(swapChannels(info, lines, 1, 3));
    EXPECT_EQ(info.ColorName, (std::array<std::uint8_t, 4>{1, 4, 3, 2}));
    EXPECT_EQ(lines[0].Color16, (std::array<std::int16_t, 4>{4096, 0, 819, 2048}));
}

} // namespace
} // namespace kv::schedule
