// Lists the HID devices.
#include "cli/cli_context.h"
#include "cli/commands.h"
#include "device/device_choice.h"
#include "device/device_kind.h"

#include <QJsonArray>

namespace kv::cli {

int runDevices(Context& c) {
    if (!c.words(0, 0))
        return ExitUsage;

    const DeviceChoice choice(c.args().device);
    QJsonArray list;
    int listed = 0;
    for (const BoardService::BusDevice& device : c.service().devicesOnBus()) {
        // The strings as the system reported them in the scan: a device
        // answers for itself only while the program holds it.
        const HidDeviceInfo& info = device.info;
        if (!choice.matches(info))
            continue;
        ++listed;
        const int i = device.index;
        const QString manufacturer = info.manufacturer.value_or(QString());
        const QString product = info.product.value_or(QString());
        const QString serial = info.serialNumber.value_or(QString());
        const QString path = QString::fromStdString(info.path);
        const QString kind = deviceKindName(classifyDevice(manufacturer, product));
        const QString line =
            deviceLogLine(i, info.vendorId, info.productId, manufacturer, product, serial);
        if (c.json()) {
            list.append(QJsonObject{{QStringLiteral("index"), i},
                                    {QStringLiteral("vendorId"), info.vendorId},
                                    {QStringLiteral("productId"), info.productId},
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
