#pragma once

#include "astro/time_zone_rules.h"

#include <optional>

namespace kv {

// The board's clock as the InfoBlock holds it, with the full year
// (InfoBlock::calendarYear).
struct BoardDateTime {
    int year = 2000;
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// A board moment as the astronomy needs it.
struct GeoMoment {
    double zoneHours = 0; // local minus universal time, exact (+5:30 is 5.5)
    double jd0 = 0;       // Julian date of 0 h universal time of the local date
    double jd = 0;        // Julian date (universal time) of the moment
};

// The board moment under the given zone rules, to the minute (the Geo view
// and the day curve show minutes; the second does not move their figures).
// Nothing for an impossible date or time, such as month 0 before a board is
// connected.
std::optional<GeoMoment> geoMoment(const BoardDateTime& moment,
                                   const sunmoon::TimeZoneRules& rules);

} // namespace kv
