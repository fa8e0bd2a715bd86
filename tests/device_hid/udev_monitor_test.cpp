#include "device/udev_monitor.h"

#include <QCoreApplication>
#include <QDeadlineTimer>

#include <gtest/gtest.h>

namespace kv {
namespace {

// Outside the emulated bus (which has its own test) there is no hidraw device
// coming or going; where udev does not run at all (a container) the monitor
// must still come up and go away quietly.
TEST(UdevMonitor, WithNothingHappeningStaysSilent) {
    int notifications = 0;
    {
        UdevMonitor monitor;
        QObject::connect(&monitor, &DeviceChangeSource::deviceNodesChanged,
                         [&] { ++notifications; });
        QDeadlineTimer deadline(100);
        while (!deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    EXPECT_EQ(notifications, 0);
}

} // namespace
} // namespace kv
