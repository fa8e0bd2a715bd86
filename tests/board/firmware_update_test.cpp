#include "served_board.h"

#include "../firmware/firmware_test_support.h"
#include "settings/settings_file.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <functional>
#include <optional>

using namespace kv;
using namespace kv::testing;

namespace {

// The service with the update's dialogs answered by the test and no real
// waiting between the attempts of a block.
struct UpdateWorld : ServedBoard {
    QTemporaryDir dir;
    QString chosenFile; // empty: the dialog is cancelled
    bool answerYes = true;
    std::function<void()> whenAsked; // runs while the question is on screen
    std::optional<Outcome> ended;    // how the last update ended

    UpdateWorld() {
        FlashInteraction interaction;
        interaction.confirmUpdate = [this] {
            if (whenAsked)
                whenAsked();
            return answerYes;
        };
        interaction.chooseFirmwareFile = [this](const FirmwareDialogSettings&) {
            return chosenFile;
        };
        interaction.retryPauseMs = 0;
        service->setFirmwareInteraction(interaction);
        service->setBackupFolder(dir.filePath("backups"));
        QObject::connect(service.get(), &BoardService::firmwareUpdateEnded,
                         [this](const Outcome& outcome) { ended = outcome; });
    }
    QString firmwareFile(std::int32_t start, std::int32_t end) {
        const QString path = dir.filePath(QStringLiteral("fw-%1-%2.chx").arg(start).arg(end));
        writeFile(path, firmwareBytes(start, end, patternImage(start, end)));
        return path;
    }
    bool waitForTheEnd() {
        return QTest::qWaitFor([this] { return ended.has_value(); }, 10000);
    }
};

} // namespace

TEST(FirmwareUpdate, AnsweringNoWritesNoBackupAndSendsNothing) {
    UpdateWorld w;
    const qsizetype loggedBefore = w.reporter.logged.size();
    int questions = 0;
    w.whenAsked = [&] {
        ++questions;
    };
    w.answerYes = false;
    const Outcome outcome = w->updateFirmware();
    EXPECT_EQ(outcome.code, OutcomeCode::Cancelled);
    EXPECT_EQ(questions, 1);
    EXPECT_TRUE(w.transfers().empty()); // not even a read
    EXPECT_FALSE(QFileInfo::exists(w.dir.filePath("backups")));
    EXPECT_TRUE(w->lastBackupPath().isEmpty());
    EXPECT_EQ(w.reporter.logged.size(), loggedBefore);
}

TEST(FirmwareUpdate, AnsweringYesBacksUpTheSettingsRightBeforeTheBoardLeaves) {
    UpdateWorld w;
    w.board().info().FanHigh = 66;
    // While the question is open nothing has been read or written.
    std::size_t transfersWhileAsked = 99;
    bool backupWhileAsked = true;
    w.whenAsked = [&] {
        transfersWhileAsked = w.transfers().size();
        backupWhileAsked = QFileInfo::exists(w.dir.filePath("backups"));
    };
    EXPECT_TRUE(w->updateFirmware().ok());
    EXPECT_EQ(transfersWhileAsked, 0u);
    EXPECT_FALSE(backupWhileAsked);

    const QString backup = w->lastBackupPath();
    ASSERT_FALSE(backup.isEmpty());
    EXPECT_TRUE(backup.startsWith(w.dir.filePath("backups")));
    EXPECT_TRUE(w.reporter.logged.last().endsWith(QDir::toNativeSeparators(backup)));
    // The backup holds the board's settings and can be imported back.
    InfoBlock info;
    ExpertBlock expert;
    ASSERT_TRUE(readConfigFile(backup, info, expert));
    EXPECT_EQ(info.FanHigh, 66);

    // The board was read for the backup, then got command 254 as the one
    // write, last.
    const auto& transfers = w.transfers();
    ASSERT_GE(transfers.size(), 2u);
    for (std::size_t i = 0; i + 1 < transfers.size(); ++i)
        EXPECT_FALSE(transfers[i].write) << i;
    EXPECT_TRUE(transfers.back().write);
    EXPECT_EQ(transfers.back().bytes[0], 3);
    EXPECT_EQ(transfers.back().bytes[1], 254);

    // A later "No" does not report the earlier backup as its own.
    w.answerYes = false;
    w.whenAsked = nullptr;
    w->updateFirmware();
    EXPECT_TRUE(w->lastBackupPath().isEmpty());
}

