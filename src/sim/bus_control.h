#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>
#include <vector>

namespace kv::sim {

class SimBackend;

// What a test or a demonstration puts on the simulated bus from outside the
// program: the control file named by KESTVELQOR_SIM_CONTROL, one statement a
// line, read at start and again whenever it changes.
//
//   unplugged                          every simulated board is off the bus
//   unplugged SIM-0002 [SIM-0003 ...]  only the boards with these serial numbers
//   device "MAKER" ["PRODUCT" ["SERIAL"]]
//                                      one more HID device with these strings
//                                      (a string left out is one the device
//                                      does not give); it opens, but every
//                                      transfer fails
//   temperature 29.5 | temperature none
//                                      every board measures this water
//                                      temperature (°C), or has no sensor
//   voltage 11.2 | voltage none        every board measures this supply
//                                      voltage (V), or none
//
// A measurement keeps the value last set when its line goes away. Blank lines and lines starting
// with "#" are skipped, as is anything else. A board not named by an "unplugged" line is on the
// bus.
struct BusControl {
    struct Device {
        QString manufacturer;
        std::optional<QString> product;
        std::optional<QString> serial;
        bool operator==(const Device&) const = default;
    };

    bool allUnplugged = false;
    QStringList unplugged; // serial numbers
    std::vector<Device> devices;
    // Raw board values (0.1 °C, 0.01 V; NoValue for none), when set.
    std::optional<std::int16_t> waterTemp;
    std::optional<std::int16_t> inputVoltage;

    bool isUnplugged(const QString& serial) const;
    bool operator==(const BusControl&) const = default;
};

BusControl parseBusControl(const QString& text);

// Brings the bus from what the control said before to what it says now: a
// board whose line changed is unplugged or plugged in; the extra devices are
// replaced when their list changed. What the control did not change stays as
// the program left it (a board in its bootloader stays there).
void applyBusControl(SimBackend& backend, const BusControl& before, const BusControl& now);

} // namespace kv::sim
