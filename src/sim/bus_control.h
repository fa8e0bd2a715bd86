#pragma once

#include <QString>
#include <QStringList>

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
//
// Blank lines and lines starting with "#" are skipped, as is anything else.
// A board not named by an "unplugged" line is on the bus.
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
