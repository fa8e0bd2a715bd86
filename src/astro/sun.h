#pragma once

#include "astro/sunmoon_types.h"

namespace kv::sunmoon {

// The sun at JD: EclipticLat, EclipticLon, MeanAnomaly, Distance, Diameter,
// Parallax, RightAsc, Declination, AzimuthAngle, AltitudeAngle, Rising and
// Sign, for a latitude and a local sidereal time in radians.
void SunPosition(TCoor& Sun, double JD, double Lat, double LST);

// Sunrise, sunset, the two transits and the civil, nautical and astronomical
// twilight of the local date that contains JD, with positions taken
// DeltaTSeconds after universal time, at an east longitude and latitude
// (radians), for a zone of ZoneHours (local minus universal time, may be
// fractional). With Raw set only the first four fields are filled, as
// universal-time hours after 0 h UT of JD's day, not reduced.
TRiseSet SunRiseSet(bool Raw, double JD, double DeltaTSeconds, double Lon, double Lat,
                    double ZoneHours);

} // namespace kv::sunmoon
