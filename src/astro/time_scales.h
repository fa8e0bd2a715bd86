#pragma once

namespace kv::sunmoon {

// Julian date at 0 h universal time of a calendar date; right from 1 March
// 1900 to 28 February 2100. JulianDay(1, 1, 2000) = 2451544.5.
double JulianDay(int Day, int Month, int Year);

// Greenwich mean sidereal time of a Julian date (universal time), hours in
// [0, 24).
double SiderealTime(double JD);

// Universal time, in hours after 0 h of the day of JD, at which the Greenwich
// sidereal time is GST. Not reduced: may be negative or exceed 24.
double SiderealToUT(double JD, double GST);

// Local sidereal time in hours [0, 24) for an east longitude in radians.
double LocalSiderealTime(double GST, double Lon);

} // namespace kv::sunmoon
