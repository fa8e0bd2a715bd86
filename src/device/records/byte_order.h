#pragma once

#include <cstddef>
#include <cstdint>

// Little-endian access to record bytes. Records are encoded field by field,
// never by copying structs, so that layout and byte order are explicit.
namespace kv::le {

// A signed byte field as its raw byte, and back.
inline std::uint8_t byteOf(std::int8_t value) {
    return static_cast<std::uint8_t>(value);
}
inline std::int8_t signedOf(std::uint8_t value) {
    return static_cast<std::int8_t>(value);
}

inline std::uint16_t getU16(const std::uint8_t* bytes, std::size_t offset) {
    return static_cast<std::uint16_t>(bytes[offset] | (bytes[offset + 1] << 8));
}
inline std::int16_t getS16(const std::uint8_t* bytes, std::size_t offset) {
    return static_cast<std::int16_t>(getU16(bytes, offset));
}
inline std::uint32_t getU32(const std::uint8_t* bytes, std::size_t offset) {
    return static_cast<std::uint32_t>(bytes[offset]) |
           (static_cast<std::uint32_t>(bytes[offset + 1]) << 8) |
           (static_cast<std::uint32_t>(bytes[offset + 2]) << 16) |
           (static_cast<std::uint32_t>(bytes[offset + 3]) << 24);
}
inline void putU16(std::uint8_t* bytes, std::size_t offset, std::uint16_t value) {
    bytes[offset] = static_cast<std::uint8_t>(value & 0xFF);
    bytes[offset + 1] = static_cast<std::uint8_t>(value >> 8);
}
inline void putS16(std::uint8_t* bytes, std::size_t offset, std::int16_t value) {
    putU16(bytes, offset, static_cast<std::uint16_t>(value));
}
inline void putU32(std::uint8_t* bytes, std::size_t offset, std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
        bytes[offset + std::size_t(i)] = static_cast<std::uint8_t>(value >> (8 * i));
}

} // namespace kv::le
