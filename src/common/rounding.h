#pragma once

#include <cmath>
#include <cstdint>

namespace kv {

// Rounds to the nearest integer; a value exactly halfway goes to the even
// neighbour (0.5 -> 0, 1.5 -> 2, -2.5 -> -2). Independent of the FPU's mode.
inline std::int64_t roundHalfEven(double value) {
    const double floorValue = std::floor(value);
    const double diff = value - floorValue;
    double result = floorValue;
    if (diff > 0.5 || (diff == 0.5 && std::fmod(floorValue, 2.0) != 0.0))
        result = floorValue + 1.0;
    return static_cast<std::int64_t>(result);
}

} // namespace kv
