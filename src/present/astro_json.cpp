#include "present/astro_json.h"

#include <QJsonValue>

namespace kv::present {

namespace {

QJsonValue timeJson(const GeoTime& time) {
    return time.text;
}

QJsonObject sunJson(const GeoSunFigures& sun) {
    return {
        {QStringLiteral("azimuth"), sun.azimuth},
        {QStringLiteral("altitude"), sun.altitude},
        {QStringLiteral("rise"), timeJson(sun.rise)},
        {QStringLiteral("set"), timeJson(sun.set)},
        {QStringLiteral("transit"), timeJson(sun.transit)},
        {QStringLiteral("lowerTransit"), timeJson(sun.lowerTransit)},
        {QStringLiteral("civilDawn"), timeJson(sun.civilDawn)},
        {QStringLiteral("civilDusk"), timeJson(sun.civilDusk)},
        {QStringLiteral("nauticalDawn"), timeJson(sun.nauticalDawn)},
        {QStringLiteral("nauticalDusk"), timeJson(sun.nauticalDusk)},
        {QStringLiteral("astroDawn"), timeJson(sun.astroDawn)},
        {QStringLiteral("astroDusk"), timeJson(sun.astroDusk)},
        {QStringLiteral("dayLength"),
         sun.dayLengthShown ? QJsonValue(sun.dayLength.text) : QJsonValue()},
        {QStringLiteral("sign"), sun.sign},
    };
}

QJsonObject moonJson(const GeoMoonFigures& moon) {
    return {
        {QStringLiteral("azimuth"), moon.azimuth},
        {QStringLiteral("altitude"), moon.altitude},
        {QStringLiteral("rise"), timeJson(moon.rise)},
        {QStringLiteral("set"), timeJson(moon.set)},
        {QStringLiteral("transit"), timeJson(moon.transit)},
        {QStringLiteral("lowerTransit"), timeJson(moon.lowerTransit)},
        {QStringLiteral("phaseAngle"), moon.phaseAngle},
        {QStringLiteral("illuminated"), moon.illuminated},
        {QStringLiteral("phase"), moon.phase},
        {QStringLiteral("sign"), moon.sign},
        {QStringLiteral("eclipticLon"), moon.eclipticLon},
        {QStringLiteral("eclipticLat"), moon.eclipticLat},
    };
}

} // namespace

QJsonObject geoFiguresJson(const GeoFigures& figures) {
    return {{QStringLiteral("sun"), sunJson(figures.sun)},
            {QStringLiteral("moon"), moonJson(figures.moon)},
            {QStringLiteral("label"), figures.label}};
}

} // namespace kv::present
