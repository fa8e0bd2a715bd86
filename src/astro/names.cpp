#include "astro/names.h"

#include "astro/angles.h"
#include "common/rounding.h"

#include <algorithm>
#include <cmath>

namespace kv::sunmoon {

namespace {

// Boundaries closer than this (in degrees) count as reached: far below any
// meaningful precision, far above the rounding of a degree-radian round trip.
constexpr double BoundaryTolerance = 1e-9;

// One day of mean synodic motion: 2π / 29.53.
constexpr double PhaseWindow = 0.2127729531723531;

} // namespace

std::string ZodiacSign(double Lon) {
    const double degrees = Lon * RadToDeg;
    if (!std::isfinite(degrees))
        return {};
    double section = std::floor(degrees / 30);
    if ((section + 1) * 30 - degrees < BoundaryTolerance)
        section += 1;
    // Reducing the section keeps the index valid for 360° and for longitudes
    // that were not reduced by the caller.
    const int index = static_cast<int>(Modulo(section, 12));
    return std::string(ZodiacNames[static_cast<size_t>(std::clamp(index, 0, 11))]);
}

int MoonPhaseIndex(double PhaseAngle) {
    if (!std::isfinite(PhaseAngle))
        return 0;
    if (PhaseAngle < 0 || PhaseAngle > TwoPi) {
        // Only reduced angles are expected; fmod keeps anything else in range.
        PhaseAngle = std::fmod(PhaseAngle, TwoPi);
        if (PhaseAngle < 0)
            PhaseAngle += TwoPi;
    }
    const double quarter = Pi / 2;
    const double r = Modulo(PhaseAngle, quarter);
    double index;
    if (r < PhaseWindow || r > quarter - PhaseWindow)
        index = 2.0 * static_cast<double>(roundHalfEven(PhaseAngle / quarter));
    else
        index = 2 * std::floor(PhaseAngle / quarter) + 1;
    return static_cast<int>(std::clamp(index, 0.0, 8.0));
}

} // namespace kv::sunmoon
