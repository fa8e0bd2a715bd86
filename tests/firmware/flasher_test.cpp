#include "../device/device_test_support.h"
#include "device/discovery.h"
#include "firmware/flasher.h"
#include "firmware_test_support.h"
#include "settings/settings_file.h"
#include "text/text_catalogue.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <functional>

using namespace kv;
using namespace kv::testing;

namespace {

// Discovery and the flasher over the simulator, with the dialogs answered by
// the test and no real waiting.
struct FlashWorld {
    QTemporaryDir dir;
    sim::SimBackend sim;
    TJvHidDeviceController controller;
    BoardLink link;
    RecordingReporter reporter;
    Discovery discovery{controller, link, reporter};
    QString chosenFile; // empty: the dialog is cancelled
    bool answerYes = true;
    std::function<void()> whenAsked; // runs while the question is on screen
    int sleeps = 0;
    std::vector<FirmwareDialogSettings> dialogs;
    std::vector<std::pair<qint64, qint64>> progress;
    Flasher flasher{discovery, link, reporter,
                    FlashInteraction{[this] {
                                         if (whenAsked)
                                             whenAsked();
                                         return answerYes;
                                     },
                                     [this](const FirmwareDialogSettings& s) {
                                         dialogs.push_back(s);
                                         return chosenFile;
                                     },
                                     [this](int ms) { sleeps += ms; }, nullptr}};

    FlashWorld() {
        LoadTextCatalogue();
        controller.addBackend(&sim);
        controller.addChangeSource(&sim);
        discovery.firmwareOffer = [this](BootloaderKind kind) {
            flasher.offerFirmware(kind);
        };
        flasher.setProgramDir("/opt/kv");
        flasher.setBackupFolder(dir.filePath("backups"));
        QObject::connect(&flasher, &Flasher::progress,
                         [this](qint64 c, qint64 t) { progress.emplace_back(c, t); });
    }
    sim::SimulatedBootloader& bootloader() { return sim.bootloader(); }

    QString firmwareFile(std::int32_t start, std::int32_t end) {
        const QString path = dir.filePath(QStringLiteral("fw-%1-%2.chx").arg(start).arg(end));
        writeFile(path, firmwareBytes(start, end, patternImage(start, end)));
        return path;
    }
    // Plugs in a bootloader alone; the scan claims it and makes the offer.
    void offerBootloader(const QString& file,
                         sim::BootloaderKind kind = sim::BootloaderKind::Classic) {
        chosenFile = file;
        sim.unplugBoard();
        sim.plugBootloader(kind);
        controller.scanNow(true);
    }
    std::vector<std::uint32_t> blockAddresses() {
        std::vector<std::uint32_t> result;
        for (const auto& b : bootloader().blocks())
            result.push_back(b.address);
        return result;
    }
    QStringList blockTexts() {
        return reporter.announced.filter(QRegularExpression("^0x[0-9A-F]{4,} \\("));
    }
};

} // namespace

TEST(Flasher, MaskFollowsThePageSize) {
    for (auto [pageSize, expected] :
         {std::pair{64, std::vector<std::uint32_t>{0x000, 0x080, 0x100}},
          std::pair{128, std::vector<std::uint32_t>{0x000, 0x080, 0x100}},
          std::pair{256, std::vector<std::uint32_t>{0x000, 0x080, 0x100, 0x180}}}) {
        FlashWorld w;
        w.bootloader().setPageSize(std::uint16_t(pageSize));
        w.offerBootloader(w.firmwareFile(0x0005, 0x0101));
        EXPECT_EQ(w.blockAddresses(), expected) << pageSize;
        EXPECT_TRUE(w.reporter.announced.contains(
            QString("Starte Firmwareupdate, flashe %1 Bytes...").arg(expected.size() * 128)));
        // What the bootloader holds is the file's image, zeros around it.
        const auto image = patternImage(0x0005, 0x0101);
        const auto& flash = w.bootloader().flash();
        EXPECT_TRUE(std::equal(image.begin(), image.end(), flash.begin() + 5));
        EXPECT_EQ(flash[4], 0);
        EXPECT_EQ(flash[0x102], 0);
        EXPECT_EQ(w.reporter.announced.last(),
                  QString::fromUtf8("Firmware erfolgreich aktualisiert. Jumper (falls gesteckt) "
                                    "nun wieder entfernen!"));
        EXPECT_EQ(w.bootloader().resetRequests(), 1);
    }
}

TEST(Flasher, TheBlockHoldingTheLastByteIsSent) {
    FlashWorld w;
    w.offerBootloader(w.firmwareFile(0, 0x100));
    EXPECT_EQ(w.blockAddresses(), (std::vector<std::uint32_t>{0x000, 0x080, 0x100}));
    EXPECT_EQ(w.bootloader().flash()[0x100], patternImage(0, 0x100).back());
}

