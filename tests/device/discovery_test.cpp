#include "device/discovery.h"
#include "device/poller.h"
#include "device_test_support.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

using namespace kv;
using kv::testing::deliverNotifications;
using kv::testing::RecordingReporter;

namespace {

// The composition the window and the command-line tool use.
struct World {
    sim::SimBackend sim;
    TJvHidDeviceController controller;
    BoardLink link;
    RecordingReporter reporter;
    Discovery discovery{controller, link, reporter};
    Poller poller{link};
    std::vector<LinkState> states;

    World() {
        controller.addBackend(&sim);
        controller.addChangeSource(&sim);
        QObject::connect(&discovery, &Discovery::boardConnected, &poller, &Poller::start);
        QObject::connect(&discovery, &Discovery::boardGone, &poller, &Poller::stop);
        QObject::connect(&discovery, &Discovery::linkStateChanged,
                         [this](LinkState s) { states.push_back(s); });
    }
    void scan() { controller.scanNow(true); }
    int hidLines() const {
        return int(reporter.logged.filter(QRegularExpression("^HID \\d+: ")).size());
    }
};

const QString UpdateRequest11 = QString::fromUtf8(
    "KestVELQOR 1.x.11 erkannt. Bitte die Firmware aktualisieren (siehe Menü \"Datei\")!");

} // namespace

TEST(Discovery, BoardWithSupportedFirmwareConnects) {
    World w;
    w.sim.board().info().Mode = 1;
    QSignalSpy connected(&w.discovery, &Discovery::boardConnected);
    w.scan();
    ASSERT_EQ(connected.count(), 1);
    EXPECT_TRUE(w.discovery.isBoardConnected());
    EXPECT_TRUE(w.poller.isActive());
    EXPECT_EQ(w.reporter.announced.last(), "KestVELQOR 1.x.12 erkannt");
    EXPECT_EQ(w.link.schedule.size(), w.sim.board().schedule().size());
    EXPECT_EQ(w.link.expert, w.sim.board().expert());
    EXPECT_EQ(w.states.back(), LinkState::Connected);
}

TEST(Discovery, AConnectionReadsEachRecordOnceAndTheInfoBlockAgainBeforeTheLines) {
    World w;
    w.sim.board().schedule().resize(255);
    w.sim.board().info().LineCount = 255;
    w.scan();
    ASSERT_TRUE(w.discovery.isBoardConnected());
    // Report 1, report 1 again at the start of the schedule, the 255 lines,
    // then reports 2 and 4: 259 transfers, one above the 258 the records need.
    std::vector<int> expected = {1, 1};
    expected.insert(expected.end(), 255, 3);
    expected.insert(expected.end(), {2, 4});
    std::vector<int> ids;
    for (const auto& t : w.sim.board().transfers()) {
        EXPECT_FALSE(t.write);
        ids.push_back(t.bytes.at(0));
    }
    EXPECT_EQ(ids, expected);
}

TEST(Discovery, OtherFirmwareVersionsAskForAnUpdate) {
    for (int version : {11, 13}) {
        World w;
        w.sim.board().info().FirmwareVersion = std::uint8_t(version);
        QSignalSpy other(&w.discovery, &Discovery::boardWithOtherFirmware);
        w.scan();
        ASSERT_EQ(other.count(), 1) << version;
        EXPECT_EQ(other.at(0).at(0).toInt(), version);
        EXPECT_FALSE(w.discovery.isBoardConnected());
        EXPECT_NE(w.discovery.boardDevice(), nullptr); // stays claimed
        EXPECT_FALSE(w.poller.isActive());
        EXPECT_EQ(w.states.back(), LinkState::OtherFirmware);
        if (version == 11)
            EXPECT_EQ(w.reporter.announced.last(), UpdateRequest11);
        else
            EXPECT_TRUE(w.reporter.announced.last().startsWith("KestVELQOR 1.x.13 erkannt. Bitte"));
    }
}

TEST(Discovery, FirmwareZeroHasItsOwnText) {
    World w;
    w.sim.board().info().FirmwareVersion = 0;
    w.scan();
    EXPECT_EQ(w.reporter.announced.last(),
              QString::fromUtf8("KestVELQOR 1.x erkannt (andere Firmwareversion). Bitte "
                                "aktualisieren (siehe Menü \"Datei\")!"));
    EXPECT_EQ(w.states.back(), LinkState::OtherFirmware);
}

