#pragma once

#include "device/records/byte_order.h"

#include <QByteArray>
#include <QFile>
#include <QString>

#include <cstdint>
#include <vector>

namespace kv::testing {

// The bytes of a firmware file: start, end, image, checksum. Without an
// explicit checksum the right one is computed.
inline QByteArray firmwareBytes(std::int32_t start, std::int32_t end,
                                const std::vector<std::uint8_t>& image,
                                std::optional<std::uint32_t> checksum = std::nullopt) {
    QByteArray bytes(8, '\0');
    le::putU32(reinterpret_cast<std::uint8_t*>(bytes.data()), 0, std::uint32_t(start));
    le::putU32(reinterpret_cast<std::uint8_t*>(bytes.data()), 4, std::uint32_t(end));
    std::uint32_t sum = std::uint32_t(start) + std::uint32_t(end);
    for (std::uint8_t b : image) {
        bytes.append(char(b));
        sum += b;
    }
    QByteArray tail(4, '\0');
    le::putU32(reinterpret_cast<std::uint8_t*>(tail.data()), 0, checksum.value_or(sum));
    return bytes + tail;
}

// An image of end - start + 1 bytes with a recognisable pattern.
inline std::vector<std::uint8_t> patternImage(std::int32_t start, std::int32_t end) {
    std::vector<std::uint8_t> image;
    for (std::int32_t a = start; a <= end; ++a)
        image.push_back(std::uint8_t((a * 7 + 3) & 0xFF));
    return image;
}

inline void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
}

} // namespace kv::testing
