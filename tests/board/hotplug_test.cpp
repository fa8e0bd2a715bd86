// Boards that arrive while the program is busy looking at the bus: a
// notification that comes during a scan (delivered by an event loop that
// runs inside it, as a file dialog's does) is never lost.
#include "board/board_service.h"
#include "device/discovery.h"
#include "device/hid_controller.h"
#include "sim/simulation.h"
#include "support/recording_reporter.h"
#include "text/text_catalogue.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace kv;
using namespace kv::testing;

namespace {

// The simulated bus as the programs see it with --simulate, steered by its
// control file.
class HotplugTest : public ::testing::Test {
protected:
    void SetUp() override {
        LoadTextCatalogue();
        ASSERT_TRUE(dir.isValid());
        qputenv("KESTVELQOR_SIM_STATE", dir.filePath("board.ini").toLocal8Bit());
        qputenv("KESTVELQOR_SIM_CONTROL", dir.filePath("control").toLocal8Bit());
        writeControl("unplugged\n");
        simulation = std::make_unique<sim::Simulation>(sim::Simulation::State::Keep);
        ASSERT_FALSE(simulation->backend().boardPlugged());
    }
    void TearDown() override {
        simulation.reset();
        qunsetenv("KESTVELQOR_SIM_STATE");
        qunsetenv("KESTVELQOR_SIM_CONTROL");
    }
    void writeControl(const QByteArray& text) {
        QFile file(dir.filePath("control"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text);
    }
    // The board goes onto the bus while the event loop runs inside whatever
    // calls this, until the bus has told the program.
    void plugTheBoardNow() {
        writeControl("");
        ASSERT_TRUE(QTest::qWaitFor([this] { return simulation->backend().boardPlugged(); }, 5000));
        QTest::qWait(2 * sim::Simulation::ControlCheckMs); // the notification arrives meanwhile
    }

    QTemporaryDir dir;
    std::unique_ptr<sim::Simulation> simulation;
    RecordingReporter reporter;
};

} // namespace

TEST_F(HotplugTest, ABoardPluggedInDuringAScanConnectsWithoutAnotherEvent) {
    BoardService board(reporter, {simulation->source()});
    // Every device the scan visits first goes to discovery, then waits a
    // moment in an event loop of its own: the board arrives then.
    TJvHidDeviceController& controller = board.session().controller();
    Discovery& discovery = board.session().discovery();
    simulation->backend().addForeignDevice(QStringLiteral("Other Maker"), QStringLiteral("Mouse"),
                                           std::nullopt);
    bool plugged = false;
    controller.setOnEnumerate([&](TJvHidDevice* device, int index) {
        const bool goOn = discovery.HidCtlEnumerate(device, index);
        if (!plugged) {
            plugged = true;
            plugTheBoardNow();
        }
        return goOn;
    });
    board.scanNow();
    ASSERT_TRUE(plugged);
    EXPECT_TRUE(board.isConnected()) << "found by the scan that followed, with no new event";
}

TEST_F(HotplugTest, ABoardPluggedInWhileTheFirmwareDialogIsOpenConnectsAfterIt) {
    simulation->backend().plugBootloader(sim::BootloaderKind::Classic);
    BoardService board(reporter, {simulation->source()});
    int dialogs = 0;
    FlashInteraction interaction;
    interaction.chooseFirmwareFile = [&](const FirmwareDialogSettings&) {
        ++dialogs;
        // While the user looks for the file, the board comes back on its own
        // (its bootloader still waiting, as after a flash cut off).
        plugTheBoardNow();
        return QString(); // cancelled: the bootloader is reset
    };
    board.setFirmwareInteraction(interaction);
    board.scanNow();
    EXPECT_EQ(dialogs, 1);
    EXPECT_TRUE(board.isConnected()) << "the notification during the dialog was not lost";
}
