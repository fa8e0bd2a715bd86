// Lists the HID devices.
#include "cli/cli_context.h"
#include "cli/commands.h"
#include "device/device_choice.h"
#include "device/device_kind.h"
#include "device/device_session.h"
#include "device/hid_controller.h"

#include <QJsonArray>

namespace kv::cli {

int runDevices(Context& c) {
    if (!c.words(0, 0))
        return ExitUsage;

    TJvHidDeviceController& controller = c.session().controller();
    controller.scanNow(true);
    const DeviceChoice choice(c.args().device);
    QJsonArray list;
    int listed = 0;
    for (int i = 0; i < controller.deviceCount(); ++i) {
        TJvHidDevice* device = controller.deviceAt(i);
        if (!device->PluggedIn() || !choice.matches(device->Info()))
            continue;
        ++listed;
        // The strings as the system reported them in the scan: the device's
        // own getters answer only while the program holds the device.
        const HidDeviceInfo& info = device->Info();
        const QString manufacturer = info.manufacturer.value_or(QString());
        const QString product = info.product.value_or(QString());
        const QString serial = info.serialNumber.value_or(QString());
        const QString path = QString::fromStdString(info.path);
        const QString kind = deviceKindName(classifyDevice(manufacturer, product));
        const QString line = deviceLogLine(i, device->VendorID(), device->ProductID(), manufacturer,
                                           product, serial);
        if (c.json()) {
            list.append(QJsonObject{{QStringLiteral("index"), i},
                                    {QStringLiteral("vendorId"), device->VendorID()},
                                    {QStringLiteral("productId"), device->ProductID()},
                                    {QStringLiteral("manufacturer"), manufacturer},
                                    {QStringLiteral("product"), product},
                                    {QStringLiteral("serial"), serial},
                                    {QStringLiteral("path"), path},
                                    {QStringLiteral("kind"), kind},
                                    {QStringLiteral("line"), line}});
        } else {
            c.out() << line << "  " << kind << "  " << path << '\n';
        }
    }
    if (!choice.isAny() && listed == 0)
        return c.fail(ExitNoDevice,
                      QStringLiteral("no HID device with serial number or HID path \"%1\" found")
                          .arg(choice.text()));
    if (c.json())
        c.printJson({{QStringLiteral("devices"), list}});
    return ExitDone;
}

} // namespace kv::cli
