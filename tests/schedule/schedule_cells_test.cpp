// A schedule line's cells as texts and typed texts read back into the line.
#include "schedule/schedule_cells.h"
#include "support/qt_printers.h"
#include "text/text_catalogue.h"

#include <QLocale>

#include <gtest/gtest.h>

namespace kv::schedule {
namespace {

class ScheduleCellsTest : public ::testing::Test {
protected:
    void SetUp() override {
        LoadTextCatalogue();
        line.Hour = 8;
        line.Minute = 0;
        line.Alt = 5000;
        line.Color16 = {4096, 2048, 819, 0};
        line.Timer = 1500;
        line.Switch = 0x1F | ScheduleLine::Clouds;
    }
    void TearDown() override { QLocale::setDefault(QLocale::c()); }

    CellInput type(int column, const QString& text, Place place = Place::Time) {
        return applyCellText(line, column, text, place);
    }

    ScheduleLine line;
};

TEST_F(ScheduleCellsTest, TextsOfEveryColumn) {
    EXPECT_EQ(cellText(line, 3, LineColumn, Place::Time), "3");
    EXPECT_EQ(cellText(line, 3, PlaceColumn, Place::Time), "08:00");
    EXPECT_EQ(cellText(line, 3, PlaceColumn, Place::Altitude), "30");
    EXPECT_EQ(cellText(line, 3, 2, Place::Time), "100");
    EXPECT_EQ(cellText(line, 3, 3, Place::Time), "50");
    EXPECT_EQ(cellText(line, 3, 4, Place::Time), "20");
    EXPECT_EQ(cellText(line, 3, 5, Place::Time), "0");
    EXPECT_EQ(cellText(line, 3, DisplayColumn, Place::Time), "AUS");
    EXPECT_EQ(cellText(line, 3, CloudsColumn, Place::Time), "EIN");
    EXPECT_EQ(cellText(line, 3, StormsColumn, Place::Time), "AUS");
    EXPECT_EQ(cellText(line, 3, TimerColumn, Place::Time), "1500");

    EXPECT_EQ(timeText(7, 5), "07:05");
    EXPECT_EQ(timeText(24, 0), "24:00");
    EXPECT_EQ(percentText(1), "0.02");
    EXPECT_EQ(altitudeText(-1045), "-6");
    EXPECT_EQ(altitudeText(1234), "7.09");
    // An Alt without an angle shows as 0; a Timer above 32767 as unsigned.
    EXPECT_EQ(altitudeText(12000), "0");
    EXPECT_EQ(timerText(std::int16_t(-1)), "65535");
}

TEST_F(ScheduleCellsTest, HeadersByModeFromTheCatalogue) {
    EXPECT_EQ(placeOfMode(2), Place::Altitude);
    EXPECT_EQ(placeOfMode(1), Place::Time);
    EXPECT_EQ(placeOfMode(0), Place::Time);
    EXPECT_EQ(headerText(PlaceColumn, Place::Time), "Zeit");
    EXPECT_EQ(headerText(PlaceColumn, Place::Altitude), QString::fromUtf8("Höhe"));
    EXPECT_EQ(headerText(LineColumn, Place::Time), "Zeile");
    EXPECT_EQ(headerText(TimerColumn, Place::Time), "JMP-Pin");
    EXPECT_EQ(headerText(StormsColumn, Place::Time), "Gewitter");
}

TEST_F(ScheduleCellsTest, TimeWithAndWithoutColon) {
    EXPECT_EQ(type(PlaceColumn, "7:5").outcome, CellInput::Accepted);
    EXPECT_EQ(line.Hour, 7);
    EXPECT_EQ(line.Minute, 5);

    line.Hour = 8;
    line.Minute = 0;
    EXPECT_EQ(type(PlaceColumn, "30").outcome, CellInput::Accepted);
    EXPECT_EQ(line.Hour, 8);
    EXPECT_EQ(line.Minute, 30);

    // A part that is no whole number keeps its field.
    EXPECT_EQ(type(PlaceColumn, "9:").outcome, CellInput::Accepted);
    EXPECT_EQ(line.Hour, 9);
    EXPECT_EQ(line.Minute, 30);
    EXPECT_EQ(type(PlaceColumn, "x:15").outcome, CellInput::Accepted);
    EXPECT_EQ(line.Hour, 9);
    EXPECT_EQ(line.Minute, 15);
    EXPECT_EQ(type(PlaceColumn, "24:00").outcome, CellInput::Accepted);
    EXPECT_EQ(line.Hour, 24);
    EXPECT_EQ(line.Minute, 0);

    EXPECT_EQ(type(PlaceColumn, "abc").outcome, CellInput::Ignored);
    EXPECT_EQ(type(PlaceColumn, ":").outcome, CellInput::Ignored);
    EXPECT_EQ(type(PlaceColumn, "").outcome, CellInput::Ignored);
    EXPECT_EQ(line.Hour, 24);
    EXPECT_EQ(line.Minute, 0);
}

TEST_F(ScheduleCellsTest, TimesOutsideTheDayAreRefused) {
    const ScheduleLine before = line;
    for (const char* text : {"25:00", "12:60", "-1:00", "8:-5", "24:30", "99"}) {
        const CellInput input = type(PlaceColumn, QString::fromLatin1(text));
        EXPECT_EQ(input.outcome, CellInput::Refused) << text;
        EXPECT_FALSE(input.reason.isEmpty()) << text;
        EXPECT_EQ(line, before) << text;
    }
    // At 24:00 only minute 0 exists: "30" alone is refused too.
    line.Hour = 24;
    line.Minute = 0;
    EXPECT_EQ(type(PlaceColumn, "30").outcome, CellInput::Refused);
    EXPECT_EQ(line.Minute, 0);
}

TEST_F(ScheduleCellsTest, AltitudePercentAndTimerWithTheirRanges) {
    EXPECT_EQ(type(PlaceColumn, "-6", Place::Altitude).outcome, CellInput::Accepted);
    EXPECT_EQ(line.Alt, -1045);
    EXPECT_EQ(type(PlaceColumn, "90.5", Place::Altitude).outcome, CellInput::Refused);
    EXPECT_EQ(type(PlaceColumn, "-91", Place::Altitude).outcome, CellInput::Refused);
    EXPECT_EQ(line.Alt, -1045);
    EXPECT_EQ(line.Hour, 8); // the time is not touched in Geo mode

    EXPECT_EQ(type(3, "12.5").outcome, CellInput::Accepted);
    EXPECT_EQ(line.Color16[1], 512);
    const CellInput tooMuch = type(3, "101");
    EXPECT_EQ(tooMuch.outcome, CellInput::Refused);
    EXPECT_EQ(tooMuch.reason, QString::fromUtf8("Ungültiger Wert: erlaubt sind 0 bis 100"));
    EXPECT_EQ(type(3, "-0.5").outcome, CellInput::Refused);
    EXPECT_EQ(type(3, "1,5").outcome, CellInput::Ignored); // not a number in this locale
    EXPECT_EQ(line.Color16[1], 512);

    EXPECT_EQ(type(TimerColumn, "65535").outcome, CellInput::Accepted);
    EXPECT_EQ(line.Timer, -1); // the 16 bits as they are
    EXPECT_EQ(type(TimerColumn, "65536").outcome, CellInput::Refused);
    EXPECT_EQ(type(TimerColumn, "-1").outcome, CellInput::Refused);
    EXPECT_EQ(type(TimerColumn, "1.5").outcome, CellInput::Ignored);
    EXPECT_EQ(line.Timer, -1);
}

TEST_F(ScheduleCellsTest, GermanLocaleReadsAndShowsDecimalCommas) {
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(type(2, "12,5").outcome, CellInput::Accepted);
    EXPECT_EQ(line.Color16[0], 512);
    EXPECT_EQ(cellText(line, 0, 2, Place::Time), "12,5");
    EXPECT_EQ(altitudeText(1234), "7,09");
}

TEST_F(ScheduleCellsTest, FlagsChangeOnlyTheirOwnBit) {
    EXPECT_EQ(type(CloudsColumn, "AUS").outcome, CellInput::Accepted);
    EXPECT_EQ(line.Switch, 0x1F);
    EXPECT_EQ(type(StormsColumn, "EIN").outcome, CellInput::Accepted);
    EXPECT_EQ(line.Switch, 0x1F | ScheduleLine::Storms);
    // Any text other than the catalogue's OFF sets the bit.
    EXPECT_EQ(type(DisplayColumn, "ja").outcome, CellInput::Accepted);
    EXPECT_EQ(line.Switch, 0x1F | ScheduleLine::Storms | ScheduleLine::Display);
    EXPECT_EQ(toggledFlagText("EIN"), "AUS");
    EXPECT_EQ(toggledFlagText("AUS"), "EIN");
    EXPECT_EQ(toggledFlagText("?"), "EIN");
    // The line column is not typed into.
    EXPECT_EQ(type(LineColumn, "5").outcome, CellInput::Ignored);
}

} // namespace
} // namespace kv::schedule
