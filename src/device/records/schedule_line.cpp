#include "device/records/schedule_line.h"

#include "common/rounding.h"
#include "device/records/byte_order.h"

#include <cmath>
#include <limits>
#include <numbers>

namespace kv {

std::array<std::uint8_t, ScheduleLine::Size> ScheduleLine::encode() const {
    std::array<std::uint8_t, Size> out{};
    std::uint8_t* b = out.data();
    b[0] = static_cast<std::uint8_t>(Hour);
    b[1] = static_cast<std::uint8_t>(Minute);
    le::putS16(b, 2, Alt);
    for (std::size_t i = 0; i < Color16.size(); ++i)
        le::putS16(b, 4 + 2 * i, Color16[i]);
    le::putS16(b, 12, Timer);
    b[14] = Switch;
    return out;
}

ScheduleLine ScheduleLine::decode(const std::uint8_t* b) {
    ScheduleLine r;
    r.Hour = static_cast<std::int8_t>(b[0]);
    r.Minute = static_cast<std::int8_t>(b[1]);
    r.Alt = le::getS16(b, 2);
    for (std::size_t i = 0; i < r.Color16.size(); ++i)
        r.Color16[i] = le::getS16(b, 4 + 2 * i);
    r.Timer = le::getS16(b, 12);
    r.Switch = b[14];
    return r;
}

namespace {
constexpr double AltScale = 10000.0;
} // namespace

double altToDegrees(std::int16_t alt) {
    if (alt < -AltScale || alt > AltScale)
        return std::numeric_limits<double>::quiet_NaN();
    return std::asin(alt / AltScale) * 180.0 / std::numbers::pi;
}

std::int64_t degreesToAlt(double degrees) {
    return roundHalfEven(std::sin(degrees * std::numbers::pi / 180.0) * AltScale);
}

} // namespace kv
