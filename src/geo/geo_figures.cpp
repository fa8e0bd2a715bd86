#include "geo/geo_figures.h"

#include "astro/sunmoon.h"

#include <cmath>

namespace kv {

namespace {

using namespace sunmoon;

constexpr double MinimumRiseSetGap = 1.0 / 120; // half a minute

GeoTime clockTime(double hours) {
    return {hours, QString::fromStdString(HoursToText(hours))};
}

QString text(const std::string& utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

GeoSunFigures sunFigures(const TCoor& sun, const TRiseSet& times) {
    GeoSunFigures f;
    f.azimuth = sun.AzimuthAngle * RadToDeg;
    f.altitude = sun.AltitudeAngle * RadToDeg;
    f.rise = clockTime(times.RiseTime);
    f.set = clockTime(times.SetTime);
    f.transit = clockTime(times.TransitTime);
    f.lowerTransit = clockTime(times.LowerTransitTime);
    f.civilDawn = clockTime(times.CivilDawn);
    f.civilDusk = clockTime(times.CivilDusk);
    f.nauticalDawn = clockTime(times.NauticalDawn);
    f.nauticalDusk = clockTime(times.NauticalDusk);
    f.astroDawn = clockTime(times.AstroDawn);
    f.astroDusk = clockTime(times.AstroDusk);
    double dayLength = times.SetTime - times.RiseTime;
    if (dayLength < 0)
        dayLength += 24;
    f.dayLength = clockTime(dayLength);
    f.dayLengthShown = std::fabs(times.SetTime - times.RiseTime) > MinimumRiseSetGap;
    f.sign = text(sun.Sign);
    f.eclipticLon = sun.EclipticLon * RadToDeg;
    return f;
}

GeoMoonFigures moonFigures(const TCoor& moon, const TRiseSet& times) {
    GeoMoonFigures f;
    f.azimuth = moon.AzimuthAngle * RadToDeg;
    f.altitude = moon.AltitudeAngle * RadToDeg;
    f.rise = clockTime(times.RiseTime);
    f.set = clockTime(times.SetTime);
    f.transit = clockTime(times.TransitTime);
    f.lowerTransit = clockTime(times.LowerTransitTime);
    f.riseSetShown = std::fabs(times.RiseTime - times.SetTime) > MinimumRiseSetGap;
    f.phaseAngle = moon.PhaseAngle * RadToDeg;
    f.illuminated = moon.Illuminated;
    f.phase = text(moon.PhaseText);
    f.sign = text(moon.Sign);
    f.eclipticLon = moon.EclipticLon * RadToDeg;
    f.eclipticLat = moon.EclipticLat * RadToDeg;
    return f;
}

bool allFinite(std::initializer_list<double> values) {
    for (double v : values) {
        if (!std::isfinite(v))
            return false;
    }
    return true;
}

} // namespace

double moonPictureAngle(double phaseAngle) {
    // A phase angle of exactly π still counts as waxing.
    return phaseAngle <= Pi ? 180 : 0;
}

std::optional<GeoFigures> computeGeoFigures(int latTenths, int lonTenths,
                                            const BoardDateTime& moment,
                                            const sunmoon::TimeZoneRules& rules) {
    const std::optional<GeoMoment> when = geoMoment(moment, rules);
    if (!when)
        return std::nullopt;

    GeoFigures figures;
    figures.moment = *when;
    figures.latitude = latTenths * 0.1;
    figures.longitude = lonTenths * 0.1;
    const double lat = figures.latitude * DegToRad;
    const double lon = figures.longitude * DegToRad;
    const double positionJD = when->jd + DeltaTDays;

    const double gst = SiderealTime(when->jd);
    const double lst = LocalSiderealTime(gst, lon) * 15 * DegToRad;
    TCoor observer;
    ObserverPosition(observer, lon, lat, 0, gst);
    TCoor sun;
    SunPosition(sun, positionJD, lat, lst);
    TCoor moon;
    MoonPosition(sun, observer, moon, positionJD, lst);

    const TRiseSet sunTimes =
        SunRiseSet(false, when->jd0, DeltaTSeconds, lon, lat, when->zoneHours);
    const TRiseSet moonTimes =
        MoonRiseSet(false, when->jd0, DeltaTSeconds, lon, lat, when->zoneHours);
    if (!allFinite({sun.AzimuthAngle, sun.AltitudeAngle, moon.AzimuthAngle, moon.AltitudeAngle,
                    moon.PhaseAngle, moon.Illuminated, sunTimes.RiseTime, sunTimes.SetTime,
                    moonTimes.RiseTime, moonTimes.SetTime}))
        return std::nullopt;

    figures.sun = sunFigures(sun, sunTimes);
    figures.moon = moonFigures(moon, moonTimes);
    figures.label = geoLabel(figures.sun, figures.moon);
    figures.moonPicture.angleDeg = moonPictureAngle(moon.PhaseAngle);
    figures.moonPicture.fraction = moon.Illuminated;
    return figures;
}

} // namespace kv
