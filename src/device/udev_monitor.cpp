#include "device/udev_monitor.h"

#include <QLoggingCategory>
#include <QPointer>
#include <QSocketNotifier>

#include <libudev.h>

#include <cstring>

namespace kv {

namespace {
Q_LOGGING_CATEGORY(lcUdev, "kv.device.udev")
}

UdevMonitor::UdevMonitor(QObject* parent) : DeviceChangeSource(parent) {
    context_ = udev_new();
    if (context_)
        monitor_ = udev_monitor_new_from_netlink(context_, "udev");
    if (!monitor_ ||
        udev_monitor_filter_add_match_subsystem_devtype(monitor_, "hidraw", nullptr) < 0 ||
        udev_monitor_enable_receiving(monitor_) < 0) {
        qCInfo(lcUdev) << "no udev monitor: devices plugged in later are not noticed";
        stop();
        return;
    }
    const int fd = udev_monitor_get_fd(monitor_);
    if (fd < 0) {
        stop();
        return;
    }
    notifier_ = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &UdevMonitor::readEvents);
}

UdevMonitor::~UdevMonitor() {
    stop();
}

void UdevMonitor::stop() {
    delete notifier_;
    notifier_ = nullptr;
    if (monitor_)
        udev_monitor_unref(monitor_);
    monitor_ = nullptr;
    if (context_)
        udev_unref(context_);
    context_ = nullptr;
}

void UdevMonitor::readEvents() {
    // The monitor's socket does not block: take every event that is waiting.
    // A handler of the signal may delete this monitor.
    const QPointer<UdevMonitor> alive(this);
    while (alive && monitor_) {
        udev_device* device = udev_monitor_receive_device(monitor_);
        if (!device)
            break;
        const char* action = udev_device_get_action(device);
        const bool nodesChanged =
            action && (std::strcmp(action, "add") == 0 || std::strcmp(action, "remove") == 0);
        udev_device_unref(device);
        if (nodesChanged)
            emit deviceNodesChanged();
    }
}

} // namespace kv
