#pragma once

#include "device/hid_backend.h"

#include <QString>

namespace kv {

// The board a person chose among several: by its USB serial number or by its
// HID path, both as the system reports them and compared whole. An empty
// choice takes any device.
class DeviceChoice {
public:
    DeviceChoice() = default;
    explicit DeviceChoice(QString serialOrPath) : text_(std::move(serialOrPath)) {}

    bool isAny() const { return text_.isEmpty(); }
    const QString& text() const { return text_; }
    bool matches(const HidDeviceInfo& device) const;

private:
    QString text_;
};

} // namespace kv
