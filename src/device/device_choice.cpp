#include "device/device_choice.h"

namespace kv {

bool DeviceChoice::matches(const HidDeviceInfo& device) const {
    if (isAny())
        return true;
    if (device.serialNumber && *device.serialNumber == text_)
        return true;
    return QString::fromStdString(device.path) == text_;
}

} // namespace kv
