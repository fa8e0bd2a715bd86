#include "device/device_session.h"

#include "device/board_link.h"
#include "device/discovery.h"
#include "device/hid_controller.h"
#include "device/poller.h"

namespace kv {

struct DeviceSession::Parts {
    // Declared in the order of their dependencies; destroyed in reverse.
    TJvHidDeviceController controller;
    BoardLink link;
    std::unique_ptr<Discovery> discovery;
    std::unique_ptr<Poller> poller;
};

DeviceSession::DeviceSession(Reporter& reporter, const std::vector<DeviceSource>& sources,
                             QObject* parent)
    : QObject(parent), parts_(std::make_unique<Parts>()) {
    for (const DeviceSource& source : sources) {
        if (source.backend)
            parts_->controller.addBackend(source.backend);
        if (source.changes)
            parts_->controller.addChangeSource(source.changes);
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

const BoardLink& DeviceSession::link() const {
    return parts_->link;
}

const Discovery& DeviceSession::discovery() const {
    return *parts_->discovery;
}

const Poller& DeviceSession::poller() const {
    return *parts_->poller;
}

} // namespace kv
