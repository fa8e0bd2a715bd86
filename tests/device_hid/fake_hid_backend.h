#pragma once

// A HID backend whose devices a test puts on and takes off the bus. Its
// connections answer feature reads with a pattern and count opens and closes.

#include "device/hid_backend.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace kv::test {

class FakeHidBackend : public HidBackend {
public:
    struct Counters {
        int opens = 0;
        int closes = 0;
        int reads = 0;
        int writes = 0;
        std::vector<std::uint8_t> lastWritten;
    };

    static HidDeviceInfo device(const std::string& instance, const char* manufacturer,
                                const char* product, const char* serial = nullptr) {
        HidDeviceInfo info;
        info.path = "/dev/fake/" + instance;
        info.instanceId = instance;
        info.vendorId = 0x1209;
        info.productId = 0x4B56;
        if (manufacturer)
            info.manufacturer = QString::fromUtf8(manufacturer);
        if (product)
            info.product = QString::fromUtf8(product);
        if (serial)
            info.serialNumber = QString::fromUtf8(serial);
        return info;
    }

    void plug(HidDeviceInfo info) { present.push_back(std::move(info)); }
    void unplug(const std::string& instance) {
        std::erase_if(present, [&](const HidDeviceInfo& d) { return d.instanceId == instance; });
    }

    std::vector<HidDeviceInfo> enumerate() override {
        ++enumerateCalls;
        return present;
    }

    HidOpenResult open(const HidDeviceInfo& info) override {
        HidOpenResult result;
        if (auto refusal = refuse.find(info.instanceId); refusal != refuse.end()) {
            result.error = refusal->second;
            result.message = QStringLiteral("Permission denied");
            return result;
        }
        result.connection = std::make_unique<Connection>(counters[info.instanceId]);
        return result;
    }

    std::vector<HidDeviceInfo> present;
    std::map<std::string, HidOpenError> refuse;
    std::map<std::string, Counters> counters;
    int enumerateCalls = 0;

private:
    class Connection : public HidConnection {
    public:
        explicit Connection(Counters& counters) : counters_(counters) { ++counters_.opens; }
        ~Connection() override { ++counters_.closes; }
        bool getFeature(std::uint8_t* buffer, std::size_t length) override {
            ++counters_.reads;
            for (std::size_t i = 1; i < length; ++i)
                buffer[i] = std::uint8_t(buffer[0] + i);
            return true;
        }
        bool setFeature(const std::uint8_t* buffer, std::size_t length) override {
            ++counters_.writes;
            counters_.lastWritten.assign(buffer, buffer + length);
            return true;
        }

    private:
        Counters& counters_;
    };
};

} // namespace kv::test
