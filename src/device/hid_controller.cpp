#include "device/hid_controller.h"

#include <QScopedValueRollback>
#include <QTimer>

#include <algorithm>

namespace kv {

// --- TJvHidDevice -----------------------------------------------------------

TJvHidDevice::TJvHidDevice(TJvHidDeviceController* controller, HidBackend* backend,
                           HidDeviceInfo info)
    : controller_(controller), backend_(backend), info_(std::move(info)) {}

TJvHidDevice::~TJvHidDevice() = default;

bool TJvHidDevice::usable() const {
    return pluggedIn_ && (claimed_ || inEnumeration_);
}

bool TJvHidDevice::ensureOpen() {
    if (handle_)
        return true;
    HidOpenResult result = backend_->open(info_);
    handle_ = std::move(result.connection);
    if (handle_) {
        lastOpenError_ = HidOpenError::None;
        lastOpenMessage_.clear();
        return true;
    }
    // A backend that fails without saying why still failed.
    lastOpenError_ = result.error == HidOpenError::None ? HidOpenError::Other : result.error;
    lastOpenMessage_ = result.message;
    return false;
}

void TJvHidDevice::closeHandle() {
    handle_.reset();
}

bool TJvHidDevice::ReadFeature(std::uint8_t* buffer, std::size_t length) {
    if (!buffer || length == 0 || !usable() || !ensureOpen())
        return false;
    return handle_->getFeature(buffer, length);
}

bool TJvHidDevice::WriteFeature(const std::uint8_t* buffer, std::size_t length) {
    if (!buffer || length == 0 || !usable() || !ensureOpen())
        return false;
    return handle_->setFeature(buffer, length);
}

// The backends deliver the strings with the enumeration, so a fetch needs no
// handle of its own and leaves the transfer handle of a claimed device open.
QString TJvHidDevice::fetchString(QString& cache, const std::optional<QString>& source) {
    if (!usable())
        return {};
    if (cache.isEmpty() && source)
        cache = *source;
    return cache;
}

QString TJvHidDevice::ManufacturerString() {
    return fetchString(manufacturer_, info_.manufacturer);
}

QString TJvHidDevice::ProductString() {
    return fetchString(product_, info_.product);
}

QString TJvHidDevice::SerialNumberString() {
    return fetchString(serial_, info_.serialNumber);
}

// A later scan asked the system again: take the strings that were missing
// before, so that a string the device did not give is asked for again.
void TJvHidDevice::takeMissingStrings(const HidDeviceInfo& fresh) {
    for (auto [mine, theirs] : {std::pair{&info_.manufacturer, &fresh.manufacturer},
                                std::pair{&info_.product, &fresh.product},
                                std::pair{&info_.serialNumber, &fresh.serialNumber}}) {
        if ((!*mine || (*mine)->isEmpty()) && *theirs)
            *mine = *theirs;
    }
}

void TJvHidDevice::unplug() {
    closeHandle();
    pluggedIn_ = false;
}

// --- TJvHidDeviceController -------------------------------------------------

TJvHidDeviceController::TJvHidDeviceController(QObject* parent) : QObject(parent) {
    // The first scan runs once the event loop has started, never while the
    // owner is still being built; a scan run by hand before that replaces it.
    QTimer::singleShot(0, this, [this] {
        if (initialScanPending_)
            scanNow(true);
    });
}

TJvHidDeviceController::~TJvHidDeviceController() {
    // Notifications arriving from here on are dropped.
    destroying_ = true;
    for (auto& device : devices_)
        device->closeHandle();
}

void TJvHidDeviceController::addBackend(HidBackend* backend) {
    if (backend && std::find(backends_.begin(), backends_.end(), backend) == backends_.end())
        backends_.push_back(backend);
}

void TJvHidDeviceController::addChangeSource(DeviceChangeSource* source) {
    if (source)
        connect(source, &DeviceChangeSource::deviceNodesChanged, this,
                &TJvHidDeviceController::deviceNodesChanged);
}

TJvHidDevice* TJvHidDeviceController::deviceAt(int index) const {
    if (index < 0 || index >= deviceCount())
        return nullptr;
    return devices_[std::size_t(index)].get();
}

int TJvHidDeviceController::EnumeratePlugged() {
    int visited = 0;
    ++enumerating_;
    for (std::size_t i = 0; i < devices_.size(); ++i) {
        TJvHidDevice* device = devices_[i].get();
        if (!device->pluggedIn_)
            continue;
        ++visited;
        device->inEnumeration_ = true;
        const bool goOn = onEnumerate_ ? onEnumerate_(device, int(i)) : true;
        device->inEnumeration_ = false;
        if (!device->claimed_)
            device->closeHandle();
        if (!goOn)
            break;
    }
    --enumerating_;
    if (enumerating_ == 0) {
        dropReleasedUnplugged();
        // A visit outside a scan that heard of a change: look once more,
        // from the event loop, when the visit's caller is done.
        if (rescanPending_ && !scanning_)
            QTimer::singleShot(0, this, [this] { scanNow(); });
    }
    return visited;
}

TJvHidDevice* TJvHidDeviceController::ClaimByIndex(int index) {
    TJvHidDevice* device = deviceAt(index);
    if (!device || device->claimed_)
        return nullptr;
    device->claimed_ = true;
    return device;
}

void TJvHidDeviceController::Release(TJvHidDevice* device) {
    auto it = std::find_if(devices_.begin(), devices_.end(),
                           [device](const auto& entry) { return entry.get() == device; });
    if (it == devices_.end() || !device->claimed_)
        return;
    // The object stays in its place, as a fresh unclaimed one would be.
    device->claimed_ = false;
    device->closeHandle();
    device->manufacturer_.clear();
    device->product_.clear();
    device->serial_.clear();
    device->lastOpenError_ = HidOpenError::None;
    device->lastOpenMessage_.clear();
    // An unplugged one leaves the list; while devices are being visited the
    // list keeps its indices until the visit is over.
    if (enumerating_ == 0)
        dropReleasedUnplugged();
}

void TJvHidDeviceController::dropReleasedUnplugged() {
    std::erase_if(devices_,
                  [](const auto& device) { return !device->pluggedIn_ && !device->claimed_; });
}

void TJvHidDeviceController::deviceNodesChanged() {
    scanNow(false);
}

void TJvHidDeviceController::scanNow(bool initial) {
    if (destroying_)
        return;
    // During a scan or a visit of the devices (their handlers may run a
    // nested event loop: a file dialog) the list must not change under
    // them: the request is remembered, and one more scan follows.
    if (scanning_ || enumerating_ > 0) {
        rescanPending_ = true;
        return;
    }
    // This scan covers what was told before it.
    rescanPending_ = false;
    scan(initial);
    // What came in meanwhile: one more scan each time, until none did.
    while (rescanPending_ && !destroying_) {
        rescanPending_ = false;
        scan(false);
    }
}

void TJvHidDeviceController::scan(bool initial) {
    const QScopedValueRollback<bool> running(scanning_, true);
    if (initial)
        initialScanPending_ = false;

    struct Found {
        HidBackend* backend;
        HidDeviceInfo info;
    };
    std::vector<Found> found;
    for (HidBackend* backend : backends_) {
        for (HidDeviceInfo& info : backend->enumerate())
            found.push_back({backend, std::move(info)});
    }
    auto isFound = [&found](const TJvHidDevice& device) {
        return std::any_of(found.begin(), found.end(), [&device](const Found& entry) {
            return entry.backend == device.backend_ &&
                   entry.info.instanceId == device.info_.instanceId;
        });
    };

    bool changed = false;
    // Devices that are gone: from the end, so removals keep the earlier
    // indices valid.
    for (std::size_t i = devices_.size(); i-- > 0;) {
        TJvHidDevice& device = *devices_[i];
        if (device.pluggedIn_ && isFound(device))
            continue;
        if (device.pluggedIn_) {
            device.unplug();
            changed = true;
        }
        if (!device.claimed_) {
            devices_.erase(devices_.begin() + std::ptrdiff_t(i));
            changed = true;
        }
    }
    // Devices that are new: appended in scan order.
    for (Found& entry : found) {
        auto same = std::find_if(devices_.begin(), devices_.end(), [&entry](const auto& device) {
            return device->pluggedIn_ && device->backend_ == entry.backend &&
                   device->info_.instanceId == entry.info.instanceId;
        });
        if (same != devices_.end()) {
            (*same)->takeMissingStrings(entry.info);
            continue;
        }
        devices_.push_back(
            std::make_unique<TJvHidDevice>(this, entry.backend, std::move(entry.info)));
        changed = true;
    }

    if (changed || initial)
        emit OnDeviceChange();
}

} // namespace kv