// The record still holds the last board's version 12; a board whose version
// could not be read must not be taken for one with the supported firmware.
TEST(Discovery, ABoardWhoseInfoCannotBeReadIsNotConnected) {
    World w;
    w.scan();
    ASSERT_TRUE(w.discovery.isBoardConnected());
    w.sim.unplugBoard();
    deliverNotifications();
    w.sim.board().info().FirmwareVersion = 11;
    w.sim.board().failNext(BoardLink::Attempts);
    w.sim.plugBoard();
    deliverNotifications();
    EXPECT_NE(w.discovery.boardDevice(), nullptr);
    EXPECT_FALSE(w.discovery.isBoardConnected());
    EXPECT_EQ(w.states.back(), LinkState::OtherFirmware);
    EXPECT_FALSE(w.poller.isActive());
}

TEST(Discovery, ProductStringsDecideTheKind) {
    EXPECT_EQ(classifyDevice("Kest Lighting", "z"), DeviceKind::ClassicBootloader);
    EXPECT_EQ(classifyDevice("Kest Lighting", ""), DeviceKind::ClassicBootloader);
    EXPECT_EQ(classifyDevice("Kest Lighting", "Zebra"), DeviceKind::ClassicBootloader);
    EXPECT_EQ(classifyDevice("Kest Lighting", "Z"), DeviceKind::Foreign);
    EXPECT_EQ(classifyDevice("Kest Lighting", "0"), DeviceKind::Bootloader328p);
    EXPECT_EQ(classifyDevice("Kest Lighting", "KestVELQOR"), DeviceKind::Board);
    EXPECT_EQ(classifyDevice("Kest Lighting", "KestVELQOR2"), DeviceKind::Foreign);
    EXPECT_EQ(classifyDevice("kest lighting", "KestVELQOR"), DeviceKind::Foreign);
    EXPECT_EQ(classifyDevice("", ""), DeviceKind::Foreign);
}

TEST(Discovery, LogLineUsesUpperCaseHex) {
    EXPECT_EQ(deviceLogLine(3, 0x16c0, 0x5df, "Kest Lighting", "KestVELQOR", "%1"),
              "HID 3: 16C0:05DF \"Kest Lighting\" \"KestVELQOR\" \"%1\"");
}

TEST(Discovery, BootloadersAreClaimedAndOffered) {
    World w;
    w.sim.unplugBoard();
    w.sim.plugBootloader(sim::BootloaderKind::Avr328p);
    std::vector<BootloaderKind> offers;
    w.discovery.firmwareOffer = [&](BootloaderKind kind) {
        offers.push_back(kind);
        // The offer runs after the announcement.
        EXPECT_EQ(w.reporter.announced.last(), "KestVELQOR 1.x (328p) - Bootloader erkannt");
    };
    w.scan();
    ASSERT_EQ(offers.size(), 1u);
    EXPECT_EQ(offers[0], BootloaderKind::Avr328p);
    EXPECT_NE(w.discovery.bootloaderDevice(), nullptr);
    EXPECT_EQ(w.states.back(), LinkState::Bootloader);

    w.sim.unplugBootloader();
    deliverNotifications();
    EXPECT_EQ(w.discovery.bootloaderDevice(), nullptr);
    EXPECT_TRUE(w.reporter.announced.contains("Kest Lighting-Bootloader entfernt"));
    EXPECT_EQ(w.states.back(), LinkState::NoDevice);
}

TEST(Discovery, ForeignDevicesAreOnlyLogged) {
    World w;
    w.sim.unplugBoard();
    w.sim.addForeignDevice("Other Maker", "KestVELQOR");
    w.sim.addForeignDevice("Kest Lighting", "Z");
    w.scan();
    EXPECT_EQ(w.hidLines(), 2);
    EXPECT_EQ(w.discovery.boardDevice(), nullptr);
    EXPECT_EQ(w.discovery.bootloaderDevice(), nullptr);
    EXPECT_TRUE(w.reporter.announced.isEmpty());
}

