#pragma once

#include "device/hid_backend.h"

namespace kv {

// The operating system's HID devices through hidapi (the hidraw backend on
// Linux). The USB strings come from the enumeration: they need no open handle
// and no access rights to the device node.
class HidapiBackend : public HidBackend {
public:
    HidapiBackend();
    ~HidapiBackend() override;
    HidapiBackend(const HidapiBackend&) = delete;
    HidapiBackend& operator=(const HidapiBackend&) = delete;

    std::vector<HidDeviceInfo> enumerate() override;
    HidOpenResult open(const HidDeviceInfo& device) override;
};

// What a failed open of a device node means for the program, by the system's
// error number.
HidOpenError openErrorFromErrno(int error);

} // namespace kv
