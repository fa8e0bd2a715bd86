#include "geo/geo_moment.h"

#include "astro/time_scales.h"

#include <QDate>
#include <QTime>

namespace kv {

std::optional<GeoMoment> geoMoment(const BoardDateTime& moment,
                                   const sunmoon::TimeZoneRules& rules) {
    if (!QDate::isValid(moment.year, moment.month, moment.day) ||
        !QTime::isValid(moment.hour, moment.minute, 0))
        return std::nullopt;
    sunmoon::LocalDateTime local;
    local.year = moment.year;
    local.month = moment.month;
    local.day = moment.day;
    local.hour = moment.hour;
    local.minute = moment.minute;

    GeoMoment result;
    // Exact hours: zones such as +5:30 or -3:30 are not whole hours.
    result.zoneHours = sunmoon::UtcOffsetHours(rules, local);
    result.jd0 = sunmoon::JulianDay(moment.day, moment.month, moment.year);
    result.jd = result.jd0 + (moment.hour - result.zoneHours + moment.minute / 60.0) / 24;
    return result;
}

} // namespace kv