TEST(FirmwareUpdate, AFailedBackupIsLoggedAndTheAgreedUpdateGoesOn) {
    UpdateWorld w;
    const QString blocker = w.dir.filePath("blocker");
    writeFile(blocker, "x");
    w->setBackupFolder(blocker + "/backups"); // below a file: cannot exist
    w->updateFirmware();
    EXPECT_TRUE(w->lastBackupPath().isEmpty());
    EXPECT_TRUE(
        w.reporter.logged.join("\n").contains("Sicherung der Einstellungen fehlgeschlagen"));
    EXPECT_EQ(w.transfers().back().bytes[1], 254);
}

TEST(FirmwareUpdate, TheWholeUpdateBringsTheBoardBackWithTheNewFirmware) {
    UpdateWorld w;
    w.board().info().FirmwareVersion = 11;
    w.sim.unplugBoard();
    w->scanNow();
    w.sim.plugBoard();
    w->scanNow();
    ASSERT_TRUE(w->boardHeld());
    ASSERT_FALSE(w->isConnected());
    w.sim.setEnterBootloaderOnSave(true);
    w.sim.setFirmwareAfterFlash(12);

    w.chosenFile = w.firmwareFile(0, 0x7FF);
    ASSERT_TRUE(w->updateFirmware().ok()); // 254: the board leaves, its bootloader comes
    ASSERT_TRUE(w.waitForTheEnd());        // discovery claims it; the blocks go
    EXPECT_TRUE(w.ended->ok());
    EXPECT_EQ(w.ended->text(), Msg("FirmwareUpdateSuccessful"));
    EXPECT_EQ(w.sim.bootloader().blocks().size(), 16u);
    EXPECT_TRUE(w.reporter.announced.contains("KestVELQOR 1.x - Bootloader erkannt"));
    // The bootloader leaves, the board comes back.
    ASSERT_TRUE(QTest::qWaitFor([&] { return w->isConnected(); }, 5000));
    EXPECT_EQ(w->info().FirmwareVersion, 12);
    EXPECT_TRUE(w.reporter.announced.contains("Kest Lighting-Bootloader entfernt"));
    EXPECT_EQ(w.reporter.announced.last(), "KestVELQOR 1.x.12 erkannt");
}

TEST(FirmwareUpdate, TheBootloaderLeavingEndsTheUpdateAndASecondOneIsRefusedMeanwhile) {
    UpdateWorld w;
    w.chosenFile = w.firmwareFile(0, 0x7FF);
    int blocks = 0;
    std::optional<Outcome> meanwhile;
    QObject::connect(w.service.get(), &BoardService::operationProgress,
                     [&](Operation, qint64, qint64) {
                         if (++blocks == 1)
                             meanwhile = w->updateFirmware();
                         if (blocks == 3)
                             w.sim.unplugBootloader();
                     });
    w.sim.unplugBoard();
    w.sim.plugBootloader(sim::BootloaderKind::Classic);
    w->scanNow();
    ASSERT_TRUE(w.waitForTheEnd());
    ASSERT_TRUE(meanwhile.has_value());
    EXPECT_EQ(meanwhile->code, OutcomeCode::Busy);
    EXPECT_EQ(w.ended->code, OutcomeCode::UpdateFailed);
    EXPECT_EQ(w.ended->text(), QString::fromUtf8("Fehler: Der Bootloader hat den USB-Bus während "
                                                 "der Aktualisierung verlassen!"));
    EXPECT_EQ(w.sim.bootloader().blocks().size(), 3u);
    EXPECT_FALSE(w->updateRunning());
}