TEST(Flasher, BlockTextsRunFromZeroAndNeverShowAHundred) {
    FlashWorld w;
    w.offerBootloader(w.firmwareFile(0, 0x3FF));
    const QStringList texts = w.blockTexts();
    ASSERT_EQ(texts.size(), 8);
    EXPECT_EQ(texts.first(), "0x0000 (0 %)");
    EXPECT_EQ(texts[1], "0x0080 (13 %)"); // 12.5 rounds up
    EXPECT_EQ(texts.last(), "0x0380 (88 %)");
    for (const QString& t : texts)
        EXPECT_FALSE(t.contains("(100 %)"));
    ASSERT_FALSE(w.progress.empty());
    EXPECT_EQ(w.progress.front(), std::make_pair(qint64(128), qint64(1024)));
    EXPECT_EQ(w.progress.back(), std::make_pair(qint64(1024), qint64(1024)));
}

TEST(Flasher, TooLargeImagesAreRefusedWithTheirExcess) {
    FlashWorld w;
    w.bootloader().setFlashSize(32768);
    w.offerBootloader(w.firmwareFile(30000, 30721));
    EXPECT_TRUE(w.reporter.logged.contains(QString::fromUtf8("Flashgröße: 30721 Bytes / 30720")));
    EXPECT_TRUE(
        w.reporter.announced.contains(QString::fromUtf8("Fehler: Datei ist 1 Bytes zu groß!")));
    EXPECT_TRUE(w.bootloader().blocks().empty());
    EXPECT_EQ(w.bootloader().resetRequests(), 1);
    EXPECT_EQ(w.reporter.announced.last(), "Firmwareupdate fehlgeschlagen!");
}

TEST(Flasher, CancellingSendsOnlyTheResetRequest) {
    FlashWorld w;
    w.offerBootloader(QString());
    ASSERT_EQ(w.dialogs.size(), 1u);
    EXPECT_EQ(w.dialogs[0].proposedFile, "/opt/kv/KestVELQOR1x12.chx");
    EXPECT_EQ(w.dialogs[0].filter, "KestVELQOR 1.x - Firmware (KestVELQOR1*.chx)|KestVELQOR1*.chx");
    EXPECT_EQ(w.dialogs[0].title, QString::fromUtf8("KestVELQOR 1.x - Firmwaredatei wählen"));
    EXPECT_TRUE(w.bootloader().blocks().empty());
    EXPECT_EQ(w.bootloader().resetRequests(), 1);
    // No information was read in this run: the request carries zeros.
    EXPECT_EQ(w.bootloader().lastResetPayload(), std::vector<std::uint8_t>(6, 0));
    EXPECT_EQ(w.reporter.announced.last(), "Reset...");
}

TEST(Flasher, The328pBootloaderGetsItsOwnFileSettings) {
    FlashWorld w;
    w.offerBootloader(QString(), sim::BootloaderKind::Avr328p);
    ASSERT_EQ(w.dialogs.size(), 1u);
    EXPECT_EQ(w.dialogs[0].proposedFile, "/opt/kv/KestVELQOR1x12.chx328p");
    EXPECT_EQ(w.dialogs[0].defaultExtension, ".chx328p");
    EXPECT_EQ(w.dialogs[0].filter,
              "KestVELQOR 1.x - Firmware (KestVELQOR1*.chx328p)|KestVELQOR1*.chx328p");
}

TEST(Flasher, ABlockThatFailsTenTimesIsSkippedAndTheUpdateFails) {
    FlashWorld w;
    w.bootloader().failBlocks(0x80, 10);
    w.offerBootloader(w.firmwareFile(0, 0x17F));
    EXPECT_EQ(w.blockAddresses(), (std::vector<std::uint32_t>{0x000, 0x100}));
    EXPECT_EQ(w.sleeps, 10 * 500);
    EXPECT_EQ(w.reporter.announced.last(), "Firmwareupdate fehlgeschlagen!");
    EXPECT_EQ(w.bootloader().resetRequests(), 1);
}

TEST(Flasher, ABlockThatFailsNineTimesStillGoesThrough) {
    FlashWorld w;
    w.bootloader().failBlocks(0x80, 9);
    w.offerBootloader(w.firmwareFile(0, 0x17F));
    EXPECT_EQ(w.blockAddresses(), (std::vector<std::uint32_t>{0x000, 0x080, 0x100}));
    EXPECT_EQ(w.sleeps, 9 * 500);
    EXPECT_TRUE(w.reporter.announced.last().startsWith("Firmware erfolgreich"));
}

TEST(Flasher, ASilentBootloaderGetsNothing) {
    FlashWorld w;
    w.bootloader().setSilent(true);
    w.offerBootloader(w.firmwareFile(0, 0x17F));
    EXPECT_EQ(w.reporter.announced.last(), "Fehler: Bootloader reagiert nicht!");
    EXPECT_TRUE(w.bootloader().blocks().empty());
    EXPECT_EQ(w.bootloader().resetRequests(), 0);
}

