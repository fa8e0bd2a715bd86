// Lists the HID devices.
#include "cli/cli_context.h"
#include "cli/commands.h"
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
    QJsonArray list;
    for (int i = 0; i < controller.deviceCount(); ++i) {
        TJvHidDevice* device = controller.deviceAt(i);
        if (!device->PluggedIn())
            continue;
        const QString manufacturer = device->ManufacturerString();
        const QString product = device->ProductString();
        const QString serial = device->SerialNumberString();
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
                                    {QStringLiteral("kind"), kind},
                                    {QStringLiteral("line"), line}});
        } else {
            c.out() << line << "  " << kind << '\n';
        }
    }
    if (c.json())
        c.printJson({{QStringLiteral("devices"), list}});
    return ExitDone;
}

} // namespace kv::cli
