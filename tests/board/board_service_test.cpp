#include "served_board.h"

#include "geo/board_geo.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

using namespace kv;
using namespace kv::testing;

TEST(BoardService, ConnectingReadsWhatTheFrontAsked) {
    ServedBoard command(ConnectReads::InfoOnly, false);
    command->scanNow();
    ASSERT_TRUE(command->isConnected());
    EXPECT_EQ(command.transfers().size(), 1u) << "the InfoBlock alone";
    EXPECT_TRUE(command->readAt(BoardRecord::Info).isValid());
    EXPECT_FALSE(command->readAt(BoardRecord::Schedule).isValid());
    EXPECT_FALSE(command->readAt(BoardRecord::Expert).isValid());

    ServedBoard window(ConnectReads::Everything, false);
    window->scanNow();
    const std::size_t lines = window.board().schedule().size();
    // InfoBlock; the schedule (InfoBlock again, then every line); expert and chart.
    EXPECT_EQ(window.transfers().size(), 1 + 1 + lines + 2);
    for (BoardRecord record :
         {BoardRecord::Info, BoardRecord::Expert, BoardRecord::Schedule, BoardRecord::Chart})
        EXPECT_TRUE(window->readAt(record).isValid()) << int(record);
    EXPECT_EQ(window->schedule(), window.board().schedule());
}

TEST(BoardService, WithoutABoardEveryOperationIsRefusedAndChangesNothing) {
    ServedBoard b(ConnectReads::Everything, false);
    b.sim.unplugBoard();
    b->scanNow();
    ASSERT_FALSE(b->isConnected());
    const InfoBlock before = b->info();
    for (const Outcome& outcome :
         {b->setMode(BoardMode::Geo), b->setLevel(0, 100), b->saveSettings(),
          b->setClock(QDateTime(QDate(2026, 1, 1), QTime(12, 0))), b->selectLine(0),
          b->reread({BoardRecord::Info})}) {
        EXPECT_EQ(outcome.code, OutcomeCode::NoBoard);
        EXPECT_EQ(outcome.text(), "Keine KestVELQOR-Platine gefunden");
    }
    EXPECT_EQ(b->info(), before);
    EXPECT_TRUE(b.transfers().empty());

    // A chosen board is named in the refusal.
    BoardServiceOptions chosen;
    chosen.choice = DeviceChoice(QStringLiteral("SIM-9"));
    ServedBoard other(ConnectReads::Everything, true, chosen);
    EXPECT_EQ(other->problem().text(), QString::fromUtf8("Keine KestVELQOR-Platine mit der "
                                                         "Seriennummer oder dem HID-Pfad "
                                                         "\"SIM-9\" gefunden"));
}

TEST(BoardService, LevelsAreCheckedByTheirFieldAndTheMode) {
    ServedBoard b;
    b.board().info().setMode(BoardMode::Auto);
    b->reread({BoardRecord::Info});
    b.board().clearTransfers();

    const Outcome high = b->setLevel(1, 4097);
    EXPECT_EQ(high.code, OutcomeCode::OutOfRange);
    // Told in percent, as people set levels.
    EXPECT_EQ(high.text(), QString::fromUtf8("Ungültiger Wert: erlaubt sind 0 bis 100"));
    EXPECT_EQ(b->setLevel(7, 10).code, OutcomeCode::OutOfRange);
    const Outcome manualOnly = b->setLevel(1, 2048, LevelRule::ManualOnly);
    EXPECT_EQ(manualOnly.code, OutcomeCode::NotInThisMode);
    EXPECT_EQ(b.writeCount(), 0u);

    // Any mode: the levels are written with the levels' mask alone.
    ASSERT_TRUE(b->setLevel(1, 2048).ok());
    const auto written = levelWritesOf(b.board());
    ASSERT_EQ(written.size(), 1u);
    EXPECT_EQ(levelOf(written[0], 1), 2048);
    EXPECT_EQ(infoByte(written[0], InfoBlock::MinuteOffset), InfoBlock::UnsetByte);
    EXPECT_EQ(b->info().Level[1], 2048);
}

TEST(BoardService, TheClockTakesYearsTheBoardReadsAlike) {
    ServedBoard b;
    // Beyond 2127 the year byte would read as 1872 and later where it is
    // taken signed: refused, nothing sent.
    const Outcome late = b->setClock(QDateTime(QDate(2200, 6, 21), QTime(12, 0)));
    EXPECT_EQ(late.code, OutcomeCode::OutOfRange);
    EXPECT_EQ(late.text(), QString::fromUtf8("Ungültiges Jahr: erlaubt sind 2000 bis 2127"));
    EXPECT_EQ(b->setClockDate(QDate(1999, 12, 31)).code, OutcomeCode::OutOfRange);
    EXPECT_TRUE(b.transfers().empty());

    ASSERT_TRUE(b->setClockDate(QDate(2127, 12, 31)).ok());
    EXPECT_EQ(b->info().calendarYear(), 2127);
    EXPECT_EQ(b->info().Year, 127);
    EXPECT_EQ(boardMoment(b->info()).year, 2127);

    // One accessor reads the byte for the clock and for the Geo figures.
    InfoBlock read;
    read.Year = std::int8_t(200);
    EXPECT_EQ(read.calendarYear(), 2200);
    EXPECT_EQ(boardMoment(read).year, read.calendarYear());
}

