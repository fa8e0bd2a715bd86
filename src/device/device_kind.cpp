#include "device/device_kind.h"

#include "text/product.h"

namespace kv {

QByteArray effectiveProductString(const QString& product) {
    // The system code page of a Linux or macOS desktop is UTF-8.
    QByteArray bytes = product.toLocal8Bit();
    if (bytes > QByteArray("Z"))
        bytes.clear();
    return bytes;
}

DeviceKind classifyDevice(const QString& manufacturer, const QString& product) {
    if (manufacturer != QLatin1String(product::ManufacturerString))
        return DeviceKind::Foreign;
    const QByteArray name = effectiveProductString(product);
    if (name.isEmpty())
        return DeviceKind::ClassicBootloader;
    if (name == "0")
        return DeviceKind::Bootloader328p;
    if (name == product::Name)
        return DeviceKind::Board;
    return DeviceKind::Foreign;
}

QString deviceKindName(DeviceKind kind) {
    switch (kind) {
    case DeviceKind::Board:
        return QStringLiteral("board");
    case DeviceKind::ClassicBootloader:
        return QStringLiteral("classic bootloader");
    case DeviceKind::Bootloader328p:
        return QStringLiteral("328p bootloader");
    case DeviceKind::Foreign:
        break;
    }
    return QStringLiteral("foreign");
}

QString deviceLogLine(int index, std::uint16_t vendorId, std::uint16_t productId,
                      const QString& manufacturer, const QString& product, const QString& serial) {
    return QStringLiteral("HID %1: %2:%3 \"%4\" \"%5\" \"%6\"")
        .arg(index)
        .arg(QString::number(vendorId, 16).toUpper(), 4, QLatin1Char('0'))
        .arg(QString::number(productId, 16).toUpper(), 4, QLatin1Char('0'))
        .arg(manufacturer, product, serial);
}

} // namespace kv
