#include "astro/time_scales.h"

#include "astro/angles.h"

#include <cmath>

namespace kv::sunmoon {

namespace {

// Julian date of 0 h universal time of the day of JD.
double startOfDay(double JD) {
    return std::floor(JD - 0.5) + 0.5;
}

// Greenwich sidereal time at 0 h universal time, not reduced.
double siderealTimeAtMidnight(double JD0) {
    const double T = (JD0 - 2451545) / 36525;
    return 6.697374558 + T * (2400.051336 + T * 0.000025862);
}

} // namespace

double JulianDay(int Day, int Month, int Year) {
    if (Month <= 2) {
        Year -= 1;
        Month += 12;
    }
    // The constant folds in the Gregorian correction of the years 1900 to 2099.
    return 2414956.5 + std::trunc(365.25 * (Year - 1900)) + std::trunc(30.6001 * (Month + 1)) + Day;
}

double SiderealTime(double JD) {
    const double sinceNoon = JD - 0.5;
    const double UT = (sinceNoon - std::trunc(sinceNoon)) * 24;
    const double T0 = siderealTimeAtMidnight(startOfDay(JD));
    return Modulo(T0 + 1.002737909 * UT, 24);
}

double SiderealToUT(double JD, double GST) {
    const double T0 = Modulo(siderealTimeAtMidnight(startOfDay(JD)), 24);
    return (GST - T0) * 0.9972695663;
}

double LocalSiderealTime(double GST, double Lon) {
    return Modulo(GST + (Lon * RadToDeg) / 15, 24);
}

} // namespace kv::sunmoon
