#include "served_board.h"

#include "settings/settings_file.h"
#include "support/file_text.h"
#include "support/special_files.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kv;
using namespace kv::testing;

namespace {

class SettingsOperations : public ::testing::Test {
protected:
    QString path(const QString& name = "settings.ini") { return dir.filePath(name); }
    QTemporaryDir dir;
};

} // namespace

TEST_F(SettingsOperations, AFailedExportKeepsTheOldFileAndSaysWhy) {
    ServedBoard b;
    // A name so long that the temporary file beside it cannot be created.
    const QString longName = path(QString(248, 'k') + ".ini");
    writeText(longName, "[Config]\nMode=1\n");
    const Outcome outcome = b->writeSettingsFile(longName);
    EXPECT_EQ(outcome.code, OutcomeCode::FileRefused);
    EXPECT_EQ(readText(longName), "[Config]\nMode=1\n");
    ASSERT_EQ(b.reporter.announced.size(), 1);
    EXPECT_TRUE(b.reporter.announced[0].startsWith("Fehler: Einstellungen konnten nicht"));
    EXPECT_EQ(outcome.text(), b.reporter.announced[0]);

    // A folder that does not exist.
    b.reporter.clear();
    EXPECT_EQ(b->exportSettings(path("no/such/folder/x.ini")).code, OutcomeCode::FileRefused);
    EXPECT_EQ(b.reporter.announced.size(), 1) << b.reporter.announced.join("\n").toStdString();
}

TEST_F(SettingsOperations, ExportAndImportRoundTripThroughTheBoard) {
    ServedBoard b;
    b.board().expert().TempOffset = -7;
    b.board().schedule()[2].Switch = 0x3F;
    ASSERT_TRUE(b->exportSettings(path()).ok());
    const InfoBlock infoBefore = b.board().info();
    const ExpertBlock expertBefore = b.board().expert();
    const Schedule scheduleBefore = b.board().schedule();

    // Scramble the board, then import both halves back.
    b.board().expert().TempOffset = 3;
    b.board().info().FanLow = 1;
    b.board().schedule()[2].Switch = 0;
    b->reread({BoardRecord::Info, BoardRecord::Expert, BoardRecord::Schedule});
    ASSERT_TRUE(b->importConfig(path()).ok());
    ASSERT_TRUE(b->importSchedule(path()).ok());
    EXPECT_EQ(b.board().expert(), expertBefore);
    EXPECT_EQ(b.board().info().FanLow, infoBefore.FanLow);
    EXPECT_EQ(b.board().schedule(), scheduleBefore);
}

TEST_F(SettingsOperations, ConfigImportShowsItThenWritesConfigThenExpert) {
    ServedBoard b;
    const std::uint8_t fanLow = b->info().FanLow;
    writeText(path(), "[Config]\nMode=2\n");
    std::vector<std::pair<BoardRecord, ChangeCause>> changes;
    QObject::connect(b.service.get(), &BoardService::recordChanged,
                     [&](BoardRecord r, ChangeCause c) { changes.emplace_back(r, c); });
    ASSERT_TRUE(b->importConfig(path()).ok());
    EXPECT_EQ(changes, (std::vector<std::pair<BoardRecord, ChangeCause>>{
                           {BoardRecord::Info, ChangeCause::Import},
                           {BoardRecord::Expert, ChangeCause::Import}}));
    const auto& transfers = b.transfers();
    ASSERT_EQ(transfers.size(), 2u);
    EXPECT_EQ(transfers[0].bytes[0], 1);
    EXPECT_EQ(transfers[0].bytes[9], 255); // configuration only
    EXPECT_EQ(transfers[1].bytes[0], 2);
    EXPECT_EQ(b.board().info().Mode, 2);
    EXPECT_EQ(b.board().info().FanLow, fanLow);
}

// A command connects with the InfoBlock alone: keys the file lacks must
// keep what the board holds, never what an unread record holds.
TEST_F(SettingsOperations, ImportsIntoRecordsNeverReadAreReadFirst) {
    ServedBoard b(ConnectReads::InfoOnly);
    b.board().expert().FanOff = 41;
    b.board().schedule()[3].Timer = 777;
    const ExpertBlock expertBefore = b.board().expert();
    const Schedule scheduleBefore = b.board().schedule();
    writeText(path(), "[Config]\nMode=1\n");
    ASSERT_TRUE(b->importConfig(path()).ok());
    ASSERT_TRUE(b->importSchedule(path()).ok());
    EXPECT_EQ(b.board().expert(), expertBefore);
    EXPECT_EQ(b.board().schedule(), scheduleBefore);
    EXPECT_EQ(b.board().info().Mode, 1);
}

TEST_F(SettingsOperations, ScheduleImportWithoutLinesStillWritesEveryLine) {
    ServedBoard b;
    const Schedule before = b->schedule();
    ASSERT_FALSE(before.empty());
    writeText(path(), "[Config]\nMode=1\n");
    ASSERT_TRUE(b->importSchedule(path()).ok());
    EXPECT_EQ(b->schedule(), before);
    EXPECT_EQ(b.writes(ScheduleLine::ReportId).size(), before.size());
}

TEST_F(SettingsOperations, FilesThatCannotBeReadAreRefusedWithoutTouchingTheBoard) {
    const QString fifo = path("pipe.ini");
    ASSERT_TRUE(makeFifo(fifo));
    ServedBoard b;
    for (const QString& special : {fifo, EndlessDevice, path("missing.ini")}) {
        for (auto import : {&BoardService::importConfig, &BoardService::importSchedule}) {
            b.reporter.clear();
            b.board().clearTransfers();
            Outcome outcome;
            EXPECT_TRUE(withoutHanging(
                [&] {
                    outcome = ((*b).*import)(special, {});
                    return true;
                },
                fifo));
            EXPECT_EQ(outcome.code, OutcomeCode::FileRefused);
            EXPECT_EQ(b.reporter.announced, QStringList{outcome.text()});
            EXPECT_TRUE(b.transfers().empty());
        }
    }
    EXPECT_EQ(importRefusal(path("missing.ini")).text(),
              "Fehler: Datei " + path("missing.ini") + " nicht gefunden!");
    EXPECT_EQ(importRefusal(fifo).text(),
              QString::fromUtf8("Fehler: Datei %1 konnte nicht gelesen werden (keine reguläre "
                                "Datei)!")
                  .arg(fifo));
    writeText(path(), "[Config]\nMode=1\n");
    EXPECT_TRUE(importRefusal(path()).isEmpty());
}
