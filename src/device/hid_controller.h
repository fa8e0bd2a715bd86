#pragma once

#include "device/hid_backend.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

namespace kv {

class TJvHidDeviceController;

// One HID interface found by a scan. Feature transfers and string fetches
// work only while the device is plugged in and either claimed by the program
// or being passed to the enumeration handler; otherwise they fail.
class TJvHidDevice {
public:
    TJvHidDevice(TJvHidDeviceController* controller, HidBackend* backend, HidDeviceInfo info);
    ~TJvHidDevice();
    TJvHidDevice(const TJvHidDevice&) = delete;
    TJvHidDevice& operator=(const TJvHidDevice&) = delete;

    // The buffer's first byte is the report id; length counts it. Opens the
    // interface when needed and keeps it open for the next transfer.
    bool ReadFeature(std::uint8_t* buffer, std::size_t length);
    bool WriteFeature(const std::uint8_t* buffer, std::size_t length);

    // Cached after the first successful fetch; empty when the device gives
    // none (asked again next time).
    QString ManufacturerString();
    QString ProductString();
    QString SerialNumberString();

    std::uint16_t VendorID() const { return info_.vendorId; }
    std::uint16_t ProductID() const { return info_.productId; }
    std::uint16_t VersionNumber() const { return info_.releaseNumber; }
    bool PluggedIn() const { return pluggedIn_; }
    bool Claimed() const { return claimed_; }
    const HidDeviceInfo& Info() const { return info_; }

    // Why the last attempt to open the interface failed (None after success).
    HidOpenError LastOpenError() const { return lastOpenError_; }
    QString LastOpenMessage() const { return lastOpenMessage_; }

private:
    friend class TJvHidDeviceController;
    bool usable() const;
    bool ensureOpen();
    void closeHandle();
    QString fetchString(QString& cache, const std::optional<QString>& source);
    void takeMissingStrings(const HidDeviceInfo& fresh);
    void unplug();

    TJvHidDeviceController* controller_;
    HidBackend* backend_;
    HidDeviceInfo info_;
    bool pluggedIn_ = true;
    bool claimed_ = false;
    bool inEnumeration_ = false;
    std::unique_ptr<HidConnection> handle_;
    HidOpenError lastOpenError_ = HidOpenError::None;
    QString lastOpenMessage_;
    QString manufacturer_, product_, serial_;
};

// Keeps the list of present HID devices across all backends, rescans on every
// device-change notification and lets the program visit and claim devices.
// Everything runs on the thread of the event loop.
class TJvHidDeviceController : public QObject {
    Q_OBJECT
public:
    using EnumerateHandler = std::function<bool(TJvHidDevice* device, int index)>;

    explicit TJvHidDeviceController(QObject* parent = nullptr);
    ~TJvHidDeviceController() override;

    static constexpr const char* Version = "1.0.35";

    // Backends and notification sources are not owned. Add them before the
    // event loop runs: the constructor posts the initial scan.
    void addBackend(HidBackend* backend);
    void addChangeSource(DeviceChangeSource* source);

    // Handler called by EnumeratePlugged for each plugged-in device.
    void setOnEnumerate(EnumerateHandler handler) { onEnumerate_ = std::move(handler); }

    // Visits every plugged-in device in list order (claimed ones too) until the
    // handler returns false; returns the number visited. After each visit an
    // unclaimed device has its handle closed.
    int EnumeratePlugged();
    // Claims the device at that list index; null if the index is outside the
    // list or the device is already claimed.
    TJvHidDevice* ClaimByIndex(int index);
    // Gives a claimed device back. While it is plugged in it stays in the list,
    // at the same position, unclaimed; an unplugged one leaves the list.
    void Release(TJvHidDevice* device);

    int deviceCount() const { return int(devices_.size()); }
    TJvHidDevice* deviceAt(int index) const;

    // A device-nodes-changed notification: scans at once. One that comes
    // while a scan runs, or while the devices are visited, is remembered:
    // one more scan follows the current one, so a device that arrived
    // meanwhile is never missed.
    void deviceNodesChanged();
    // Runs a scan now (remembered like a notification while one is running).
    // With initial it is the initial scan: it always reports a change and the
    // posted one no longer runs (the command-line tool scans without an event
    // loop).
    void scanNow(bool initial = false);

signals:
    // After a scan that changed the list, and after the initial scan.
    void OnDeviceChange();

private:
    void scan(bool initial);
    void dropReleasedUnplugged();

    std::vector<HidBackend*> backends_;
    std::vector<std::unique_ptr<TJvHidDevice>> devices_;
    EnumerateHandler onEnumerate_;
    bool scanning_ = false;
    bool rescanPending_ = false; // a change was told during a scan or a visit
    int enumerating_ = 0;        // nesting depth of EnumeratePlugged
    bool destroying_ = false;
    bool initialScanPending_ = true;
};

} // namespace kv
