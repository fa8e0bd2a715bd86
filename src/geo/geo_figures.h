#pragma once

#include "astro/time_zone_rules.h"
#include "geo/geo_moment.h"

#include <QString>
#include <QtGlobal>
#include <optional>

namespace kv {

// A clock time as the Geo view shows it.
struct GeoTime {
    double hours = -1; // local clock hours in [0, 24); -1 when there is no such event
    QString text;      // "HH:MM", or "--:--" when there is none
};

struct GeoSunFigures {
    double azimuth = 0;  // degrees from north through east
    double altitude = 0; // degrees above the mathematical horizon
    GeoTime rise;
    GeoTime set;
    GeoTime transit;
    GeoTime lowerTransit;
    GeoTime civilDawn;
    GeoTime civilDusk;
    GeoTime nauticalDawn;
    GeoTime nauticalDusk;
    GeoTime astroDawn;
    GeoTime astroDusk;
    GeoTime dayLength; // hours from rise to set
    // The Geo view shows rise, set and day length only when they differ by
    // more than half a minute; on polar day and night they coincide.
    bool dayLengthShown = false;
    QString sign;
    double eclipticLon = 0; // degrees
};

struct GeoMoonFigures {
    double azimuth = 0;  // degrees, seen from the observer
    double altitude = 0; // degrees, seen from the observer
    GeoTime rise;        // -1 / "--:--" on a date without moonrise
    GeoTime set;
    GeoTime transit;
    GeoTime lowerTransit;
    bool riseSetShown = false; // rise and set appear in the label
    double phaseAngle = 0;     // degrees: 0 new moon, 180 full moon, growing while waxing
    double illuminated = 0;    // fraction 0..1
    QString phase;             // phase name
    QString sign;
    double eclipticLon = 0; // degrees
    double eclipticLat = 0; // degrees
};

// How the moon-phase picture is drawn: the lit part of a disc.
struct MoonPhasePicture {
    quint32 color = 0xFFE0E000; // ARGB
    double centerX = 30;
    double centerY = 30;
    double radius = 20;
    double angleDeg = 180; // 180: lit on the right (waxing), 0: lit on the left (waning)
    double fraction = 0;   // illuminated fraction
};

// The angle the moon picture is drawn at for a phase angle in radians: 180
// (lit on the right) while the moon waxes, a phase angle of exactly π
// included; 0 (lit on the left) while it wanes.
double moonPictureAngle(double phaseAngle);

struct GeoFigures {
    double latitude = 0;  // degrees, north positive
    double longitude = 0; // degrees, east positive
    GeoMoment moment;
    GeoSunFigures sun;
    GeoMoonFigures moon;
    QString label; // caption of lblGeo: two lines, each ended by CR LF
    MoonPhasePicture moonPicture;
};

// Everything the Geo view shows for a place (the board's Lat and Lon, tenths
// of a degree) and the board's date and time under the given time-zone rules.
// Texts use the catalogue (Msg) and the default locale's decimal separator.
// Nothing for an impossible date or time or when the place gives no numbers.
std::optional<GeoFigures> computeGeoFigures(int latTenths, int lonTenths,
                                            const BoardDateTime& moment,
                                            const sunmoon::TimeZoneRules& rules);

// The caption of lblGeo for the figures of a place and moment.
QString geoLabel(const GeoSunFigures& sun, const GeoMoonFigures& moon);

} // namespace kv
