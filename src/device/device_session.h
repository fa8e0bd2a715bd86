#pragma once

#include <QObject>

#include <memory>

namespace kv {

class BoardLink;
class Discovery;
class Poller;
class Reporter;
class TJvHidDeviceController;
namespace sim {
class SimBackend;
}

// Everything the program needs to find and talk to the board, composed once
// for the window and for the command-line tool: the HID controller over the
// operating system's devices (and the simulator with --simulate), the board
// link with its records, discovery and polling.
class DeviceSession : public QObject {
    Q_OBJECT
public:
    struct Options {
        bool simulate = false;     // put the simulated board on the device list
        bool systemDevices = true; // look at the operating system's HID devices
    };

    DeviceSession(Reporter& reporter, Options options, QObject* parent = nullptr);
    ~DeviceSession() override;

    TJvHidDeviceController& controller();
    BoardLink& link();
    Discovery& discovery();
    Poller& poller();
    // The simulated devices; null without --simulate.
    sim::SimBackend* simulator();

private:
    struct Parts;
    std::unique_ptr<Parts> parts_;
};

} // namespace kv
