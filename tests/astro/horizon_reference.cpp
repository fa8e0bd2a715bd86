#include "horizon_reference.h"

#include "astro/sunmoon.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace kv::sunmoon::test {

namespace {

double altitude(Body body, double jd, double lon, double lat) {
    TCoor sun;
    SunPosition(sun, jd + DeltaTDays, 0, 0);
    TCoor target = sun;
    if (body == Body::Moon) {
        const TCoor noObserver;
        MoonPosition(sun, noObserver, target, jd + DeltaTDays, 0);
    }
    const double lst = LocalSiderealTime(SiderealTime(jd), lon) * 15 * DegToRad;
    EquatorialToHorizontal(target, jd, lat, lst);
    return target.AltitudeAngle;
}

} // namespace

HorizonCrossings horizonCrossings(Body body, double jd0, double lon, double lat, double zoneHours) {
    constexpr int steps = 24 * 60;
    const double start = jd0 - zoneHours / 24; // local midnight
    HorizonCrossings result;
    double previous = altitude(body, start, lon, lat);
    for (int i = 1; i <= steps; ++i) {
        const double now = altitude(body, start + double(i) / steps, lon, lat);
        const double hours = (i - 0.5) / 60; // the crossing lies within the minute
        if (previous < 0 && now >= 0)
            result.rises.push_back(hours);
        if (previous >= 0 && now < 0)
            result.sets.push_back(hours);
        previous = now;
    }
    return result;
}

double minutesToNearest(double hours, const std::vector<double>& reference) {
    double best = std::numeric_limits<double>::max();
    for (double r : reference)
        best = std::min(best, std::fabs(r - hours) * 60);
    return best;
}

} // namespace kv::sunmoon::test
