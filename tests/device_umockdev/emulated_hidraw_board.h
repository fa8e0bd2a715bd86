#pragma once

// A board on an emulated USB bus: umockdev builds the sysfs tree of a USB HID
// device with its hidraw node /dev/hidraw0, answers the node's ioctls and
// sends the add and remove events of hotplug. The feature reports are
// answered by the two callables given, so any board model can sit behind the
// node. The process must run under umockdev's preload library.
//
// The ioctls are answered on umockdev's own worker thread while the calling
// thread waits inside its ioctl, so the callables never run at the same time
// as the code under test.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

typedef struct _UMockdevTestbed UMockdevTestbed;
typedef struct _UMockdevIoctlBase UMockdevIoctlBase;
typedef struct _UMockdevIoctlClient UMockdevIoctlClient;

namespace kv::test {

// What the USB device tells about itself; an absent string has no sysfs
// attribute, as on a real system.
struct UsbIdentity {
    std::uint16_t vendorId = 0x1209;
    std::uint16_t productId = 0x4B56;
    std::uint16_t release = 0x0112;
    std::optional<std::string> manufacturer;
    std::optional<std::string> product;
    std::optional<std::string> serial;
    // The HID report descriptor; empty for the board's own (one collection
    // with the feature reports 1 to 4).
    std::vector<std::uint8_t> reportDescriptor;
};

class EmulatedHidrawBoard {
public:
    using GetFeature = std::function<bool(std::uint8_t* buffer, std::size_t length)>;
    using SetFeature = std::function<bool(const std::uint8_t* buffer, std::size_t length)>;

    static constexpr const char* NodePath = "/dev/hidraw0";

    EmulatedHidrawBoard(GetFeature getFeature, SetFeature setFeature);
    ~EmulatedHidrawBoard();
    EmulatedHidrawBoard(const EmulatedHidrawBoard&) = delete;
    EmulatedHidrawBoard& operator=(const EmulatedHidrawBoard&) = delete;

    // Whether this process runs under umockdev's preload library.
    static bool preloadActive();

    // Puts the device on the bus (add events for each level of the tree). Each
    // plug is a new device for the kernel: its HID device gets the next
    // sequence number, as on a real system.
    void plug(const UsbIdentity& identity);
    // Takes it off the bus: open handles answer ENODEV from here on.
    void unplug();
    bool plugged() const { return !usbPath_.empty(); }

    // The file that stands for /dev/hidraw0 inside the testbed.
    std::string nodeFile() const;
    // The kernel's name of the current HID device, "0003:1209:4B56.0001".
    std::string hidName() const { return hidName_; }

    // Every feature report answered or received, in order, with its report id
    // first and at its full length.
    std::vector<std::vector<std::uint8_t>> reportsRead() const;
    std::vector<std::vector<std::uint8_t>> reportsWritten() const;

private:
    static int onIoctl(UMockdevIoctlBase* handler, UMockdevIoctlClient* client, void* self);
    void answer(UMockdevIoctlClient* client);

    GetFeature getFeature_;
    SetFeature setFeature_;
    UMockdevTestbed* testbed_ = nullptr;
    UMockdevIoctlBase* handler_ = nullptr;
    std::string usbPath_, interfacePath_, hidPath_, hidrawPath_;
    std::string hidName_;
    int sequence_ = 0;

    mutable std::mutex mutex_; // guards what the worker thread touches
    bool gone_ = true;
    std::vector<std::uint8_t> descriptor_;
    std::vector<std::vector<std::uint8_t>> read_, written_;
};

} // namespace kv::test
