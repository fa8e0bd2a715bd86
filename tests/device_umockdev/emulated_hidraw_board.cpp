#include "emulated_hidraw_board.h"

// GLib headers only: Qt's keyword macros clash with them.
#include <umockdev.h>

#include <linux/hidraw.h>
#include <sys/ioctl.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <unistd.h>

namespace kv::test {

namespace {

// One vendor-defined collection with the four feature reports of the board:
// ids 1 to 4 with 46, 59, 16 and 80 data bytes.
const std::vector<std::uint8_t> BoardReportDescriptor = {
    0x06, 0x00, 0xFF,                               // usage page (vendor defined)
    0x09, 0x01,                                     // usage 1
    0xA1, 0x01,                                     // collection (application)
    0x15, 0x00,                                     //   logical minimum 0
    0x26, 0xFF, 0x00,                               //   logical maximum 255
    0x75, 0x08,                                     //   report size 8
    0x85, 0x01, 0x95, 0x2E, 0x09, 0x01, 0xB1, 0x02, // report 1: 46 bytes, feature
    0x85, 0x02, 0x95, 0x3B, 0x09, 0x02, 0xB1, 0x02, // report 2: 59 bytes
    0x85, 0x03, 0x95, 0x10, 0x09, 0x03, 0xB1, 0x02, // report 3: 16 bytes
    0x85, 0x04, 0x95, 0x50, 0x09, 0x04, 0xB1, 0x02, // report 4: 80 bytes
    0xC0,                                           // end collection
};

std::string hex(const std::vector<std::uint8_t>& bytes) {
    std::string text;
    char digits[3];
    for (std::uint8_t byte : bytes) {
        std::snprintf(digits, sizeof digits, "%02X", byte);
        text += digits;
    }
    return text;
}

std::string hex4(std::uint16_t value) {
    char digits[5];
    std::snprintf(digits, sizeof digits, "%04x", value);
    return digits;
}

std::string HEX4(std::uint16_t value) {
    char digits[5];
    std::snprintf(digits, sizeof digits, "%04X", value);
    return digits;
}

// Attribute values of the record format escape backslashes and newlines.
std::string attribute(const char* name, const std::optional<std::string>& value) {
    if (!value)
        return {};
    std::string escaped;
    for (char c : *value) {
        if (c == '\\')
            escaped += "\\\\";
        else if (c == '\n')
            escaped += "\\n";
        else
            escaped += c;
    }
    return std::string("A: ") + name + "=" + escaped + "\n";
}

void fail(const char* what, GError* error) {
    std::string message = std::string(what) + ": " + (error ? error->message : "failed");
    if (error)
        g_error_free(error);
    throw std::runtime_error(message);
}

} // namespace

EmulatedHidrawBoard::EmulatedHidrawBoard(GetFeature getFeature, SetFeature setFeature)
    : getFeature_(std::move(getFeature)), setFeature_(std::move(setFeature)) {
    if (!preloadActive())
        throw std::runtime_error("not running under libumockdev-preload.so.0");
    testbed_ = umockdev_testbed_new();
    handler_ = umockdev_ioctl_base_new();
    g_signal_connect(handler_, "handle-ioctl", G_CALLBACK(&EmulatedHidrawBoard::onIoctl), this);
    // Attached before the node exists, so that a program opening it on the
    // add event is answered.
    GError* error = nullptr;
    if (!umockdev_testbed_attach_ioctl(testbed_, NodePath, handler_, &error))
        fail("attaching the ioctl handler", error);
}

EmulatedHidrawBoard::~EmulatedHidrawBoard() {
    if (plugged())
        unplug();
    umockdev_testbed_detach_ioctl(testbed_, NodePath, nullptr);
    g_object_unref(handler_);
    g_object_unref(testbed_);
}

bool EmulatedHidrawBoard::preloadActive() {
    const char* preload = std::getenv("LD_PRELOAD");
    return preload && std::strstr(preload, "libumockdev-preload");
}

void EmulatedHidrawBoard::plug(const UsbIdentity& identity) {
    if (plugged())
        unplug();
    ++sequence_;
    char sequence[6];
    std::snprintf(sequence, sizeof sequence, ".%04X", sequence_ & 0xFFFF);
    hidName_ = "0003:" + HEX4(identity.vendorId) + ":" + HEX4(identity.productId) + sequence;

    const std::string usb = "/devices/pci0000:00/0000:00:14.0/usb1/1-1";
    const std::string interface = usb + "/1-1:1.0";
    const std::string hid = interface + "/" + hidName_;
    const std::string hidraw = hid + "/hidraw/hidraw0";
    const std::vector<std::uint8_t>& descriptor =
        identity.reportDescriptor.empty() ? BoardReportDescriptor : identity.reportDescriptor;
    const std::string name =
        identity.manufacturer.value_or("") + " " + identity.product.value_or("");

    std::string record;
    record += "P: " + usb + "\nE: SUBSYSTEM=usb\nE: DEVTYPE=usb_device\n";
    record += "A: idVendor=" + hex4(identity.vendorId) + "\n";
    record += "A: idProduct=" + hex4(identity.productId) + "\n";
    record += "A: bcdDevice=" + hex4(identity.release) + "\n";
    record += attribute("manufacturer", identity.manufacturer);
    record += attribute("product", identity.product);
    record += attribute("serial", identity.serial);
    record += "\nP: " + interface + "\nE: SUBSYSTEM=usb\nE: DEVTYPE=usb_interface\n";
    record += "A: bInterfaceNumber=00\n";
    record += "\nP: " + hid + "\nE: SUBSYSTEM=hid\n";
    record +=
        "E: HID_ID=0003:0000" + HEX4(identity.vendorId) + ":0000" + HEX4(identity.productId) + "\n";
    record += "E: HID_NAME=" + name + "\n";
    record += "E: HID_UNIQ=" + identity.serial.value_or("") + "\n";
    record += "H: report_descriptor=" + hex(descriptor) + "\n";
    record += "\nP: " + hidraw + "\nN: hidraw0=00\nE: SUBSYSTEM=hidraw\n";
    record += "E: DEVNAME=/dev/hidraw0\nE: MAJOR=243\nE: MINOR=0\nA: dev=243:0\n";
    record += "L: device=../../../" + hidName_ + "\n";

    {
        std::lock_guard lock(mutex_);
        gone_ = false;
        descriptor_ = descriptor;
    }
    GError* error = nullptr;
    if (!umockdev_testbed_add_from_string(testbed_, record.c_str(), &error))
        fail("adding the device", error);
    usbPath_ = "/sys" + usb;
    interfacePath_ = "/sys" + interface;
    hidPath_ = "/sys" + hid;
    hidrawPath_ = "/sys" + hidraw;
}

void EmulatedHidrawBoard::unplug() {
    if (!plugged())
        return;
    // As the kernel does it: the node disappears from enumeration, open
    // handles fail, then the remove events run from the leaf up.
    gchar* sys = umockdev_testbed_get_sys_dir(testbed_);
    const std::string classLink = std::string(sys) + "/class/hidraw/hidraw0";
    g_free(sys);
    ::unlink(classLink.c_str());
    {
        std::lock_guard lock(mutex_);
        gone_ = true;
    }
    const std::string* leafFirst[] = {&hidrawPath_, &hidPath_, &interfacePath_, &usbPath_};
    for (const std::string* path : leafFirst)
        umockdev_testbed_uevent(testbed_, path->c_str(), "remove");
    // One level at a time: removing only the top would leave the links of
    // the levels below behind, and the next plug could not add them again.
    for (const std::string* path : leafFirst)
        umockdev_testbed_remove_device(testbed_, path->c_str());
    usbPath_.clear();
}

std::string EmulatedHidrawBoard::nodeFile() const {
    gchar* root = umockdev_testbed_get_root_dir(testbed_);
    std::string file = std::string(root) + NodePath;
    g_free(root);
    return file;
}

std::vector<std::vector<std::uint8_t>> EmulatedHidrawBoard::reportsRead() const {
    std::lock_guard lock(mutex_);
    return read_;
}

std::vector<std::vector<std::uint8_t>> EmulatedHidrawBoard::reportsWritten() const {
    std::lock_guard lock(mutex_);
    return written_;
}

int EmulatedHidrawBoard::onIoctl(UMockdevIoctlBase*, UMockdevIoctlClient* client, void* self) {
    static_cast<EmulatedHidrawBoard*>(self)->answer(client);
    return TRUE;
}

void EmulatedHidrawBoard::answer(UMockdevIoctlClient* client) {
    const gulong request = umockdev_ioctl_client_get_request(client);
    UMockdevIoctlData* argument = umockdev_ioctl_client_get_arg(client);
    const std::size_t size = _IOC_SIZE(request);

    // The caller's memory behind the ioctl's pointer argument.
    UMockdevIoctlData* data = nullptr;
    auto resolve = [&](std::size_t length) -> std::uint8_t* {
        data = umockdev_ioctl_data_resolve(argument, 0, length, nullptr);
        return data ? data->data : nullptr;
    };
    long result = -1;
    int error = EINVAL;

    std::lock_guard lock(mutex_);
    if (gone_) {
        error = ENODEV;
    } else if (_IOC_TYPE(request) == 'H') {
        switch (_IOC_NR(request)) {
        case _IOC_NR(HIDIOCGRDESCSIZE):
            if (auto* out = resolve(sizeof(int))) {
                const int length = int(descriptor_.size());
                std::memcpy(out, &length, sizeof length);
                result = 0, error = 0;
            }
            break;
        case _IOC_NR(HIDIOCGRDESC):
            if (auto* out = resolve(sizeof(hidraw_report_descriptor))) {
                auto* descriptor = reinterpret_cast<hidraw_report_descriptor*>(out);
                if (descriptor->size <= descriptor_.size()) {
                    std::memcpy(descriptor->value, descriptor_.data(), descriptor->size);
                    result = 0, error = 0;
                }
            }
            break;
        case _IOC_NR(HIDIOCGFEATURE(0)):
            if (auto* buffer = resolve(size); buffer && size > 0) {
                if (getFeature_(buffer, size)) {
                    read_.emplace_back(buffer, buffer + size);
                    result = long(size), error = 0;
                } else {
                    error = EPIPE; // what a stalled control transfer gives
                }
            }
            break;
        case _IOC_NR(HIDIOCSFEATURE(0)):
            if (auto* buffer = resolve(size); buffer && size > 0) {
                written_.emplace_back(buffer, buffer + size);
                if (setFeature_(buffer, size))
                    result = long(size), error = 0;
                else
                    error = EPIPE;
            }
            break;
        default:
            break;
        }
    }
    umockdev_ioctl_client_complete(client, result, error);
    if (data)
        g_object_unref(data);
}

} // namespace kv::test
