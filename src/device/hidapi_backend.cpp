#include "device/hidapi_backend.h"

#include <QFileInfo>
#include <QStringList>

#include <hidapi.h>
#include <libudev.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace kv {

namespace {

// hidapi keeps process-wide state: initialise it with the first backend and
// free it with the last.
int hidapiUsers = 0;

// hidapi gives no string where the device has no such attribute, and an
// empty one for a serial number the kernel reports as empty: both are none.
std::optional<QString> optionalString(const wchar_t* text) {
    if (!text || !*text)
        return std::nullopt;
    return QString::fromWCharArray(text);
}

// The kernel's name of the HID device behind a hidraw node, such as
// "0003:1209:4B56.0007". Its sequence number grows with every device the
// kernel creates, so it tells a device apart from a later one that reuses
// the same node. Empty when udev cannot tell.
QString kernelHidName(udev* context, const char* nodePath) {
    if (!context || !nodePath)
        return {};
    const QByteArray sysname = QFileInfo(QString::fromLocal8Bit(nodePath)).fileName().toLocal8Bit();
    udev_device* node =
        udev_device_new_from_subsystem_sysname(context, "hidraw", sysname.constData());
    if (!node)
        return {};
    QString name;
    // The parent belongs to the node and goes with it.
    if (udev_device* hid = udev_device_get_parent_with_subsystem_devtype(node, "hid", nullptr))
        name = QString::fromLocal8Bit(udev_device_get_sysname(hid));
    udev_device_unref(node);
    return name;
}

QString instanceIdOf(const HidDeviceInfo& info, const QString& kernelName) {
    // The node path alone is not enough: when the board leaves and its
    // bootloader appears between two scans, both may get the same node.
    const QStringList parts{
        QString::fromStdString(info.path),
        kernelName,
        QString::asprintf("%04X:%04X:%04X", info.vendorId, info.productId, info.releaseNumber),
        info.manufacturer.value_or(QString()),
        info.product.value_or(QString()),
        info.serialNumber.value_or(QString()),
    };
    return parts.join(QChar(0x1F)); // a separator no USB string contains
}

class HidapiConnection final : public HidConnection {
public:
    explicit HidapiConnection(hid_device* device) : device_(device) {}
    ~HidapiConnection() override { hid_close(device_); }
    HidapiConnection(const HidapiConnection&) = delete;
    HidapiConnection& operator=(const HidapiConnection&) = delete;

    // A short answer would leave stale bytes in the record: only a whole
    // report counts.
    bool getFeature(std::uint8_t* buffer, std::size_t length) override {
        return hid_get_feature_report(device_, buffer, length) == int(length);
    }
    bool setFeature(const std::uint8_t* buffer, std::size_t length) override {
        return hid_send_feature_report(device_, buffer, length) == int(length);
    }

private:
    hid_device* device_;
};

// Why a node cannot be opened, when hidapi left no error number behind.
int probeOpenError(const char* path) {
    const int fd = ::open(path, O_RDWR | O_CLOEXEC);
    if (fd < 0)
        return errno;
    ::close(fd);
    return 0;
}

} // namespace

HidOpenError openErrorFromErrno(int error) {
    switch (error) {
    case 0:
        return HidOpenError::None;
    case EACCES:
    case EPERM:
        return HidOpenError::PermissionDenied;
    case ENOENT:
    case ENODEV:
    case ENXIO:
        return HidOpenError::Gone;
    default:
        return HidOpenError::Other;
    }
}

HidapiBackend::HidapiBackend() {
    if (hidapiUsers++ == 0)
        hid_init();
}

HidapiBackend::~HidapiBackend() {
    if (--hidapiUsers == 0)
        hid_exit();
}

std::vector<HidDeviceInfo> HidapiBackend::enumerate() {
    std::vector<HidDeviceInfo> devices;
    hid_device_info* list = hid_enumerate(0, 0);
    udev* context = udev_new();
    for (const hid_device_info* entry = list; entry; entry = entry->next) {
        // hidapi lists a node once per top-level collection of its report
        // descriptor; the program sees one device per node.
        if (!entry->path ||
            std::any_of(devices.begin(), devices.end(),
                        [entry](const HidDeviceInfo& d) { return d.path == entry->path; }))
            continue;
        HidDeviceInfo info;
        info.path = entry->path;
        info.vendorId = entry->vendor_id;
        info.productId = entry->product_id;
        info.releaseNumber = entry->release_number;
        info.manufacturer = optionalString(entry->manufacturer_string);
        info.product = optionalString(entry->product_string);
        info.serialNumber = optionalString(entry->serial_number);
        info.instanceId = instanceIdOf(info, kernelHidName(context, entry->path)).toStdString();
        devices.push_back(std::move(info));
    }
    if (context)
        udev_unref(context);
    hid_free_enumeration(list);
    return devices;
}

HidOpenResult HidapiBackend::open(const HidDeviceInfo& device) {
    HidOpenResult result;
    errno = 0;
    hid_device* handle = hid_open_path(device.path.c_str());
    if (handle) {
        result.connection = std::make_unique<HidapiConnection>(handle);
        return result;
    }
    int error = errno;
    if (error == 0)
        error = probeOpenError(device.path.c_str());
    result.error = openErrorFromErrno(error);
    if (result.error == HidOpenError::None) {
        // The node opens, but hidapi refused it (for example its report
        // descriptor could not be read).
        result.error = HidOpenError::Other;
        const wchar_t* text = hid_error(nullptr);
        result.message = text ? QString::fromWCharArray(text) : QString();
    } else {
        result.message = QString::fromLocal8Bit(std::strerror(error));
    }
    return result;
}

} // namespace kv
