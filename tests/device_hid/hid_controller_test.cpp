#include "device/hid_controller.h"
#include "fake_hid_backend.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <array>

namespace kv {
namespace {

using test::FakeHidBackend;

// A controller over one fake backend, with the initial scan already run the
// way the event loop runs it.
class ControllerTest : public ::testing::Test {
protected:
    void SetUp() override {
        controller.addBackend(&backend);
        QObject::connect(&controller, &TJvHidDeviceController::OnDeviceChange,
                         [this] { ++changes; });
    }

    void startEventLoop() { QCoreApplication::processEvents(); }

    // Every device the next EnumeratePlugged visits, as (instance, index).
    std::vector<std::pair<std::string, int>> visit() {
        std::vector<std::pair<std::string, int>> seen;
        controller.setOnEnumerate([&seen](TJvHidDevice* device, int index) {
            seen.emplace_back(device->Info().instanceId, index);
            return true;
        });
        controller.EnumeratePlugged();
        controller.setOnEnumerate({});
        return seen;
    }

    FakeHidBackend backend;
    TJvHidDeviceController controller;
    int changes = 0;
};

using Visits = std::vector<std::pair<std::string, int>>;

TEST_F(ControllerTest, InitialScanRunsOnceTheEventLoopRunsAndReportsEvenWithoutDevices) {
    EXPECT_EQ(changes, 0) << "no scan while the owner is being built";
    EXPECT_EQ(backend.enumerateCalls, 0);
    startEventLoop();
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(controller.deviceCount(), 0);

    // Later notifications that find nothing new report nothing.
    controller.deviceNodesChanged();
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(backend.enumerateCalls, 2);
}

TEST_F(ControllerTest, InitialScanRunByHandReplacesThePostedOne) {
    backend.plug(FakeHidBackend::device("board", "Kest Lighting", "KestVELQOR"));
    controller.scanNow(true);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(controller.deviceCount(), 1);
    startEventLoop();
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(backend.enumerateCalls, 1);
}

TEST_F(ControllerTest, ListFollowsTheScanOrderOverAllBackends) {
    FakeHidBackend second;
    controller.addBackend(&second);
    backend.plug(FakeHidBackend::device("a", "X", "A"));
    backend.plug(FakeHidBackend::device("b", "X", "B"));
    second.plug(FakeHidBackend::device("sim", "Kest Lighting", "KestVELQOR"));
    startEventLoop();
    EXPECT_EQ(visit(), (Visits{{"a", 0}, {"b", 1}, {"sim", 2}}));

    // A device arriving later is appended; one leaving closes the gap.
    backend.plug(FakeHidBackend::device("c", "X", "C"));
    backend.unplug("a");
    controller.deviceNodesChanged();
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(visit(), (Visits{{"b", 0}, {"sim", 1}, {"c", 2}}));
}

TEST_F(ControllerTest, SameInstanceIdIsTheSameDeviceAcrossScansEvenWithOtherStrings) {
    backend.plug(FakeHidBackend::device("board", "Kest Lighting", "KestVELQOR"));
    startEventLoop();
    TJvHidDevice* before = controller.deviceAt(0);
    backend.present[0].product = QStringLiteral("changed");
    controller.deviceNodesChanged();
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(controller.deviceAt(0), before);
}

TEST_F(ControllerTest, ANewInstanceOnTheSamePathIsANewDevice) {
    // The board leaves and its bootloader takes over the node between two
    // scans: the held board becomes unplugged, the bootloader is new.
    backend.plug(FakeHidBackend::device("board", "Kest Lighting", "KestVELQOR"));
    startEventLoop();
    TJvHidDevice* board = controller.ClaimByIndex(0);
    ASSERT_NE(board, nullptr);

    HidDeviceInfo loader = FakeHidBackend::device("loader", "Kest Lighting", nullptr);
    loader.path = backend.present[0].path;
    backend.present = {loader};
    controller.deviceNodesChanged();

    EXPECT_EQ(changes, 2);
    EXPECT_FALSE(board->PluggedIn());
    ASSERT_EQ(controller.deviceCount(), 2);
    EXPECT_EQ(controller.deviceAt(0), board);
    EXPECT_EQ(visit(), (Visits{{"loader", 1}}));
}

TEST_F(ControllerTest, ClaimedThenUnpluggedStaysListedUntilReleased) {
    backend.plug(FakeHidBackend::device("a", "X", "A"));
    backend.plug(FakeHidBackend::device("board", "Kest Lighting", "KestVELQOR"));
    backend.plug(FakeHidBackend::device("c", "X", "C"));
    startEventLoop();
    TJvHidDevice* board = controller.ClaimByIndex(1);
    ASSERT_NE(board, nullptr);

    backend.unplug("board");
    controller.deviceNodesChanged();
    EXPECT_EQ(changes, 2);
    EXPECT_FALSE(board->PluggedIn());
    EXPECT_TRUE(board->Claimed());
    EXPECT_EQ(controller.deviceAt(1), board);
    EXPECT_EQ(visit(), (Visits{{"a", 0}, {"c", 2}}));

    // Still held and unplugged: a further scan changes nothing.
    controller.deviceNodesChanged();
    EXPECT_EQ(changes, 2);

    controller.Release(board);
    EXPECT_EQ(controller.deviceCount(), 2);
    EXPECT_EQ(visit(), (Visits{{"a", 0}, {"c", 1}}));
}

TEST_F(ControllerTest, ReleasingAPluggedDeviceKeepsItsPlaceUnclaimed) {
    backend.plug(FakeHidBackend::device("a", "X", "A"));
    backend.plug(FakeHidBackend::device("board", "Kest Lighting", "KestVELQOR"));
    startEventLoop();
    TJvHidDevice* board = controller.ClaimByIndex(1);
    ASSERT_NE(board, nullptr);
    controller.Release(board);

    EXPECT_EQ(visit(), (Visits{{"a", 0}, {"board", 1}}));
    EXPECT_FALSE(controller.deviceAt(1)->Claimed());
    EXPECT_NE(controller.ClaimByIndex(1), nullptr) << "it can be claimed again";
}

TEST_F(ControllerTest, ClaimByIndexRefusesOutsideTheListAndTwice) {
    backend.plug(FakeHidBackend::device("a", "X", "A"));
    startEventLoop();
    EXPECT_EQ(controller.ClaimByIndex(-1), nullptr);
    EXPECT_EQ(controller.ClaimByIndex(1), nullptr);
    TJvHidDevice* first = controller.ClaimByIndex(0);
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(first->Claimed());
    EXPECT_EQ(controller.ClaimByIndex(0), nullptr);
}

TEST_F(ControllerTest, EnumeratePluggedVisitsClaimedDevicesAndStopsWhenAsked) {
    for (const char* id : {"a", "b", "c"})
        backend.plug(FakeHidBackend::device(id, "X", id));
    startEventLoop();
    controller.ClaimByIndex(0);
    EXPECT_EQ(visit(), (Visits{{"a", 0}, {"b", 1}, {"c", 2}}));

    int calls = 0;
    controller.setOnEnumerate([&calls](TJvHidDevice*, int index) {
        ++calls;
        return index < 1;
    });
    EXPECT_EQ(controller.EnumeratePlugged(), 2);
    EXPECT_EQ(calls, 2);
}

TEST_F(ControllerTest, ANotificationDuringAScanBringsOneMoreScanAfterIt) {
    startEventLoop();
    backend.plug(FakeHidBackend::device("a", "X", "A"));
    // The change handler sees another device arrive and is told so while the
    // scan still runs (as a nested event loop would deliver it).
    int told = 0;
    QObject::connect(&controller, &TJvHidDeviceController::OnDeviceChange, [&] {
        if (backend.present.size() == 1) {
            backend.plug(FakeHidBackend::device("b", "X", "B"));
            controller.deviceNodesChanged();
            controller.deviceNodesChanged();
            ++told;
        }
    });
    controller.deviceNodesChanged();
    EXPECT_EQ(told, 1);
    // The list did not change under the running scan; the one more scan
    // (however many notifications came) found the second device without
    // another event.
    EXPECT_EQ(backend.enumerateCalls, 3);
    EXPECT_EQ(controller.deviceCount(), 2);
    startEventLoop();
    EXPECT_EQ(backend.enumerateCalls, 3);
}

TEST_F(ControllerTest, ANotificationDuringAVisitBringsAScanAfterIt) {
    backend.plug(FakeHidBackend::device("a", "X", "A"));
    startEventLoop();
    backend.unplug("a");
    controller.setOnEnumerate([this](TJvHidDevice* device, int) {
        // As a nested event loop of a long handler would deliver it.
        controller.deviceNodesChanged();
        EXPECT_TRUE(device->PluggedIn()) << "the list stays as it is during the visit";
        return true;
    });
    EXPECT_EQ(controller.EnumeratePlugged(), 1);
    EXPECT_EQ(backend.enumerateCalls, 1);
    controller.setOnEnumerate({});
    // After the visit, from the event loop: the device that left is seen.
    startEventLoop();
    EXPECT_EQ(backend.enumerateCalls, 2);
    EXPECT_EQ(controller.deviceCount(), 0);
}

class TransferTest : public ControllerTest {
protected:
    void SetUp() override {
        ControllerTest::SetUp();
        backend.plug(FakeHidBackend::device("board", "Kest Lighting", "KestVELQOR", "S1"));
        startEventLoop();
        device = controller.deviceAt(0);
    }
    FakeHidBackend::Counters& counters() { return backend.counters["board"]; }

