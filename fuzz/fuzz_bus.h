#pragma once

// A HID bus for the fuzz targets: the devices on it, whether they open and
// every answer they give come from the fuzz input, and every report the
// program writes is checked against the rules of the board's protocol.
#include "fuzz_input.h"
#include "fuzz_target.h"

#include "device/hid_backend.h"
#include "device/records/chart_block.h"
#include "device/records/expert_block.h"
#include "device/records/info_block.h"
#include "device/records/schedule_line.h"
#include "text/product.h"

#include <map>
#include <memory>
#include <vector>

namespace kv::fuzz {

inline std::size_t reportSize(std::uint8_t id) {
    switch (id) {
    case InfoBlock::ReportId:
        return 1 + InfoBlock::Size;
    case ExpertBlock::ReportId:
        return 1 + ExpertBlock::Size;
    case ScheduleLine::ReportId:
        return 2 + ScheduleLine::Size;
    case ChartBlock::ReportId:
        return 1 + ChartBlock::Size;
    default:
        return 0;
    }
}

// The devices on the bus and every answer they give come from the input.
class FuzzBus : public HidBackend {
public:
    explicit FuzzBus(FuzzInput& input) : input_(input) {}

    bool boardPlugged = true;
    bool bootloaderPlugged = false;
    // The last payload handed out per report id, to compare with the records.
    std::map<std::uint8_t, std::vector<std::uint8_t>> delivered;
    // Set while the program sends a command on purpose.
    bool commandExpected = false;
    std::size_t scheduleSize = 0;

    std::vector<HidDeviceInfo> enumerate() override {
        std::vector<HidDeviceInfo> devices;
        if (boardPlugged)
            devices.push_back(device("board", QString::fromLatin1(product::Name)));
        if (bootloaderPlugged)
            devices.push_back(
                device("bootloader", input_.flag() ? QStringLiteral("0") : QString()));
        // Now and then a device with strings of the input's choosing.
        if (input_.byte() == 0xA5)
            devices.push_back(device("other", input_.text(24)));
        return devices;
    }

    HidOpenResult open(const HidDeviceInfo&) override {
        HidOpenResult result;
        switch (input_.byte()) {
        case 0xF0:
            result.error = HidOpenError::PermissionDenied;
            result.message = QStringLiteral("Permission denied");
            return result;
        case 0xF1:
            result.error = HidOpenError::Gone;
            return result;
        case 0xF2:
            result.error = HidOpenError::Other;
            return result;
        default:
            result.connection = std::make_unique<Connection>(*this);
            return result;
        }
    }

private:
    HidDeviceInfo device(const char* instance, const QString& productName) {
        HidDeviceInfo info;
        info.path = instance;
        info.instanceId = instance;
        info.vendorId = 0x4B56;
        info.productId = 1;
        info.manufacturer = QString::fromLatin1(product::ManufacturerString);
        info.product = productName;
        return info;
    }

    class Connection : public HidConnection {
    public:
        explicit Connection(FuzzBus& bus) : bus_(bus) {}

        bool getFeature(std::uint8_t* buffer, std::size_t length) override {
            KV_FUZZ_CHECK(length == reportSize(buffer[0]));
            if (bus_.input_.byte() == 0xFF)
                return false;
            bus_.input_.fill(buffer + 1, length - 1);
            bus_.delivered[buffer[0]].assign(buffer + 1, buffer + length);
            return true;
        }

        bool setFeature(const std::uint8_t* buffer, std::size_t length) override {
            const std::uint8_t id = buffer[0];
            KV_FUZZ_CHECK(id == InfoBlock::ReportId || id == ExpertBlock::ReportId ||
                          id == ScheduleLine::ReportId);
            KV_FUZZ_CHECK(length == reportSize(id));
            if (id == ScheduleLine::ReportId) {
                if (buffer[1] >= FirstCommandCode)
                    KV_FUZZ_CHECK(bus_.commandExpected);
                else
                    KV_FUZZ_CHECK(!bus_.commandExpected && buffer[1] < bus_.scheduleSize);
            }
            return bus_.input_.byte() != 0xFF;
        }

    private:
        FuzzBus& bus_;
    };

    FuzzInput& input_;
};

} // namespace kv::fuzz