TEST(Discovery, AChosenBoardIsTheOnlyOneClaimed) {
    World w;
    w.sim.addBoard();
    w.sim.addBoard();
    w.sim.board(1).info().FanLow = 42;
    w.discovery.setBoardChoice(DeviceChoice(QStringLiteral("SIM-0002")));
    w.scan();
    ASSERT_TRUE(w.discovery.isBoardConnected());
    EXPECT_EQ(w.discovery.boardDevice()->Info().serialNumber, QStringLiteral("SIM-0002"));
    EXPECT_EQ(w.link.info.FanLow, 42);

    // By path; and a choice that matches nothing claims nothing.
    World byPath;
    byPath.sim.addBoard();
    const std::string third = byPath.sim.enumerate().at(1).path;
    byPath.discovery.setBoardChoice(DeviceChoice(QString::fromStdString(third)));
    byPath.scan();
    ASSERT_NE(byPath.discovery.boardDevice(), nullptr);
    EXPECT_EQ(byPath.discovery.boardDevice()->Info().path, third);

    World none;
    none.discovery.setBoardChoice(DeviceChoice(QStringLiteral("SIM-0009")));
    none.scan();
    EXPECT_EQ(none.discovery.boardDevice(), nullptr);
    EXPECT_EQ(none.hidLines(), 1) << "the other board is still visited and logged";
    QCoreApplication::processEvents();
}

TEST(Discovery, UnpluggingTheBoardStopsPollingAndSaysSo) {
    World w;
    w.scan();
    ASSERT_TRUE(w.poller.isActive());
    QSignalSpy gone(&w.discovery, &Discovery::boardGone);
    w.sim.unplugBoard();
    deliverNotifications();
    EXPECT_EQ(gone.count(), 1);
    EXPECT_FALSE(w.poller.isActive());
    EXPECT_FALSE(w.discovery.isBoardConnected());
    EXPECT_EQ(w.discovery.boardDevice(), nullptr);
    EXPECT_EQ(w.link.board(), nullptr);
    EXPECT_EQ(w.reporter.announced.last(), "KestVELQOR 1.x entfernt");
    EXPECT_EQ(w.states.back(), LinkState::NoDevice);

    // A poll in between fails its read and says so.
    QSignalSpy polled(&w.poller, &Poller::polled);
    w.poller.tick();
    ASSERT_EQ(polled.count(), 1);
    EXPECT_FALSE(polled[0][0].toBool());

    // It connects again when it comes back.
    w.sim.plugBoard();
    deliverNotifications();
    EXPECT_TRUE(w.discovery.isBoardConnected());
    w.poller.tick();
    EXPECT_TRUE(polled[1][0].toBool());
}

TEST(Discovery, UnpluggingTheBoardWhileABootloaderIsHeldLeavesTheTaskbarAlone) {
    World w;
    w.discovery.firmwareOffer = [](BootloaderKind) {
    };
    w.sim.plugBootloader(sim::BootloaderKind::Classic);
    w.scan();
    ASSERT_NE(w.discovery.bootloaderDevice(), nullptr);
    ASSERT_TRUE(w.discovery.isBoardConnected());
    w.states.clear();
    w.sim.unplugBoard();
    deliverNotifications();
    EXPECT_EQ(w.discovery.boardDevice(), nullptr);
    EXPECT_TRUE(w.states.empty());
}

TEST(Discovery, EveryScanLogsEachPluggedDevice) {
    World w;
    w.sim.addForeignDevice("Other Maker", "Mouse");
    w.scan();
    EXPECT_EQ(w.hidLines(), 2);
    w.reporter.clear();
    w.controller.scanNow(true); // the board is held and still logged
    EXPECT_EQ(w.hidLines(), 2);
}

TEST(Discovery, PermissionProblemIsNamedAndNoFirmwareCheckRuns) {
    World w;
    w.sim.setOpenError(HidOpenError::PermissionDenied);
    QSignalSpy other(&w.discovery, &Discovery::boardWithOtherFirmware);
    w.scan();
    EXPECT_EQ(other.count(), 0);
    EXPECT_FALSE(w.discovery.isBoardConnected());
    EXPECT_EQ(w.discovery.boardDevice(), nullptr);
    ASSERT_FALSE(w.reporter.announced.isEmpty());
    const QString text = w.reporter.announced.last();
    EXPECT_TRUE(text.contains("kein Zugriff")) << text.toStdString();
    EXPECT_TRUE(text.contains("udev-Regel")) << text.toStdString();
    EXPECT_FALSE(w.reporter.logged.join("\n").contains("Firmware"));

    // Once the rule is in place the next scan connects.
    w.sim.setOpenError(HidOpenError::None);
    w.scan();
    EXPECT_TRUE(w.discovery.isBoardConnected());
}
