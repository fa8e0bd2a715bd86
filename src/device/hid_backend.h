#pragma once

#include <QObject>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kv {

// One HID interface as a backend lists it.
struct HidDeviceInfo {
    std::string path;       // what open() takes
    std::string instanceId; // identity of the device node: equal ids are the same device
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
    std::uint16_t releaseNumber = 0;
    // The USB strings as enumeration gives them; nothing where the device has
    // none.
    std::optional<QString> manufacturer;
    std::optional<QString> product;
    std::optional<QString> serialNumber;
};

// An open HID interface. Buffers start with the report id; lengths count it.
class HidConnection {
public:
    virtual ~HidConnection() = default;
    virtual bool getFeature(std::uint8_t* buffer, std::size_t length) = 0;
    virtual bool setFeature(const std::uint8_t* buffer, std::size_t length) = 0;
};

enum class HidOpenError {
    None,
    PermissionDenied, // the device node exists but this user may not open it
    Gone,             // the device is no longer there
    Other,
};

struct HidOpenResult {
    std::unique_ptr<HidConnection> connection; // null on failure
    HidOpenError error = HidOpenError::None;
    QString message; // the system's error text on failure
};

// A source of HID devices: the operating system (through hidapi) or the
// simulator.
class HidBackend {
public:
    virtual ~HidBackend() = default;
    virtual std::vector<HidDeviceInfo> enumerate() = 0;
    virtual HidOpenResult open(const HidDeviceInfo& device) = 0;
};

// Tells that HID device nodes may have come or gone; each signal starts one
// scan of the controller.
class DeviceChangeSource : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
signals:
    void deviceNodesChanged();
};

} // namespace kv
