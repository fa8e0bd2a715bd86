// The firmware update from the window: the blocks go one per turn of the
// event loop while the window goes on (its timers fire, the taskbar shows
// the progress), and the update ends at once when the bootloader leaves the
// bus.
#include "../firmware/firmware_test_support.h"
#include "window_test_support.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QMenu>
#include <QTemporaryDir>
#include <QTimer>

namespace kv::testing {
namespace {

constexpr std::int32_t FirmwareEnd = 0x07FF; // sixteen blocks of 128 bytes
constexpr qint64 BlockBytes = 128;
constexpr qint64 FirmwareBytes = FirmwareEnd + 1;

class FirmwareUpdateWindowTest : public WindowTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        openAnswer = dir.filePath("KestVELQOR1x12.chx");
        writeFile(openAnswer, firmwareBytes(0, FirmwareEnd, patternImage(0, FirmwareEnd)));
        confirmAnswer = true;
    }

    // Connected in Manual mode, with the backups in the test's folder.
    void start() {
        startConnected(0);
        service().setBackupFolder(dir.filePath("backups"));
    }

    // Calls the handler after each block the update sent (bytes done).
    template <class Handler> void afterEachBlock(Handler handler) {
        QObject::connect(&service(), &BoardService::operationProgress, window.get(),
                         [handler](Operation operation, qint64 done, qint64 total) {
                             if (operation == Operation::FirmwareUpdate)
                                 handler(done, total);
                         });
    }

    QTemporaryDir dir;
};

TEST_F(FirmwareUpdateWindowTest, ABootloaderLeavingAfterBlockThreeEndsTheUpdateAtOnce) {
    // The window's own pause before a failed block is sent again: a flasher
    // that did not look at the bus would try ten times, half a second apart.
    flashRetryPauseMs = FlashInteraction{}.retryPauseMs;
    ASSERT_EQ(flashRetryPauseMs, 500);
    start();

    // A timer of the window, started before the update, fires while it runs.
    bool timerFiredDuringUpdate = false;
    QTimer tick(window.get());
    tick.setInterval(0);
    QObject::connect(&tick, &QTimer::timeout, window.get(), [&] {
        timerFiredDuringUpdate = timerFiredDuringUpdate || service().updateRunning();
    });
    tick.start();

    QElapsedTimer sinceUnplug;
    afterEachBlock([&](qint64 done, qint64) {
        if (done == 3 * BlockBytes && !sinceUnplug.isValid()) {
            sim().unplugBootloader();
            sinceUnplug.start();
        }
    });
    window->menu().mnuFirmwareUpdate->trigger();
    ASSERT_TRUE(waitForUpdateEnd());
    tick.stop();

    ASSERT_TRUE(sinceUnplug.isValid()) << "the update never sent its third block";
    EXPECT_LT(sinceUnplug.elapsed(), 2000);
    const Outcome& outcome = updatesEnded.back().outcome;
    EXPECT_EQ(outcome.code, OutcomeCode::UpdateFailed);
    EXPECT_EQ(outcome.message.key, "BootloaderLeftDuringUpdate");
    EXPECT_TRUE(logText().contains(QString::fromUtf8(
        "] Fehler: Der Bootloader hat den USB-Bus während der Aktualisierung verlassen!")));
    EXPECT_TRUE(timerFiredDuringUpdate);
    EXPECT_FALSE(service().updateRunning());
}

TEST_F(FirmwareUpdateWindowTest, AnUpdateRunsToItsEndWithTheProgressOnTheTaskbar) {
    start();
    std::vector<qint64> shown;
    bool offeredAgainWhileRunning = false;
    afterEachBlock([&](qint64 done, qint64 total) {
        EXPECT_EQ(total, FirmwareBytes);
        // The window's own handler ran first.
        shown.push_back(window->taskbar().completed());
        EXPECT_EQ(window->taskbar().completed(), done);
        // A running update is not offered again.
        emit window->menu().mnuFile->aboutToShow();
        offeredAgainWhileRunning =
            offeredAgainWhileRunning || window->menu().mnuFirmwareUpdate->isEnabled();
    });
    window->menu().mnuFirmwareUpdate->trigger();
    ASSERT_TRUE(waitForUpdateEnd());

    const Outcome& outcome = updatesEnded.back().outcome;
    EXPECT_EQ(outcome.code, OutcomeCode::Done);
    EXPECT_EQ(outcome.message.key, "FirmwareUpdateSuccessful");
    EXPECT_TRUE(logText().contains("] Firmware erfolgreich aktualisiert."));
    ASSERT_EQ(shown.size(), std::size_t(FirmwareBytes / BlockBytes));
    EXPECT_EQ(shown.front(), BlockBytes);
    EXPECT_EQ(shown.back(), FirmwareBytes);
    EXPECT_FALSE(offeredAgainWhileRunning);
    EXPECT_FALSE(sim().programIncomplete());
    EXPECT_TRUE(QFileInfo::exists(service().lastBackupPath()));
    // The board comes back with its new firmware and is connected again.
    EXPECT_TRUE(QTest::qWaitFor([this] { return window->connected(); }, 5000));
}

} // namespace
} // namespace kv::testing
