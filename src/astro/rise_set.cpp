#include "astro/rise_set.h"

#include "astro/angles.h"
#include "astro/time_scales.h"

#include <array>
#include <cmath>

namespace kv::sunmoon {

namespace {

constexpr double Refraction = 0.009890199094634533; // 34 arc minutes

// Time by which rise comes earlier and set later when the event altitude is
// shifted by x radians; zero where the geometry has no answer (a division by
// zero or an arcsine or arccosine out of range), as at the poles.
double shiftHours(double x, double Lat, double decl1, double decl2) {
    const double meanDecl = (decl1 + decl2) / 2;
    const double cosPsi = std::sin(Lat) / std::cos(meanDecl);
    if (!(std::fabs(cosPsi) <= 1))
        return 0;
    const double sinY = std::sin(x) / std::sin(std::acos(cosPsi));
    if (!(std::fabs(sinY) <= 1))
        return 0;
    const double shift = 13750.987083139757 * std::asin(sinY) / std::cos(meanDecl) / 3600;
    return std::isfinite(shift) ? shift : 0;
}

std::array<double*, 4> fields(TEventTimes& e) {
    return {&e.RiseTime, &e.SetTime, &e.TransitTime, &e.LowerTransitTime};
}

} // namespace

TEventTimes EventSiderealTimes(const TCoor& Body, double Lon, double Lat, double Alt) {
    const double alpha = Body.RightAsc;
    const double delta = Body.Declination;
    double cosH =
        (std::sin(Alt) - std::sin(Lat) * std::sin(delta)) / (std::cos(Lat) * std::cos(delta));
    if (cosH < -1)
        cosH = -1; // above Alt all day
    if (cosH > 1)
        cosH = 1; // below Alt all day
    const double H = std::acos(cosH);

    TEventTimes events;
    events.TransitTime = Modulo((alpha - Lon) * RadToHours, 24);
    events.LowerTransitTime = Modulo((alpha - Lon) * RadToHours + 12, 24);
    events.RiseTime = Modulo((alpha - H - Lon) * RadToHours + 24, 24);
    events.SetTime = Modulo((alpha + H - Lon) * RadToHours, 24);
    return events;
}

double InterpolateEvent(double G0, double S1, double S2, double Days) {
    return (24.07 * Days * S1 - (S2 - S1) * G0) / (24.07 * Days + S1 - S2);
}

TEventTimes EventTimes(const TCoor& Pos1, const TCoor& Pos2, double JD0, double Lon, double Lat,
                       double Days, double Alt) {
    double x = 0;
    if (Alt != 0)
        x = Pos1.Diameter / 2 - Pos1.Parallax + Refraction;

    TEventTimes E1 = EventSiderealTimes(Pos1, Lon, Lat, Alt);
    TEventTimes E2 = EventSiderealTimes(Pos2, Lon, Lat, Alt);
    const auto first = fields(E1);
    const auto second = fields(E2);

    // An event that passed 24 h between the two positions continues past 24.
    for (size_t i = 0; i < first.size(); ++i) {
        if (*first[i] > *second[i] && std::fabs(*first[i] - *second[i]) > 18)
            *second[i] += 24;
    }

    // The window is the 24 sidereal hours from local mean midnight. Its start
    // is not reduced: each event is brought into [L, L + 24) from either side,
    // so the window stays on the date east and west of Greenwich alike.
    const double G0 = SiderealTime(JD0);
    const double L = G0 - (Lon * RadToDeg / 15) * 1.002738;
    if (std::isfinite(L)) {
        for (size_t i = 0; i < first.size(); ++i) {
            while (*first[i] < L) {
                *first[i] += 24;
                *second[i] += 24;
            }
            while (*first[i] >= L + 24) {
                *first[i] -= 24;
                *second[i] -= 24;
            }
        }
    }

    const double shift = shiftHours(x, Lat, Pos1.Declination, Pos2.Declination);

    TEventTimes result;
    result.TransitTime =
        SiderealToUT(JD0, InterpolateEvent(G0, E1.TransitTime, E2.TransitTime, Days));
    result.LowerTransitTime =
        SiderealToUT(JD0, InterpolateEvent(G0, E1.LowerTransitTime, E2.LowerTransitTime, Days));
    result.RiseTime =
        SiderealToUT(JD0, InterpolateEvent(G0, E1.RiseTime, E2.RiseTime, Days) - shift);
    result.SetTime = SiderealToUT(JD0, InterpolateEvent(G0, E1.SetTime, E2.SetTime, Days) + shift);
    return result;
}

} // namespace kv::sunmoon
