#pragma once

#include "device/device_source.h"

#include <QObject>

#include <memory>
#include <vector>

namespace kv {

class BoardLink;
class Discovery;
class Poller;
class Reporter;
class TJvHidDeviceController;

// Everything the program needs to find and talk to the board, composed once
// for the window and for the command-line tool: the HID controller over the
// sources it is given, the board link with its records, discovery and
// polling. The sources belong to the caller and must outlive the session.
class DeviceSession : public QObject {
    Q_OBJECT
public:
    DeviceSession(Reporter& reporter, const std::vector<DeviceSource>& sources,
                  QObject* parent = nullptr);
    ~DeviceSession() override;

    TJvHidDeviceController& controller();
    BoardLink& link();
    const BoardLink& link() const;
    Discovery& discovery();
    const Discovery& discovery() const;
    Poller& poller();
    const Poller& poller() const;

private:
    struct Parts;
    std::unique_ptr<Parts> parts_;
};

} // namespace kv
