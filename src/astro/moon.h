#pragma once

#include "astro/sunmoon_types.h"

namespace kv::sunmoon {

// The moon at JD, given the sun's record for the same JD (from SunPosition):
// EclipticLat, EclipticLon, RightAsc, Declination, Distance, Diameter,
// Parallax, PhaseAngle, Illuminated, PhaseText and Sign. With a local sidereal
// time LST (radians) other than exactly 0 the place is corrected to the
// observer (from ObserverPosition): RightAsc and Declination become
// topocentric (the geocentric ones are kept in GeoRightAsc and
// GeoDeclination) and AzimuthAngle, AltitudeAngle and Rising are filled. LST 0
// stands for "no observer" and leaves those fields as they were.
void MoonPosition(const TCoor& Sun, const TCoor& Observer, TCoor& Moon, double JD, double LST);

// Moonrise, moonset and the two transits of the local date that contains JD,
// arguments as for SunRiseSet. An event that does not happen on the local date
// is -1; the twilight fields stay zero. With Raw set the four values are
// universal-time hours after 0 h UT of JD's day, not reduced.
TRiseSet MoonRiseSet(bool Raw, double JD, double DeltaTSeconds, double Lon, double Lat,
                     double ZoneHours);

} // namespace kv::sunmoon
