#pragma once

#include <string>

// The astronomy module works in namespace kv::sunmoon: plain functions over the
// plain records below. Unless a name says otherwise, angles are radians, times
// are hours and dates are Julian dates (days); every number is a 64-bit double.
namespace kv::sunmoon {

// One record for a body (sun or moon) and for the observer. For the observer,
// EclipticLat is the geodetic latitude, EclipticLon the east longitude, X, Y, Z
// its equatorial position turned by the sidereal time and GeoRadius its
// distance from the earth's centre; everything else stays zero.
struct TCoor {
    double EclipticLat = 0;
    double EclipticLon = 0; // [0, 2π) for a body
    double RightAsc = 0;    // [0, 2π)
    double Declination = 0;
    double AzimuthAngle = 0;  // from north through east, [0, 2π)
    double AltitudeAngle = 0; // above the mathematical horizon
    double TopoDistance = 0;  // moon: km from the observer
    double TopoDeclination = 0;
    double TopoRightAsc = 0;
    double Distance = 0; // km from the earth's centre
    double X = 0;
    double Y = 0;
    double Z = 0;
    double MeanAnomaly = 0; // sun: not reduced to [0, 2π)
    double Parallax = 0;    // earth equatorial radius / distance
    double PhaseAngle = 0;  // moon: elongation from the sun, [0, 2π)
    double Illuminated = 0; // moon: 0..1
    double GeoRadius = 0;   // observer: km from the earth's centre
    double Diameter = 0;    // apparent angular diameter
    double GeoRightAsc = 0; // moon: geocentric place before the topocentric one
    double GeoDeclination = 0;
    std::string Sign;      // zodiac sign of EclipticLon (UTF-8)
    std::string PhaseText; // moon phase name (UTF-8)
    bool Rising = false;   // east of the meridian
};

// Event times of one body: sidereal times, or universal-time hours, by context.
struct TEventTimes {
    double RiseTime = 0;
    double SetTime = 0;
    double TransitTime = 0;
    double LowerTransitTime = 0;
};

// The times of one local date, as local clock hours in [0, 24). The moon uses
// -1 for an event that does not happen on the date and leaves the twilight
// fields at zero.
struct TRiseSet {
    double RiseTime = 0;
    double SetTime = 0;
    double TransitTime = 0;
    double LowerTransitTime = 0;
    double AstroDawn = 0;
    double AstroDusk = 0;
    double NauticalDawn = 0;
    double NauticalDusk = 0;
    double CivilDawn = 0;
    double CivilDusk = 0;
};

// Positions are computed for universal time plus this many seconds (the
// difference to terrestrial time), and rise and set get it as their argument.
inline constexpr double DeltaTSeconds = 65;
inline constexpr double DeltaTDays = 0.0007523148148148148; // 65 / 86400

} // namespace kv::sunmoon