    TJvHidDevice* device = nullptr;
    std::array<std::uint8_t, 47> report{};
};

TEST_F(TransferTest, UnclaimedDeviceOutsideAVisitRefusesEverything) {
    report[0] = 1;
    EXPECT_FALSE(device->ReadFeature(report.data(), report.size()));
    EXPECT_FALSE(device->WriteFeature(report.data(), report.size()));
    EXPECT_EQ(device->ManufacturerString(), QString());
    EXPECT_EQ(device->ProductString(), QString());
    EXPECT_EQ(device->SerialNumberString(), QString());
    EXPECT_EQ(counters().opens, 0);
}

TEST_F(TransferTest, AVisitAllowsTransfersAndClosesTheHandleOfAnUnclaimedDevice) {
    controller.setOnEnumerate([this](TJvHidDevice* visited, int) {
        report[0] = 1;
        EXPECT_TRUE(visited->ReadFeature(report.data(), report.size()));
        EXPECT_TRUE(visited->ReadFeature(report.data(), report.size()));
        EXPECT_EQ(visited->ManufacturerString(), "Kest Lighting");
        return true;
    });
    controller.EnumeratePlugged();
    EXPECT_EQ(counters().reads, 2);
    EXPECT_EQ(counters().opens, 1) << "successive transfers share one handle";
    EXPECT_EQ(counters().closes, 1);
    EXPECT_EQ(report[46], 1 + 46);
    EXPECT_FALSE(device->ReadFeature(report.data(), report.size()));
}

TEST_F(TransferTest, ClaimedDeviceKeepsItsHandleUntilReleasedOrUnplugged) {
    controller.setOnEnumerate([this](TJvHidDevice*, int index) {
        controller.ClaimByIndex(index);
        return true;
    });
    controller.EnumeratePlugged();
    ASSERT_TRUE(device->Claimed());

    report[0] = 2;
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(device->WriteFeature(report.data(), report.size()));
    EXPECT_EQ(device->SerialNumberString(), "S1");
    EXPECT_EQ(counters().writes, 3);
    EXPECT_EQ(counters().lastWritten.size(), report.size());
    EXPECT_EQ(counters().opens, 1);
    EXPECT_EQ(counters().closes, 0) << "a string fetch leaves the transfer handle alone";

    backend.unplug("board");
    controller.deviceNodesChanged();
    EXPECT_EQ(counters().closes, 1);
    EXPECT_FALSE(device->ReadFeature(report.data(), report.size()));
    EXPECT_EQ(device->ProductString(), QString());
    EXPECT_EQ(counters().opens, 1);
}

TEST_F(TransferTest, ReleaseClosesTheHandle) {
    TJvHidDevice* claimed = controller.ClaimByIndex(0);
    report[0] = 3;
    EXPECT_TRUE(claimed->ReadFeature(report.data(), report.size()));
    controller.Release(claimed);
    EXPECT_EQ(counters().closes, 1);
    EXPECT_FALSE(device->ReadFeature(report.data(), report.size()));
}

TEST_F(TransferTest, BadArgumentsFailWithoutOpening) {
    controller.ClaimByIndex(0);
    EXPECT_FALSE(device->ReadFeature(nullptr, 47));
    EXPECT_FALSE(device->WriteFeature(report.data(), 0));
    EXPECT_EQ(counters().opens, 0);
}

TEST_F(TransferTest, AnOpenFailureIsRecordedWithItsCause) {
    controller.ClaimByIndex(0);
    backend.refuse["board"] = HidOpenError::PermissionDenied;
    report[0] = 1;
    EXPECT_FALSE(device->ReadFeature(report.data(), report.size()));
    EXPECT_EQ(device->LastOpenError(), HidOpenError::PermissionDenied);
    EXPECT_EQ(device->LastOpenMessage(), "Permission denied");
    // The strings still come from the enumeration, so discovery can tell
    // whose device it is.
    EXPECT_EQ(device->ManufacturerString(), "Kest Lighting");

    backend.refuse.clear();
    EXPECT_TRUE(device->ReadFeature(report.data(), report.size()));
    EXPECT_EQ(device->LastOpenError(), HidOpenError::None);
    EXPECT_EQ(device->LastOpenMessage(), QString());
}

TEST_F(ControllerTest, AMissingStringIsAskedForAgainAndAGivenOneIsKept) {
    backend.plug(FakeHidBackend::device("board", "Kest Lighting", nullptr, ""));
    startEventLoop();
    TJvHidDevice* board = controller.ClaimByIndex(0);
    EXPECT_EQ(board->ProductString(), QString());
    EXPECT_EQ(board->SerialNumberString(), QString());
    EXPECT_EQ(board->ManufacturerString(), "Kest Lighting");

    // The next scan gets the strings the device did not give before, and
    // another manufacturer string for the same device node.
    backend.present[0].product = QStringLiteral("KestVELQOR");
    backend.present[0].serialNumber = QStringLiteral("S1");
    backend.present[0].manufacturer = QStringLiteral("Other");
    controller.deviceNodesChanged();
    EXPECT_EQ(board->ProductString(), "KestVELQOR");
    EXPECT_EQ(board->SerialNumberString(), "S1");
    EXPECT_EQ(board->ManufacturerString(), "Kest Lighting");
}

TEST_F(ControllerTest, ReleasingAnUnpluggedDeviceDuringAVisitKeepsTheIndicesOfTheVisit) {
    for (const char* id : {"gone", "b", "c"})
        backend.plug(FakeHidBackend::device(id, "X", id));
    startEventLoop();
    TJvHidDevice* gone = controller.ClaimByIndex(0);
    backend.unplug("gone");
    controller.deviceNodesChanged();

    Visits seen;
    controller.setOnEnumerate([&](TJvHidDevice* device, int index) {
        if (gone) {
            controller.Release(gone);
            gone = nullptr;
        }
        seen.emplace_back(device->Info().instanceId, index);
        EXPECT_EQ(controller.deviceAt(index), device);
        return true;
    });
    controller.EnumeratePlugged();
    EXPECT_EQ(seen, (Visits{{"b", 1}, {"c", 2}}));
    EXPECT_EQ(controller.deviceCount(), 2) << "it leaves the list once the visit is over";
}

} // namespace
} // namespace kv
