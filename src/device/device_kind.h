#pragma once

#include <QString>

#include <cstdint>

namespace kv {

// What a HID device is to this program, told by its USB strings alone.
enum class DeviceKind {
    Board,
    ClassicBootloader,
    Bootloader328p,
    Foreign,
};

enum class BootloaderKind {
    Classic,
    Avr328p,
};

// The product string as discovery compares it: converted to 8-bit text, and
// taken as empty when it sorts after "Z" byte by byte (a lower-case first
// letter, or "Z" followed by anything).
QByteArray effectiveProductString(const QString& product);

// Classifies by the manufacturer string (whole, case-sensitive, the maker's)
// and the effective product string: empty is the classic bootloader, "0" the
// 328p bootloader, "KestVELQOR" the board; anything else is ignored.
DeviceKind classifyDevice(const QString& manufacturer, const QString& product);

// A short English name of the kind, for listings: "board", "classic
// bootloader", "328p bootloader", "foreign".
QString deviceKindName(DeviceKind kind);

// The log line of a visited device: HID 3: 16C0:05DF "maker" "product" "serial".
QString deviceLogLine(int index, std::uint16_t vendorId, std::uint16_t productId,
                      const QString& manufacturer, const QString& product, const QString& serial);

} // namespace kv