TEST(Flasher, ARefusedFileStillResetsTheBootloader) {
    FlashWorld w;
    const QString path = w.dir.filePath("bad.chx");
    writeFile(path, firmwareBytes(0, 1, {1, 2}, 99));
    w.offerBootloader(path);
    EXPECT_TRUE(w.reporter.announced.contains("Checksummenfehler in der Datei (4)!"));
    EXPECT_EQ(w.bootloader().resetRequests(), 1);
    EXPECT_EQ(w.reporter.announced.last(), "Firmwareupdate fehlgeschlagen!");
}

TEST(Flasher, AnsweringNoWritesNoBackupAndSendsNothing) {
    FlashWorld w;
    w.controller.scanNow(true);
    ASSERT_TRUE(w.discovery.isBoardConnected());
    w.sim.board().clearTransfers();
    const qsizetype loggedBefore = w.reporter.logged.size();

    int questions = 0;
    w.whenAsked = [&] {
        ++questions;
    };
    w.answerYes = false;
    w.flasher.updateFirmware();
    EXPECT_EQ(questions, 1);
    EXPECT_TRUE(w.sim.board().transfers().empty()); // not even a read
    EXPECT_FALSE(QFileInfo::exists(w.dir.filePath("backups")));
    EXPECT_TRUE(w.flasher.lastBackupPath().isEmpty());
    EXPECT_EQ(w.reporter.logged.size(), loggedBefore);
}

TEST(Flasher, AnsweringYesBacksUpTheSettingsRightBeforeTheBoardLeaves) {
    FlashWorld w;
    w.sim.board().info().FanHigh = 66;
    w.controller.scanNow(true);
    ASSERT_TRUE(w.discovery.isBoardConnected());
    w.sim.board().clearTransfers();

    // While the question is open nothing has been read or written.
    std::size_t transfersWhileAsked = 99;
    bool backupWhileAsked = true;
    w.whenAsked = [&] {
        transfersWhileAsked = w.sim.board().transfers().size();
        backupWhileAsked = QFileInfo::exists(w.dir.filePath("backups"));
    };
    w.flasher.updateFirmware();
    EXPECT_EQ(transfersWhileAsked, 0u);
    EXPECT_FALSE(backupWhileAsked);

    const QString backup = w.flasher.lastBackupPath();
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
    const auto& transfers = w.sim.board().transfers();
    ASSERT_GE(transfers.size(), 2u);
    for (std::size_t i = 0; i + 1 < transfers.size(); ++i)
        EXPECT_FALSE(transfers[i].write) << i;
    EXPECT_TRUE(transfers.back().write);
    EXPECT_EQ(transfers.back().bytes[0], 3);
    EXPECT_EQ(transfers.back().bytes[1], 254);

    // A later "No" does not report the earlier backup as its own.
    w.answerYes = false;
    w.whenAsked = nullptr;
    w.flasher.updateFirmware();
    EXPECT_TRUE(w.flasher.lastBackupPath().isEmpty());
}

TEST(Flasher, AFailedBackupIsLoggedAndTheAgreedUpdateGoesOn) {
    FlashWorld w;
    w.controller.scanNow(true);
    const QString blocker = w.dir.filePath("blocker");
    writeFile(blocker, "x");
    w.flasher.setBackupFolder(blocker + "/backups"); // below a file: cannot exist
    w.flasher.updateFirmware();
    EXPECT_TRUE(w.flasher.lastBackupPath().isEmpty());
    EXPECT_TRUE(
        w.reporter.logged.join("\n").contains("Sicherung der Einstellungen fehlgeschlagen"));
    EXPECT_EQ(w.sim.board().transfers().back().bytes[1], 254);
}

TEST(Flasher, TheWholeUpdateBringsTheBoardBackWithTheNewFirmware) {
    FlashWorld w;
    w.sim.board().info().FirmwareVersion = 11;
    w.sim.setEnterBootloaderOnSave(true);
    w.sim.setFirmwareAfterFlash(12);
    w.controller.scanNow(true);
    ASSERT_NE(w.discovery.boardDevice(), nullptr);
    ASSERT_FALSE(w.discovery.isBoardConnected());

    w.chosenFile = w.firmwareFile(0, 0x7FF);
    w.flasher.updateFirmware(); // 254: the board leaves, its bootloader comes
    deliverNotifications();     // discovery claims it and flashes
    EXPECT_EQ(w.bootloader().blocks().size(), 16u);
    EXPECT_TRUE(w.reporter.announced.contains("KestVELQOR 1.x - Bootloader erkannt"));
    deliverNotifications(); // the bootloader leaves, the board comes back
    EXPECT_TRUE(w.discovery.isBoardConnected());
    EXPECT_EQ(w.link.info.FirmwareVersion, 12);
    EXPECT_TRUE(w.reporter.announced.contains("Kest Lighting-Bootloader entfernt"));
    EXPECT_EQ(w.reporter.announced.last(), "KestVELQOR 1.x.12 erkannt");
}
