// The simulated bus: enumeration, opening, plug changes with queued
// notifications, and the firmware-update cycle.
#include "sim/sim_backend.h"
#include "sim/sim_test_support.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

namespace kv::sim {
namespace {

using namespace kv::sim::testing;

class SimBus : public ::testing::Test {
protected:
    void SetUp() override {
        QObject::connect(&backend, &DeviceChangeSource::deviceNodesChanged,
                         [this] { ++notifications; });
    }
    int settle() {
        QCoreApplication::processEvents();
        const int seen = notifications;
        notifications = 0;
        return seen;
    }
    std::optional<HidDeviceInfo> find(const std::optional<QString>& product) {
        for (const auto& device : backend.enumerate())
            if (device.product == product)
                return device;
        return std::nullopt;
    }
    std::unique_ptr<HidConnection> openBoard() {
        auto info = find(QStringLiteral("KestVELQOR"));
        if (!info)
            return nullptr;
        return backend.open(*info).connection;
    }
    static bool readInfoOver(HidConnection& c, InfoBlock* out = nullptr) {
        std::array<std::uint8_t, 47> report{1};
        if (!c.getFeature(report.data(), report.size()))
            return false;
        if (out)
            *out = InfoBlock::decode(report.data() + 1);
        return true;
    }

    SimBackend backend;
    int notifications = 0;
};

TEST_F(SimBus, StartsWithTheBoardPluggedIn) {
    const auto devices = backend.enumerate();
    ASSERT_EQ(devices.size(), 1u);
    EXPECT_EQ(devices[0].manufacturer, QStringLiteral("Kest Lighting"));
    EXPECT_EQ(devices[0].product, QStringLiteral("KestVELQOR"));
    EXPECT_FALSE(devices[0].instanceId.empty());
    auto board = openBoard();
    ASSERT_TRUE(board);
    EXPECT_TRUE(readInfoOver(*board));
    EXPECT_EQ(settle(), 0);
}

TEST_F(SimBus, UnplugIsAnnouncedLaterAndEndsOpenConnections) {
    auto board = openBoard();
    ASSERT_TRUE(board);
    const auto info = backend.enumerate().at(0);

    backend.unplugBoard();
    EXPECT_EQ(notifications, 0) << "never inside the call";
    EXPECT_EQ(settle(), 1);
    EXPECT_FALSE(readInfoOver(*board));
    EXPECT_TRUE(backend.enumerate().empty());
    const auto reopened = backend.open(info);
    EXPECT_FALSE(reopened.connection);
    EXPECT_EQ(reopened.error, HidOpenError::Gone);

    backend.plugBoard();
    EXPECT_EQ(settle(), 1);
    const auto again = backend.enumerate().at(0);
    EXPECT_NE(again.instanceId, info.instanceId);
    EXPECT_FALSE(readInfoOver(*board)) << "an old connection stays dead";
    EXPECT_FALSE(backend.open(info).connection);
    auto fresh = backend.open(again).connection;
    ASSERT_TRUE(fresh);
    EXPECT_TRUE(readInfoOver(*fresh));
}

TEST_F(SimBus, PlugCallsWithoutAChangeAnnounceNothing) {
    backend.plugBoard();
    backend.unplugBootloader();
    EXPECT_EQ(settle(), 0);
}

TEST_F(SimBus, BootloaderKindsAndTheirStrings) {
    backend.plugBootloader(BootloaderKind::Classic);
    EXPECT_EQ(settle(), 1);
    auto devices = backend.enumerate();
    ASSERT_EQ(devices.size(), 2u);
    EXPECT_EQ(devices[1].manufacturer, QStringLiteral("Kest Lighting"));
    EXPECT_FALSE(devices[1].product);

    backend.plugBootloader(BootloaderKind::Avr328p); // off the bus and on again
    EXPECT_EQ(settle(), 2);
    devices = backend.enumerate();
    ASSERT_EQ(devices.size(), 2u);
    EXPECT_EQ(devices[1].product, QStringLiteral("0"));

    backend.setBootloaderStrings(QStringLiteral("Kest Lighting"), QStringLiteral("z"));
    EXPECT_EQ(backend.enumerate()[1].product, QStringLiteral("z"));
}

TEST_F(SimBus, ForeignDevicesAreListedButSpeakNothing) {
    backend.addForeignDevice(QStringLiteral("Other Maker"), QStringLiteral("Mouse"));
    EXPECT_EQ(settle(), 1);
    const auto devices = backend.enumerate();
    ASSERT_EQ(devices.size(), 2u);
    EXPECT_EQ(devices[1].manufacturer, QStringLiteral("Other Maker"));
    auto mouse = backend.open(devices[1]).connection;
    ASSERT_TRUE(mouse);
    EXPECT_FALSE(readInfoOver(*mouse));
}

TEST_F(SimBus, BoardStringsCanBeChanged) {
    backend.setBoardStrings(QStringLiteral("Somebody"), QStringLiteral("Z"));
    const auto d = backend.enumerate().at(0);
    EXPECT_EQ(d.manufacturer, QStringLiteral("Somebody"));
    EXPECT_EQ(d.product, QStringLiteral("Z"));
}

TEST_F(SimBus, OpenErrorRefusesEveryOpen) {
    const auto info = backend.enumerate().at(0);
    backend.setOpenError(HidOpenError::PermissionDenied);
    const auto refused = backend.open(info);
    EXPECT_FALSE(refused.connection);
    EXPECT_EQ(refused.error, HidOpenError::PermissionDenied);
    EXPECT_FALSE(refused.message.isEmpty());
    backend.setOpenError(HidOpenError::None);
    EXPECT_TRUE(backend.open(info).connection);
}

TEST_F(SimBus, SaveWithoutArmingStaysOnTheBus) {
    auto board = openBoard();
    ASSERT_TRUE(sendCommand(*board, 254));
    EXPECT_EQ(settle(), 0);
    EXPECT_TRUE(backend.boardPlugged());
    EXPECT_FALSE(backend.bootloaderPlugged());
}

TEST_F(SimBus, FirmwareUpdateCycle) {
    backend.setFirmwareAfterFlash(13);
    backend.board().info().FanLow = 77; // a setting the update will reset
    auto board = openBoard();
    ASSERT_TRUE(board);

    backend.setEnterBootloaderOnSave(true, BootloaderKind::Avr328p);
    ASSERT_TRUE(sendCommand(*board, 254)) << "the command itself arrives";
    EXPECT_EQ(notifications, 0);
    EXPECT_EQ(settle(), 2); // board gone, bootloader there
    EXPECT_FALSE(backend.boardPlugged());
    EXPECT_FALSE(readInfoOver(*board));
    EXPECT_FALSE(backend.enterBootloaderOnSave()) << "one command only";

    const auto devices = backend.enumerate();
    ASSERT_EQ(devices.size(), 1u);
    EXPECT_EQ(devices[0].product, QStringLiteral("0"));
    auto loader = backend.open(devices[0]).connection;
    ASSERT_TRUE(loader);

    std::array<std::uint8_t, 7> info{1};
    ASSERT_TRUE(loader->getFeature(info.data(), info.size()));
    std::array<std::uint8_t, 132> block{2};
    block[4] = 0x0C;
    ASSERT_TRUE(loader->setFeature(block.data(), block.size()));
    block[1] = 0x80;
    ASSERT_TRUE(loader->setFeature(block.data(), block.size()));
    ASSERT_TRUE(loader->setFeature(info.data(), info.size())); // reset request
    EXPECT_EQ(settle(), 2);                                    // bootloader gone, board back

    EXPECT_FALSE(backend.bootloaderPlugged());
    EXPECT_EQ(backend.bootloader().blocks().size(), 2u);
    EXPECT_EQ(backend.bootloader().flash()[0], 0x0C);
    EXPECT_EQ(backend.bootloader().lastResetPayload(),
              std::vector<std::uint8_t>(info.begin() + 1, info.end()));

    auto back = openBoard();
    ASSERT_TRUE(back);
    InfoBlock after;
    ASSERT_TRUE(readInfoOver(*back, &after));
    EXPECT_EQ(after.FirmwareVersion, 13);
    EXPECT_EQ(after.FanLow, SimulatedBoard().info().FanLow) << "default settings";

    // A later save only saves.
    ASSERT_TRUE(sendCommand(*back, 254));
    EXPECT_EQ(settle(), 0);
    EXPECT_TRUE(backend.boardPlugged());
}

TEST_F(SimBus, ResetWithoutFlashingBringsTheOldBoardBack) {
    backend.board().info().FanLow = 77;
    backend.setEnterBootloaderOnSave(true);
    sendCommand(*openBoard(), 254);
    settle();
    auto loader = backend.open(backend.enumerate().at(0)).connection;
    std::array<std::uint8_t, 7> reset{1};
    ASSERT_TRUE(loader->setFeature(reset.data(), reset.size()));
    EXPECT_EQ(settle(), 2);
    EXPECT_EQ(backend.board().info().FanLow, 77);
    EXPECT_EQ(backend.board().info().FirmwareVersion, 12);
}

// A flash cut short leaves the board in its bootloader, through a reset and
// through pulling the cable, until a whole flash brings the new firmware.
TEST_F(SimBus, APartlyFlashedBoardStaysInItsBootloaderUntilAWholeFlash) {
    backend.board().info().FanLow = 77;
    backend.setEnterBootloaderOnSave(true);
    sendCommand(*openBoard(), 254);
    settle();
    auto loader = backend.open(backend.enumerate().at(0)).connection;
    std::array<std::uint8_t, 132> block{2};
    ASSERT_TRUE(loader->setFeature(block.data(), block.size()));
    EXPECT_TRUE(backend.programIncomplete());

    // The cable is pulled: the bootloader leaves, and comes back with it.
    backend.pullCable();
    EXPECT_FALSE(backend.bootloaderPlugged());
    backend.plugCable();
    EXPECT_TRUE(backend.bootloaderPlugged());
    EXPECT_FALSE(backend.boardPlugged());
    settle();

    // A block that fails and is never sent again: the reset starts the
    // bootloader again.
    loader = backend.open(backend.enumerate().at(0)).connection;
    backend.bootloader().failBlocks(0x80, 1);
    block[1] = 0x80;
    EXPECT_FALSE(loader->setFeature(block.data(), block.size()));
    block[1] = 0;
    ASSERT_TRUE(loader->setFeature(block.data(), block.size()));
    std::array<std::uint8_t, 7> reset{1};
    ASSERT_TRUE(loader->setFeature(reset.data(), reset.size()));
    settle();
    EXPECT_TRUE(backend.bootloaderPlugged());
    EXPECT_FALSE(backend.boardPlugged());

    // Every block in place: the board starts its new firmware.
    loader = backend.open(backend.enumerate().at(0)).connection;
    ASSERT_TRUE(loader->setFeature(block.data(), block.size()));
    block[1] = 0x80;
    ASSERT_TRUE(loader->setFeature(block.data(), block.size()));
    ASSERT_TRUE(loader->setFeature(reset.data(), reset.size()));
    settle();
    EXPECT_FALSE(backend.bootloaderPlugged());
    EXPECT_TRUE(backend.boardPlugged());
    EXPECT_FALSE(backend.programIncomplete());
    EXPECT_EQ(backend.board().info().FanLow, SimulatedBoard().info().FanLow);
}

TEST_F(SimBus, PullingTheCableOfARunningBoardBringsItBackAsItWas) {
    backend.board().info().FanLow = 77;
    backend.pullCable();
    EXPECT_FALSE(backend.boardPlugged());
    backend.plugCable();
    EXPECT_EQ(settle(), 2); // gone, and back
    EXPECT_TRUE(backend.boardPlugged());
    EXPECT_FALSE(backend.bootloaderPlugged());
    EXPECT_EQ(backend.board().info().FanLow, 77);
}

TEST_F(SimBus, FailedSaveCommandLeavesTheBoardInPlace) {
    backend.setEnterBootloaderOnSave(true);
    backend.board().failNext(1);
    EXPECT_FALSE(sendCommand(*openBoard(), 254));
    EXPECT_EQ(settle(), 0);
    EXPECT_TRUE(backend.boardPlugged());
    EXPECT_TRUE(backend.enterBootloaderOnSave());
}

TEST_F(SimBus, SeveralBoardsHaveSerialsAndPlugsOfTheirOwn) {
    EXPECT_EQ(backend.addBoard(), 1);
    EXPECT_EQ(settle(), 1) << "a board added later arrives";
    backend.board(1).info().FanLow = 55;
    auto devices = backend.enumerate();
    ASSERT_EQ(devices.size(), 2u);
    EXPECT_EQ(devices[0].serialNumber, QStringLiteral("SIM-0001"));
    EXPECT_EQ(devices[1].serialNumber, QStringLiteral("SIM-0002"));
    auto second = backend.open(devices[1]).connection;
    InfoBlock seen;
    ASSERT_TRUE(readInfoOver(*second, &seen));
    EXPECT_EQ(seen.FanLow, 55) << "each path reaches its own board";

    backend.unplugBoard(1);
    EXPECT_EQ(settle(), 1);
    EXPECT_TRUE(backend.boardPlugged(0));
    EXPECT_FALSE(readInfoOver(*second));
    ASSERT_EQ(backend.enumerate().size(), 1u);
    EXPECT_EQ(backend.enumerate()[0].serialNumber, QStringLiteral("SIM-0001"));
}

TEST_F(SimBus, TheBoardThatEnteredItsBootloaderIsTheOneThatComesBack) {
    backend.addBoard();
    settle();
    backend.board(1).info().FanLow = 66;
    auto second = backend.open(backend.enumerate().at(1)).connection;
    backend.setEnterBootloaderOnSave(true);
    ASSERT_TRUE(sendCommand(*second, 254));
    settle();
    EXPECT_TRUE(backend.boardPlugged(0));
    EXPECT_FALSE(backend.boardPlugged(1));
    ASSERT_TRUE(backend.bootloaderPlugged());

    auto loader = backend.open(backend.enumerate().at(1)).connection;
    std::array<std::uint8_t, 7> reset{1};
    ASSERT_TRUE(loader->setFeature(reset.data(), reset.size()));
    settle();
    EXPECT_TRUE(backend.boardPlugged(1));
    EXPECT_EQ(backend.board(1).info().FanLow, 66);
}

TEST_F(SimBus, ConnectionsOutliveTheBackendSafely) {
    std::unique_ptr<HidConnection> board;
    {
        SimBackend shortLived;
        board = shortLived.open(shortLived.enumerate().at(0)).connection;
        ASSERT_TRUE(board);
    }
    EXPECT_FALSE(readInfoOver(*board));
    QCoreApplication::processEvents();
}

} // namespace
} // namespace kv::sim
