#pragma once

#include "device/hid_backend.h"

struct udev;
struct udev_monitor;
class QSocketNotifier;

namespace kv {

// Device-change notifications on Linux: watches udev for hidraw nodes coming
// and going and signals once per add or remove event. Without udev (a
// container, a chroot) it stays silent.
class UdevMonitor : public DeviceChangeSource {
    Q_OBJECT
public:
    explicit UdevMonitor(QObject* parent = nullptr);
    ~UdevMonitor() override;

    // Whether the monitor is listening.
    bool isActive() const { return notifier_ != nullptr; }

private:
    void readEvents();
    void stop();

    udev* context_ = nullptr;
    udev_monitor* monitor_ = nullptr;
    QSocketNotifier* notifier_ = nullptr;
};

} // namespace kv
