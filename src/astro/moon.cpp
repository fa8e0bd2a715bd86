#include "astro/moon.h"

#include "astro/angles.h"
#include "astro/coordinates.h"
#include "astro/names.h"
#include "astro/rise_set.h"
#include "astro/sun.h"

#include <array>
#include <cmath>
#include <optional>

namespace kv::sunmoon {

namespace {

// Lunar elements of epoch 1990 January 0.0.
constexpr double Epoch = 2447891.5;
constexpr double LongitudeAtEpoch = 5.556284436750021;  // 318.351648°
constexpr double PerigeeAtEpoch = 0.6342598060246726;   // 36.340410°
constexpr double NodeAtEpoch = 5.559050068029439;       // 318.510107°
constexpr double LongitudeMotion = 0.22997150421858628; // 13.1763966° a day
constexpr double PerigeeMotion = 0.0019443683452210149; // 0.1114041° a day
constexpr double NodeMotion = 0.0009242199067718253;    // 0.0529539° a day, westward
constexpr double Inclination = 0.08980410151894616;     // 5.145396°
constexpr double Eccentricity = 0.0549;
constexpr double SemiMajorAxisKm = 384401;
constexpr double DiameterAtSemiMajorAxis = 0.009042550854582622; // 0.5181°
constexpr double ParallaxAtSemiMajorAxis = 0.016592845198710092; // 0.9507°

// Amplitudes of the periodic terms.
constexpr double Evection = 0.022233749341155764;          // 1.2739°
constexpr double AnnualEquation = 0.0032428217502054645;   // 0.1858°
constexpr double ThirdCorrection = 0.006457718232379019;   // 0.37°
constexpr double EquationOfCentre = 0.10975677534091541;   // 6.2886°
constexpr double FourthCorrection = 0.0037350045992678655; // 0.214°
constexpr double Variation = 0.011489502465878671;         // 0.6583°
constexpr double NodeCorrection = 0.0027925268031909274;   // 0.16°

std::array<double*, 4> eventFields(TRiseSet& r) {
    return {&r.RiseTime, &r.SetTime, &r.TransitTime, &r.LowerTransitTime};
}

} // namespace

void MoonPosition(const TCoor& Sun, const TCoor& Observer, TCoor& Moon, double JD, double LST) {
    const double sunLon = Sun.EclipticLon;
    const double sunAnomaly = Sun.MeanAnomaly;
    const double D = JD - Epoch;
    const double l = LongitudeMotion * D + LongitudeAtEpoch;
    const double Mm = l - PerigeeMotion * D - PerigeeAtEpoch;
    const double N = NodeAtEpoch - NodeMotion * D;
    const double Ev = Evection * std::sin(2 * (l - sunLon) - Mm);
    const double Ae = AnnualEquation * std::sin(sunAnomaly);
    const double A3 = ThirdCorrection * std::sin(sunAnomaly);
    const double correctedAnomaly = Mm + Ev - Ae - A3;
    const double Ec = EquationOfCentre * std::sin(correctedAnomaly);
    const double A4 = FourthCorrection * std::sin(2 * correctedAnomaly);
    const double correctedLon = l + Ev + Ec - Ae + A4;
    const double V = Variation * std::sin(2 * (correctedLon - sunLon));
    const double trueLon = correctedLon + V;
    const double node = N - NodeCorrection * std::sin(sunAnomaly);

    const double fromNode = trueLon - node;
    Moon.EclipticLon = NormAngle(
        std::atan2(std::sin(fromNode) * std::cos(Inclination), std::cos(fromNode)) + node);
    Moon.EclipticLat = std::asin(std::sin(fromNode) * std::sin(Inclination));
    EclipticToEquatorial(Moon, JD);

    const double f =
        (1 - Eccentricity * Eccentricity) / (1 + Eccentricity * std::cos(correctedAnomaly + Ec));
    Moon.Diameter = DiameterAtSemiMajorAxis / f;
    Moon.Parallax = ParallaxAtSemiMajorAxis / f;
    Moon.Distance = f * SemiMajorAxisKm;

    if (LST != 0) {
        ToTopocentric(Moon, Observer, LST);
        Moon.GeoRightAsc = Moon.RightAsc;
        Moon.GeoDeclination = Moon.Declination;
        Moon.RightAsc = Moon.TopoRightAsc;
        Moon.Declination = Moon.TopoDeclination;
        EquatorialToHorizontal(Moon, JD, Observer.EclipticLat, LST);
    }

    Moon.PhaseAngle = NormAngle(trueLon - sunLon);
    Moon.Illuminated = (1 - std::cos(Moon.PhaseAngle)) / 2;
    Moon.PhaseText = std::string(PhaseNames[static_cast<size_t>(MoonPhaseIndex(Moon.PhaseAngle))]);
    Moon.Sign = ZodiacSign(Moon.EclipticLon);
}

TRiseSet MoonRiseSet(bool Raw, double JD, double DeltaTSeconds, double Lon, double Lat,
                     double ZoneHours) {
    const double JD0 = std::floor(JD - 0.5) + 0.5;
    const double s = DeltaTSeconds / 24 / 3600;
    const TCoor noObserver;
    TCoor sun1;
    TCoor moon1;
    SunPosition(sun1, JD0 + s, 0, 0);
    MoonPosition(sun1, noObserver, moon1, JD0 + s, 0);
    TCoor sun2;
    TCoor moon2;
    SunPosition(sun2, JD0 + 0.5 + s, 0, 0);
    MoonPosition(sun2, noObserver, moon2, JD0 + 0.5 + s, 0);

    const TEventTimes events = EventTimes(moon1, moon2, JD0, Lon, Lat, 0.5, 0);
    TRiseSet result;
    result.RiseTime = events.RiseTime;
    result.SetTime = events.SetTime;
    result.TransitTime = events.TransitTime;
    result.LowerTransitTime = events.LowerTransitTime;
    if (Raw)
        return result;

    // The local date is [-m, 24 - m) in universal hours after JD0. An event
    // outside it is looked for on the neighbouring days, nearest first; the
    // moon's events drift by about 50 minutes a day, so one of them is missing
    // on some dates (-1).
    const double m = ZoneHours;
    const auto onLocalDate = [m](double t) {
        return t >= -m && t < 24 - m;
    };
    struct Neighbour {
        int days;
        std::optional<TRiseSet> times;
    };
    Neighbour neighbours[] = {{-1, {}}, {1, {}}, {-2, {}}, {2, {}}};

    const auto own = eventFields(result);
    for (size_t i = 0; i < own.size(); ++i) {
        double& t = *own[i];
        if (onLocalDate(t)) {
            t = Modulo(t + m, 24);
            continue;
        }
        t = -1;
        for (Neighbour& n : neighbours) {
            if (!n.times)
                n.times = MoonRiseSet(true, JD + n.days, DeltaTSeconds, Lon, Lat, ZoneHours);
            const double candidate = *eventFields(*n.times)[i] + 24.0 * n.days;
            if (onLocalDate(candidate)) {
                t = Modulo(candidate + m, 24);
                break;
            }
        }
    }
    return result;
}

} // namespace kv::sunmoon
