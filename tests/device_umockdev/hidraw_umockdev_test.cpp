// The code that talks to real boards, run against the operating system's own
// interfaces: hidapi and libudev see an emulated USB board with a hidraw node
// (umockdev), whose feature reports the simulated board answers.

#include "device/hid_controller.h"
#include "device/hidapi_backend.h"
#include "device/records/info_block.h"
#include "device/udev_monitor.h"
#include "emulated_hidraw_board.h"
#include "sim/simulated_board.h"
#include "without_file_override.h"

#include <QCoreApplication>
#include <QDeadlineTimer>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

namespace kv {
namespace {

using test::EmulatedHidrawBoard;
using test::UsbIdentity;

UsbIdentity boardIdentity() {
    UsbIdentity identity;
    identity.manufacturer = "Kest Lighting";
    identity.product = "KestVELQOR";
    identity.serial = "KV0001";
    return identity;
}

// The board's bootloader: same maker, no product and no serial string.
UsbIdentity bootloaderIdentity() {
    UsbIdentity identity;
    identity.productId = 0x4B57;
    identity.release = 0x0001;
    identity.manufacturer = "Kest Lighting";
    return identity;
}

constexpr std::pair<std::uint8_t, std::size_t> BoardReports[] = {
    {1, 47}, {2, 60}, {3, 17}, {4, 81}};

// Lets the event loop run until the condition holds or the deadline passes
// (a guard against hanging, not a measurement).
template <typename Condition> bool waitFor(Condition condition, int milliseconds = 5000) {
    QDeadlineTimer deadline(milliseconds);
    while (!condition() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return condition();
}

void letEventsSettle() {
    QDeadlineTimer deadline(200);
    while (!deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

class HidrawTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(EmulatedHidrawBoard::preloadActive()); }

    // Scans, then claims the first device with the board's strings.
    TJvHidDevice* connectBoard() {
        controller.addBackend(&backend);
        controller.scanNow(true);
        TJvHidDevice* board = nullptr;
        controller.setOnEnumerate([&](TJvHidDevice* device, int index) {
            if (!board && device->ManufacturerString() == "Kest Lighting" &&
                device->ProductString() == "KestVELQOR")
                board = controller.ClaimByIndex(index);
            return true;
        });
        controller.EnumeratePlugged();
        return board;
    }

    sim::SimulatedBoard board;
    EmulatedHidrawBoard bus{[this](std::uint8_t* buffer, std::size_t length) {
                                return board.getFeature(buffer, length);
                            },
                            [this](const std::uint8_t* buffer, std::size_t length) {
                                return board.setFeature(buffer, length);
                            }};
    HidapiBackend backend;
    TJvHidDeviceController controller;
};

TEST_F(HidrawTest, HidapiBackendListsTheBoardWithItsStrings) {
    bus.plug(boardIdentity());
    const std::vector<HidDeviceInfo> devices = backend.enumerate();
    ASSERT_EQ(devices.size(), 1u);
    const HidDeviceInfo& info = devices[0];
    EXPECT_EQ(info.path, "/dev/hidraw0");
    EXPECT_EQ(info.vendorId, 0x1209);
    EXPECT_EQ(info.productId, 0x4B56);
    EXPECT_EQ(info.releaseNumber, 0x0112);
    EXPECT_EQ(info.manufacturer, QString("Kest Lighting"));
    EXPECT_EQ(info.product, QString("KestVELQOR"));
    EXPECT_EQ(info.serialNumber, QString("KV0001"));
    EXPECT_NE(info.instanceId.find(bus.hidName()), std::string::npos);
}

TEST_F(HidrawTest, ANodeWithSeveralCollectionsIsOneDevice) {
    UsbIdentity identity = boardIdentity();
    // Two top-level collections, one feature report each.
    identity.reportDescriptor = {0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x15, 0x00,
                                 0x26, 0xFF, 0x00, 0x75, 0x08, 0x85, 0x01, 0x95, 0x2E,
                                 0xB1, 0x02, 0xC0, 0x06, 0x00, 0xFF, 0x09, 0x02, 0xA1,
                                 0x01, 0x85, 0x02, 0x95, 0x3B, 0xB1, 0x02, 0xC0};
    bus.plug(identity);
    EXPECT_EQ(backend.enumerate().size(), 1u);
}

TEST_F(HidrawTest, BootloaderOnTheBoardsNodeIsANewDeviceWithoutTheAbsentStrings) {
    bus.plug(boardIdentity());
    TJvHidDevice* held = connectBoard();
    ASSERT_NE(held, nullptr);

    // A firmware update: the board leaves, its bootloader takes the same node
    // before the program scans again.
    bus.unplug();
    bus.plug(bootloaderIdentity());
    const std::vector<HidDeviceInfo> devices = backend.enumerate();
    ASSERT_EQ(devices.size(), 1u);
    EXPECT_EQ(devices[0].path, held->Info().path);
    EXPECT_NE(devices[0].instanceId, held->Info().instanceId);
    EXPECT_EQ(devices[0].manufacturer, QString("Kest Lighting"));
    EXPECT_EQ(devices[0].product, std::nullopt);
    EXPECT_EQ(devices[0].serialNumber, std::nullopt);

    controller.scanNow();
    EXPECT_FALSE(held->PluggedIn());
    ASSERT_EQ(controller.deviceCount(), 2);
    QString product = "not visited";
    controller.setOnEnumerate([&](TJvHidDevice* device, int) {
        product = device->ProductString();
        return true;
    });
    EXPECT_EQ(controller.EnumeratePlugged(), 1);
    EXPECT_EQ(product, QString());
}

TEST_F(HidrawTest, ControllerReadsAllFourReportsAndWritesOne) {
    bus.plug(boardIdentity());
    TJvHidDevice* device = connectBoard();
    ASSERT_NE(device, nullptr);
    EXPECT_EQ(device->SerialNumberString(), "KV0001");

    std::vector<std::vector<std::uint8_t>> received;
    for (auto [id, length] : BoardReports) {
        std::vector<std::uint8_t> report(length);
        report[0] = id;
        ASSERT_TRUE(device->ReadFeature(report.data(), length)) << "report " << int(id);
        EXPECT_EQ(report[0], id);
        received.push_back(report);
    }
    // What the program got is what the board answered, byte for byte.
    EXPECT_EQ(received, bus.reportsRead());
    EXPECT_EQ(InfoBlock::decode(received[0].data() + 1).FirmwareVersion, 12);

    InfoBlock info = InfoBlock::decode(received[0].data() + 1);
    info.FanHigh = std::uint8_t(board.info().FanHigh ^ 0x55);
    std::vector<std::uint8_t> report{InfoBlock::ReportId};
    const auto payload = info.encode();
    report.insert(report.end(), payload.begin(), payload.end());
    ASSERT_TRUE(device->WriteFeature(report.data(), report.size()));
    EXPECT_EQ(bus.reportsWritten(), std::vector<std::vector<std::uint8_t>>{report});
    EXPECT_EQ(board.info().FanHigh, info.FanHigh);
}

TEST_F(HidrawTest, TransfersFailOnceTheBoardHasLeft) {
    bus.plug(boardIdentity());
    TJvHidDevice* device = connectBoard();
    ASSERT_NE(device, nullptr);
    std::uint8_t report[47] = {1};
    ASSERT_TRUE(device->ReadFeature(report, sizeof report));

    // The handle stays open until the next scan, and the node answers ENODEV.
    bus.unplug();
    EXPECT_FALSE(device->ReadFeature(report, sizeof report));
    HidOpenResult reopened = backend.open(device->Info());
    EXPECT_EQ(reopened.connection, nullptr);
    EXPECT_EQ(reopened.error, HidOpenError::Gone);
    controller.scanNow();
    EXPECT_FALSE(device->PluggedIn());
}

TEST_F(HidrawTest, UdevMonitorSeesTheBoardArriveAndLeave) {
    UdevMonitor monitor;
    ASSERT_TRUE(monitor.isActive());
    int notifications = 0;
    QObject::connect(&monitor, &DeviceChangeSource::deviceNodesChanged, [&] { ++notifications; });
    controller.addBackend(&backend);
    controller.addChangeSource(&monitor);
    controller.scanNow(true);
    ASSERT_EQ(controller.deviceCount(), 0);

    bus.plug(boardIdentity());
    ASSERT_TRUE(waitFor([&] { return notifications >= 1; }));
    letEventsSettle();
    EXPECT_EQ(notifications, 1) << "one notification for the hidraw node, none for its parents";
    ASSERT_EQ(controller.deviceCount(), 1) << "the notification rescanned";
    TJvHidDevice* device = controller.ClaimByIndex(0);
    ASSERT_NE(device, nullptr);

    bus.unplug();
    ASSERT_TRUE(waitFor([&] { return notifications >= 2; }));
    letEventsSettle();
    EXPECT_EQ(notifications, 2);
    EXPECT_FALSE(device->PluggedIn());
}

TEST_F(HidrawTest, ANodeThisUserMayNotOpenIsReportedAsSuch) {
    bus.plug(boardIdentity());
    // Root opens any file whatever its mode: without the override it is an
    // ordinary user facing a node that is not theirs.
    ASSERT_EQ(::chmod(bus.nodeFile().c_str(), 0), 0);
    const test::WithoutFileAccessOverride asOrdinaryUser;
    ASSERT_TRUE(asOrdinaryUser.ok());
    const QString systemMessage = QString::fromLocal8Bit(std::strerror(EACCES));

    const std::vector<HidDeviceInfo> devices = backend.enumerate();
    ASSERT_EQ(devices.size(), 1u);
    HidOpenResult opened = backend.open(devices[0]);
    EXPECT_EQ(opened.connection, nullptr);
    EXPECT_EQ(opened.error, HidOpenError::PermissionDenied);
    EXPECT_EQ(opened.message, systemMessage);

    // Through the controller: the board is still recognisable by its strings,
    // and the failed read says why.
    TJvHidDevice* device = connectBoard();
    ASSERT_NE(device, nullptr);
    std::uint8_t report[47] = {1};
    EXPECT_FALSE(device->ReadFeature(report, sizeof report));
    EXPECT_EQ(device->LastOpenError(), HidOpenError::PermissionDenied);
    EXPECT_EQ(device->LastOpenMessage(), systemMessage);
    EXPECT_TRUE(bus.reportsRead().empty());
}

} // namespace
} // namespace kv