TEST(BoardService, NowSetsRealTimeThenTheClock) {
    ServedBoard b;
    b.board().info().TimeLapse = 5;
    b->reread({BoardRecord::Info});
    b.board().clearTransfers();
    ASSERT_TRUE(b->setClock(QDateTime(QDate(2026, 6, 21), QTime(8, 30, 15))).ok());
    const auto reports = b.writes(InfoBlock::ReportId);
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_EQ(infoByte(reports[0], InfoBlock::MinuteOffset), InfoBlock::UnsetByte);
    EXPECT_EQ(infoByte(reports[0], 33), 1) << "time lapse back to real time";
    EXPECT_EQ(infoByte(reports[1], InfoBlock::MinuteOffset), 30);
    EXPECT_EQ(infoByte(reports[1], 12), 26) << "the year byte";
}

TEST(BoardService, TheConfigurationTakesOnlyItsOwnFields) {
    ServedBoard b;
    const InfoBlock before = b->info();
    InfoBlock edited = before;
    edited.FanLow = 77;
    edited.ColorName[2] = 9;
    edited.Level = {1, 2, 3, 4}; // live fields the board reports
    edited.Hour = 3;
    ASSERT_TRUE(b->setConfiguration(edited).ok());
    EXPECT_EQ(b->info().FanLow, 77);
    EXPECT_EQ(b->info().ColorName[2], 9);
    EXPECT_EQ(b->info().Level, before.Level);
    EXPECT_EQ(b->info().Hour, before.Hour);
    const auto written = configWritesOf(b.board());
    ASSERT_EQ(written.size(), 1u);
    EXPECT_EQ(b.board().info().FanLow, 77);
}

TEST(BoardService, AWriteTheBoardDoesNotTakeKeepsTheEdit) {
    ServedBoard b;
    ExpertBlock expert = b->expert();
    expert.FanOff = 33;
    b.board().failNext(3);
    const Outcome outcome = b->setExpert(expert);
    EXPECT_EQ(outcome.code, OutcomeCode::NotTaken);
    EXPECT_EQ(outcome.text(), QString::fromUtf8("Die Platine hat die Änderung nicht übernommen"));
    // The records keep the edit until the next read, as the window shows it.
    EXPECT_EQ(b->expert().FanOff, 33);
    EXPECT_NE(b.board().expert().FanOff, 33);
}

TEST(BoardService, FrontsLearnWhatChangedWhyAndWhoAsked) {
    ServedBoard b;
    QSignalSpy changes(b.service.get(), &BoardService::recordChanged);
    b->pollNow();
    ASSERT_GE(changes.count(), 1);
    EXPECT_EQ(changes[0][0].value<BoardRecord>(), BoardRecord::Info);
    EXPECT_EQ(changes[0][1].value<ChangeCause>(), ChangeCause::Read);

    changes.clear();
    b.reports.clear();
    ASSERT_TRUE(b->setMode(BoardMode::Geo, Origin{Front::Web, QStringLiteral("192.0.2.7")}).ok());
    ASSERT_EQ(changes.count(), 1);
    EXPECT_EQ(changes[0][1].value<ChangeCause>(), ChangeCause::Write);
    ASSERT_EQ(b.reports.size(), 1u);
    EXPECT_EQ(b.reports[0].operation, Operation::SetMode);
    EXPECT_EQ(b.reports[0].detail, "geo");
    EXPECT_EQ(b.reports[0].origin.front, Front::Web);
    EXPECT_EQ(b.reports[0].origin.client, "192.0.2.7");

    // Without an origin the service's own front asked; refusals are told too.
    b.reports.clear();
    EXPECT_FALSE(b->setLevel(0, -1).ok());
    ASSERT_EQ(b.reports.size(), 1u);
    EXPECT_EQ(b.reports[0].origin.front, Front::Window);
    EXPECT_EQ(b.reports[0].outcome.code, OutcomeCode::OutOfRange);
}

TEST(BoardService, ReadsAreStampedAndForgottenWithTheBoard) {
    ServedBoard b;
    b.board().failNext(3);
    EXPECT_EQ(b->reread({BoardRecord::Info}).code, OutcomeCode::NotAnswered);
    const QDateTime stamped = b->readAt(BoardRecord::Info);
    ASSERT_TRUE(stamped.isValid()) << "the connection's read stays";
    b.sim.unplugBoard();
    b->scanNow();
    EXPECT_FALSE(b->isConnected());
    EXPECT_FALSE(b->readAt(BoardRecord::Info).isValid());
    EXPECT_FALSE(b->readAt(BoardRecord::Schedule).isValid());
}

TEST(BoardService, CommandsReachTheBoard) {
    ServedBoard b;
    ASSERT_TRUE(b->startCloud().ok());
    ASSERT_TRUE(b->startStorm().ok());
    ASSERT_TRUE(b->saveSettings().ok());
    const auto commands = b.writes(ScheduleLine::ReportId);
    ASSERT_EQ(commands.size(), 3u);
    EXPECT_EQ(commands[0].bytes[1], 253);
    EXPECT_EQ(commands[1].bytes[1], 252);
    EXPECT_EQ(commands[2].bytes[1], 254);
}

TEST(BoardService, CountsPollsFailedTransfersAndClockCorrections) {
    ServedBoard b;
    b->pollNow();
    b->pollNow();
    b.board().failNext(2);
    b->pollNow();
    const BoardCounters counted = b->counters();
    EXPECT_EQ(counted.polls, 3u);
    EXPECT_EQ(counted.transferFailures, 2u);
    EXPECT_EQ(counted.clockCorrections, 0u);
}
