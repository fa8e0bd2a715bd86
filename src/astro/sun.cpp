#include "astro/sun.h"

#include "astro/angles.h"
#include "astro/coordinates.h"
#include "astro/names.h"
#include "astro/rise_set.h"

#include <cmath>

namespace kv::sunmoon {

namespace {

// Solar elements of epoch 1990 January 0.0.
constexpr double Epoch = 2447891.5;
constexpr double LongitudeAtEpoch = 4.876507578297351; // 279.403303°
constexpr double Perigee = 4.935239984568769;          // 282.768422°
constexpr double DailyMotion = 0.017202791632524146;   // 360° / 365.242191
constexpr double SemiMajorAxisKm = 149598500;
constexpr double DiameterAtSemiMajorAxis = 0.009304838934572329; // 0.533128°
constexpr double EarthRadiusKm = 6378.137;

constexpr double CivilAltitude = -0.10471975511965978;       // -6°
constexpr double NauticalAltitude = -0.20943951023931956;    // -12°
constexpr double AstronomicalAltitude = -0.3141592653589793; // -18°

} // namespace

void SunPosition(TCoor& Sun, double JD, double Lat, double LST) {
    const double D = JD - Epoch;
    const double M = DailyMotion * D + LongitudeAtEpoch - Perigee;
    Sun.MeanAnomaly = M;
    const double trueAnomaly = M + 0.033426 * std::sin(M); // 2e·sin M
    Sun.EclipticLon = NormAngle(trueAnomaly + Perigee);
    Sun.EclipticLat = 0;
    const double f = 0.999720675631 / (1 + 0.016713 * std::cos(trueAnomaly)); // (1 − e²)/…
    Sun.Diameter = DiameterAtSemiMajorAxis / f;
    Sun.Distance = f * SemiMajorAxisKm;
    Sun.Parallax = EarthRadiusKm / Sun.Distance;
    EclipticToEquatorial(Sun, JD);
    EquatorialToHorizontal(Sun, JD, Lat, LST);
    Sun.Sign = ZodiacSign(Sun.EclipticLon);
}

TRiseSet SunRiseSet(bool Raw, double JD, double DeltaTSeconds, double Lon, double Lat,
                    double ZoneHours) {
    const double JD0 = std::floor(JD - 0.5) + 0.5;
    const double s = DeltaTSeconds / 24 / 3600;
    TCoor sun1;
    TCoor sun2;
    SunPosition(sun1, JD0 + s, 0, 0);
    SunPosition(sun2, JD0 + 1 + s, 0, 0);

    const TEventTimes events = EventTimes(sun1, sun2, JD0, Lon, Lat, 1, 0);
    TRiseSet result;
    result.RiseTime = events.RiseTime;
    result.SetTime = events.SetTime;
    result.TransitTime = events.TransitTime;
    result.LowerTransitTime = events.LowerTransitTime;
    if (Raw)
        return result;

    // An event that falls on the next (east) or previous (west) local date is
    // replaced by the same event of the neighbouring day.
    double* const times[] = {&result.RiseTime, &result.SetTime, &result.TransitTime,
                             &result.LowerTransitTime};
    const double m = ZoneHours;
    if (m >= 0) {
        bool late = false;
        for (double* t : times)
            late = late || *t >= 24 - m;
        if (late) {
            const TRiseSet next = SunRiseSet(true, JD + 1, DeltaTSeconds, Lon, Lat, ZoneHours);
            const double* const nextTimes[] = {&next.RiseTime, &next.SetTime, &next.TransitTime,
                                               &next.LowerTransitTime};
            for (int i = 0; i < 4; ++i) {
                if (*times[i] >= 24 - m)
                    *times[i] = *nextTimes[i];
            }
        }
    } else {
        bool early = false;
        for (double* t : times)
            early = early || *t < -m;
        if (early) {
            const TRiseSet prev = SunRiseSet(true, JD - 1, DeltaTSeconds, Lon, Lat, ZoneHours);
            const double* const prevTimes[] = {&prev.RiseTime, &prev.SetTime, &prev.TransitTime,
                                               &prev.LowerTransitTime};
            for (int i = 0; i < 4; ++i) {
                if (*times[i] < -m)
                    *times[i] = *prevTimes[i];
            }
        }
    }
    for (double* t : times)
        *t = Modulo(*t + m, 24);

    // Twilight: the same two positions at the twilight altitudes, without the
    // move into the local date.
    const auto twilight = [&](double altitude, double& dawn, double& dusk) {
        const TEventTimes t = EventTimes(sun1, sun2, JD0, Lon, Lat, 1, altitude);
        dawn = Modulo(t.RiseTime + m, 24);
        dusk = Modulo(t.SetTime + m, 24);
    };
    twilight(CivilAltitude, result.CivilDawn, result.CivilDusk);
    twilight(NauticalAltitude, result.NauticalDawn, result.NauticalDusk);
    twilight(AstronomicalAltitude, result.AstroDawn, result.AstroDusk);
    return result;
}

} // namespace kv::sunmoon
