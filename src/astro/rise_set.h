#pragma once

#include "astro/sunmoon_types.h"

namespace kv::sunmoon {

// Greenwich sidereal times (hours in [0, 24)) at which a body with the given
// RightAsc and Declination rises, sets and transits at an east longitude and
// latitude, for an event altitude Alt (radians). A body that never reaches Alt
// gets rise = set = transit; one that never drops to it rise = set = lower
// transit.
TEventTimes EventSiderealTimes(const TCoor& Body, double Lon, double Lat, double Alt);

// The Greenwich sidereal time at which sidereal time, advancing 24.07 hours a
// day from G0, meets an event time drifting linearly from S1 to S2 over Days.
double InterpolateEvent(double G0, double S1, double S2, double Days);

// Universal-time hours after JD0 (0 h UT) of the events of a body whose
// positions Pos1 and Pos2 are Days apart, within the 24 sidereal hours that
// begin at local mean midnight: negative east of Greenwich, beyond 24 west of
// it. For Alt != 0 rise and set are moved by the body's semi-diameter,
// parallax and 34' of refraction.
TEventTimes EventTimes(const TCoor& Pos1, const TCoor& Pos2, double JD0, double Lon, double Lat,
                       double Days, double Alt);

} // namespace kv::sunmoon
