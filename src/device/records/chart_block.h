#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace kv {

// The board's last 40 chart samples: HID feature report 4, read only. Entry 0
// is the newest; NoValue marks an empty sample.
struct ChartBlock {
    static constexpr std::size_t Samples = 40;
    static constexpr std::size_t Size = Samples * 2;
    static constexpr std::uint8_t ReportId = 4;

    std::array<std::int16_t, Samples> Sample{};

    std::array<std::uint8_t, Size> encode() const;
    static ChartBlock decode(const std::uint8_t* bytes); // reads Size bytes
    // All samples set to NoValue, as the program starts.
    static ChartBlock empty();

    bool operator==(const ChartBlock&) const = default;
};

} // namespace kv
