#pragma once

#include "device/device_session.h"
#include "device/hidapi_backend.h"
#include "device/udev_monitor.h"

namespace kv {

// The operating system's HID devices: hidapi for the devices themselves, the
// udev monitor for their coming and going.
class SystemDevices {
public:
    DeviceSource source() { return {&hidapi_, &udev_}; }

private:
    HidapiBackend hidapi_;
    UdevMonitor udev_;
};

} // namespace kv
