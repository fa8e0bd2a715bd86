#include "device/device_session.h"

#include "device/board_link.h"
#include "device/discovery.h"
#include "device/hid_controller.h"
#include "device/hidapi_backend.h"
#include "device/poller.h"
#include "device/udev_monitor.h"
#include "sim/sim_backend.h"

namespace kv {

struct DeviceSession::Parts {
    // Declared in the order of their dependencies; destroyed in reverse.
    std::unique_ptr<HidapiBackend> hidapi;
    std::unique_ptr<UdevMonitor> udev;
    std::unique_ptr<sim::SimBackend> simulator;
    TJvHidDeviceController controller;
    BoardLink link;
    std::unique_ptr<Discovery> discovery;
    std::unique_ptr<Poller> poller;
};

DeviceSession::DeviceSession(Reporter& reporter, Options options, QObject* parent)
    : QObject(parent), parts_(std::make_unique<Parts>()) {
    if (options.systemDevices) {
        parts_->hidapi = std::make_unique<HidapiBackend>();
        parts_->udev = std::make_unique<UdevMonitor>();
        parts_->controller.addBackend(parts_->hidapi.get());
        parts_->controller.addChangeSource(parts_->udev.get());
    }
    if (options.simulate) {
        parts_->simulator = std::make_unique<sim::SimBackend>();
        parts_->controller.addBackend(parts_->simulator.get());
        parts_->controller.addChangeSource(parts_->simulator.get());
    }
    parts_->discovery = std::make_unique<Discovery>(parts_->controller, parts_->link, reporter);
    parts_->poller = std::make_unique<Poller>(parts_->link);
    connect(parts_->discovery.get(), &Discovery::boardConnected, parts_->poller.get(),
            &Poller::start);
    connect(parts_->discovery.get(), &Discovery::boardGone, parts_->poller.get(), &Poller::stop);
}

DeviceSession::~DeviceSession() = default;

TJvHidDeviceController& DeviceSession::controller() {
    return parts_->controller;
}

BoardLink& DeviceSession::link() {
    return parts_->link;
}

Discovery& DeviceSession::discovery() {
    return *parts_->discovery;
}

Poller& DeviceSession::poller() {
    return *parts_->poller;
}

sim::SimBackend* DeviceSession::simulator() {
    return parts_->simulator.get();
}

} // namespace kv
