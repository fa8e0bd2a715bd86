#pragma once

#include <vector>

namespace kv::sunmoon::test {

// Rise and set of the sun's or the moon's centre across the mathematical
// horizon (geocentric place, no refraction: what SunRiseSet and MoonRiseSet
// compute), found by stepping through one local date minute by minute. An
// independent check of the interpolation and of the date bookkeeping.
struct HorizonCrossings {
    std::vector<double> rises; // local clock hours
    std::vector<double> sets;
};

enum class Body { Sun, Moon };

// jd0: 0 h universal time of the local date; lon, lat in radians; zoneHours:
// local minus universal time.
HorizonCrossings horizonCrossings(Body body, double jd0, double lon, double lat, double zoneHours);

// Minutes from a time to the nearest of the reference times; a large number
// when there are none.
double minutesToNearest(double hours, const std::vector<double>& reference);

} // namespace kv::sunmoon::test
