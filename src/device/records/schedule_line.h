#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace kv {

// One line of the board's day schedule: 15 bytes, little-endian, carried in
// HID feature report 3 after the line index.
struct ScheduleLine {
    static constexpr std::size_t Size = 15;
    static constexpr std::uint8_t ReportId = 3;

    std::int8_t Hour = 0;                  // 0, 0..24 (Auto mode)
    std::int8_t Minute = 0;                // 1
    std::int16_t Alt = 0;                  // 2, round(sin(altitude) * 10000) (Geo mode)
    std::array<std::int16_t, 4> Color16{}; // 4, channel levels 0..4096
    std::int16_t Timer = 0;                // 12, JMP pin value
    std::uint8_t Switch = 0;               // 14, flags below; bits 0..4 passed through

    static constexpr std::uint8_t Display = 0x20;
    static constexpr std::uint8_t Clouds = 0x40;
    static constexpr std::uint8_t Storms = 0x80;

    std::array<std::uint8_t, Size> encode() const;
    static ScheduleLine decode(const std::uint8_t* bytes); // reads Size bytes

    bool operator==(const ScheduleLine&) const = default;
};

// Report 3 carries a line index or, from FirstCommandCode on, a command in
// the same byte; a line with such an index cannot be written.
enum class BoardCommand : std::uint8_t {
    Storm = 252, // start or stop a thunderstorm
    Cloud = 253, // start or stop a cloud
    Save = 254,  // store the settings permanently (also: enter the bootloader)
};
inline constexpr std::size_t FirstCommandCode = 252;

// The program's copy of the whole schedule, index 0 first; its length is the
// InfoBlock's LineCount as last read.
using Schedule = std::vector<ScheduleLine>;

// Altitude <-> Alt: degrees = asin(Alt / 10000) in degrees; Alt =
// round(sin(degrees) * 10000), halves to even. An Alt outside -10000..10000
// has no angle: the function then returns NaN.
double altToDegrees(std::int16_t alt);
std::int64_t degreesToAlt(double degrees);

} // namespace kv
