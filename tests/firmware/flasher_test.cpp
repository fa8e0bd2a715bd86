#include "../device/device_test_support.h"
#include "device/discovery.h"
#include "firmware/flasher.h"
#include "firmware_test_support.h"
#include "text/text_catalogue.h"

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
    std::vector<FirmwareDialogSettings> dialogs;
    std::vector<std::pair<qint64, qint64>> progress;
    std::optional<bool> finished; // how the last update ended
    TextMessage reason;
    Flasher flasher{discovery, reporter};

    FlashWorld() {
        LoadTextCatalogue();
        controller.addBackend(&sim);
        controller.addChangeSource(&sim);
        discovery.firmwareOffer = [this](BootloaderKind kind) {
            flasher.offerFirmware(kind);
        };
        FlashInteraction interaction;
        interaction.chooseFirmwareFile = [this](const FirmwareDialogSettings& s) {
            dialogs.push_back(s);
            return chosenFile;
        };
        interaction.retryPauseMs = 0;
        flasher.setInteraction(interaction);
        flasher.setProgramDir("/opt/kv");
        QObject::connect(&flasher, &Flasher::progress,
                         [this](qint64 c, qint64 t) { progress.emplace_back(c, t); });
        QObject::connect(&flasher, &Flasher::finished, [this](bool ok, const TextMessage& why) {
            finished = ok;
            reason = why;
        });
    }
    sim::SimulatedBootloader& bootloader() { return sim.bootloader(); }
    // The blocks go from the event loop: lets them run to the end.
    void runToTheEnd() {
        ASSERT_TRUE(QTest::qWaitFor([this] { return !flasher.running(); }, 10000));
    }
    // Attempts to send the block at this address, failed ones included.
    int attemptsAt(std::uint32_t address) {
        int attempts = 0;
        for (const auto& t : bootloader().transfers())
            if (t.write && t.bytes.size() > 3 && t.bytes[0] == 2 &&
                std::uint32_t(t.bytes[1] | (t.bytes[2] << 8) | (t.bytes[3] << 16)) == address)
                ++attempts;
        return attempts;
    }

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
        runToTheEnd();
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
    EXPECT_EQ(w.attemptsAt(0x80), Flasher::BlockAttempts);
    EXPECT_EQ(w.finished, false);
    EXPECT_EQ(w.reporter.announced.last(), "Firmwareupdate fehlgeschlagen!");
    EXPECT_EQ(w.bootloader().resetRequests(), 1);
}

TEST(Flasher, ABlockThatFailsNineTimesStillGoesThrough) {
    FlashWorld w;
    w.bootloader().failBlocks(0x80, 9);
    w.offerBootloader(w.firmwareFile(0, 0x17F));
    EXPECT_EQ(w.blockAddresses(), (std::vector<std::uint32_t>{0x000, 0x080, 0x100}));
    EXPECT_EQ(w.attemptsAt(0x80), 10);
    EXPECT_EQ(w.finished, true);
    EXPECT_TRUE(w.reporter.announced.last().startsWith("Firmware erfolgreich"));
}

TEST(Flasher, ASilentBootloaderGetsNothing) {
    FlashWorld w;
    w.bootloader().setSilent(true);
    w.offerBootloader(w.firmwareFile(0, 0x17F));
    EXPECT_EQ(w.reporter.announced.last(), "Fehler: Bootloader reagiert nicht!");
    EXPECT_TRUE(w.bootloader().blocks().empty());
    EXPECT_EQ(w.bootloader().resetRequests(), 0);
    EXPECT_EQ(w.reason.key, "BootloaderSilent");
}

TEST(Flasher, ARefusedFileStillResetsTheBootloader) {
    FlashWorld w;
    const QString path = w.dir.filePath("bad.chx");
    writeFile(path, firmwareBytes(0, 1, {1, 2}, 99));
    w.offerBootloader(path);
    EXPECT_TRUE(w.reporter.announced.contains("Checksummenfehler in der Datei (4)!"));
    EXPECT_EQ(w.bootloader().resetRequests(), 1);
    EXPECT_EQ(w.reporter.announced.last(), "Firmwareupdate fehlgeschlagen!");
    // The caller learns why from the update's end, not from the log.
    EXPECT_EQ(w.reason.text(), "Checksummenfehler in der Datei (4)!");
}

TEST(Flasher, ABootloaderThatLeavesEndsTheUpdateAtOnce) {
    FlashWorld w;
    QObject::connect(&w.flasher, &Flasher::progress, [&w](qint64 done, qint64) {
        if (done == 3 * 128)
            w.sim.unplugBootloader();
    });
    w.offerBootloader(w.firmwareFile(0, 0x7FF));
    EXPECT_EQ(w.finished, false);
    EXPECT_EQ(w.reason.text(),
              QString::fromUtf8("Fehler: Der Bootloader hat den USB-Bus während der "
                                "Aktualisierung verlassen!"));
    // Nothing was sent after it left, and no block was tried ten times.
    EXPECT_LE(w.bootloader().blocks().size(), 4u);
    EXPECT_TRUE(w.reporter.announced.contains("Firmwareupdate fehlgeschlagen!"));
}

TEST(Flasher, OneUpdateAtATime) {
    FlashWorld w;
    w.chosenFile = w.firmwareFile(0, 0x7FF);
    w.sim.unplugBoard();
    w.sim.plugBootloader(sim::BootloaderKind::Classic);
    w.controller.scanNow(true);
    ASSERT_TRUE(w.flasher.running());
    EXPECT_FALSE(w.flasher.WriteFlash(w.chosenFile));
    w.runToTheEnd();
    EXPECT_EQ(w.bootloader().blocks().size(), 16u);
    EXPECT_EQ(w.finished, true);
}
