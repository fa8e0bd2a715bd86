#pragma once

namespace kv {

class DeviceChangeSource;
class HidBackend;

// Where HID devices come from: a backend that lists and opens them, and the
// notifications that they came or went (either may be null).
struct DeviceSource {
    HidBackend* backend = nullptr;
    DeviceChangeSource* changes = nullptr;
};

} // namespace kv
