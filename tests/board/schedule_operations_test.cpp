#include "served_board.h"

#include <gtest/gtest.h>

using namespace kv;
using namespace kv::testing;

namespace {

LineFields sevenOhFive() {
    LineFields fields;
    fields.time = LineTime{7, 5};
    fields.percent[0] = 50;
    fields.clouds = true;
    return fields;
}

} // namespace

TEST(ScheduleOperations, ALineChangesByItsFieldsAndTheScheduleIsWrittenWhole) {
    ServedBoard b;
    const Schedule before = b.board().schedule();
    b.board().schedule()[2].Switch = 0x03; // bits the program passes through
    b->reread({BoardRecord::Schedule});
    b.board().clearTransfers();

    ASSERT_TRUE(b->changeScheduleLine(2, sevenOhFive()).ok());
    const ScheduleLine& line = b.board().schedule()[2];
    EXPECT_EQ(line.Hour, 7);
    EXPECT_EQ(line.Minute, 5);
    EXPECT_EQ(line.Color16[0], 2048);
    EXPECT_EQ(line.Switch, 0x03 | ScheduleLine::Clouds);
    EXPECT_EQ(b.writes(ScheduleLine::ReportId).size(), before.size());
    for (std::size_t i = 0; i < before.size(); ++i) {
        if (i != 2) {
            EXPECT_EQ(b.board().schedule()[i], before[i]) << i;
        }
    }
    // The service holds what it wrote: a front shows it without reading.
    EXPECT_EQ(b->schedule(), b.board().schedule());
}

TEST(ScheduleOperations, FieldsOutsideTheirRangeSendNothing) {
    ServedBoard b;
    struct Case {
        LineFields fields;
        const char* field;
        QString text;
    };
    std::vector<Case> cases;
    LineFields f;
    f.time = LineTime{25, 0};
    cases.push_back({f, "time", QString::fromUtf8("Ungültige Stunde: erlaubt sind 0 bis 24")});
    f = {};
    f.time = LineTime{24, 1};
    cases.push_back({f, "time",
                     QString::fromUtf8("Ungültige Uhrzeit: 24:00 ist das Ende des Tages, 24 Uhr "
                                       "nur mit Minute 00")});
    f = {};
    f.percent[2] = 100.5;
    cases.push_back({f, "G", QString::fromUtf8("Ungültiger Wert: erlaubt sind 0 bis 100")});
    f = {};
    f.altitude = -90.5;
    cases.push_back({f, "alt", QString::fromUtf8("Ungültiger Wert: erlaubt sind -90 bis 90")});
    f = {};
    f.timer = 65536;
    cases.push_back({f, "timer", QString::fromUtf8("Ungültiger Wert: erlaubt sind 0 bis 65535")});
    for (const Case& c : cases) {
        QString field;
        const Outcome checked = checkLineFields(c.fields, &field);
        EXPECT_EQ(checked.code, OutcomeCode::OutOfRange);
        EXPECT_EQ(field, c.field);
        EXPECT_EQ(checked.text(), c.text);
        EXPECT_EQ(b->changeScheduleLine(1, c.fields).text(), c.text);
    }
    EXPECT_EQ(b.writeCount(), 0u);
}

TEST(ScheduleOperations, LinesTheBoardHasNotOrTakesForCommandsAreRefused) {
    ServedBoard b;
    const int count = int(b->schedule().size());
    const Outcome beyond = b->changeScheduleLine(300, sevenOhFive());
    EXPECT_EQ(beyond.code, OutcomeCode::NoSuchLine);
    EXPECT_EQ(beyond.text(), QString::fromUtf8("Die Platine hat %1 Zeilen (0 bis %2), eine Zeile "
                                               "300 gibt es nicht")
                                 .arg(count)
                                 .arg(count - 1));
    EXPECT_EQ(b->selectLine(-1).code, OutcomeCode::NoSuchLine);
    EXPECT_EQ(b.writeCount(), 0u);

    // A board with 255 lines: 252 and above read as commands.
    b.board().schedule().resize(255);
    b->reread({BoardRecord::Schedule});
    b.board().clearTransfers();
    EXPECT_EQ(b->changeScheduleLine(252, sevenOhFive()).code, OutcomeCode::NotWritable);
    EXPECT_EQ(b.writeCount(), 0u);
    EXPECT_TRUE(b->changeScheduleLine(251, sevenOhFive()).ok());
}

TEST(ScheduleOperations, AFrontThatReadOnlyTheInfoBlockChangesTheBoardsSchedule) {
    ServedBoard b(ConnectReads::InfoOnly);
    b.board().schedule()[1].Timer = 1234;
    ASSERT_TRUE(b->changeScheduleLine(2, sevenOhFive()).ok());
    // The schedule was read before it was written: line 1 kept what the
    // board held.
    EXPECT_EQ(b.board().schedule()[1].Timer, 1234);
    EXPECT_EQ(b.board().schedule()[2].Hour, 7);
}

TEST(ScheduleOperations, AMovedLineIsWrittenOncePerLineBetween) {
    ServedBoard b;
    const Schedule before = b.board().schedule();
    ASSERT_GE(before.size(), 5u);
    ASSERT_TRUE(b->moveLine(1, 4).ok());
    EXPECT_EQ(b.board().schedule()[4], before[1]);
    EXPECT_EQ(b.board().schedule()[1], before[2]);
    EXPECT_EQ(b.writes(ScheduleLine::ReportId).size(), 4 * before.size());
    EXPECT_EQ(b->moveLine(1, 99).code, OutcomeCode::NoSuchLine);
}

TEST(ScheduleOperations, TheBoardGoesToAChosenLine) {
    ServedBoard b;
    ASSERT_TRUE(b->selectLine(3).ok());
    const auto written = b.writes(InfoBlock::ReportId);
    ASSERT_EQ(written.size(), 1u);
    EXPECT_EQ(infoByte(written[0], InfoBlock::CurrentLineOffset), 3);
    EXPECT_EQ(infoByte(written[0], InfoBlock::MinuteOffset), InfoBlock::UnsetByte);
    EXPECT_FALSE(carriesLevels(written[0]));
}
