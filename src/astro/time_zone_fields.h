#pragma once

#include "astro/time_zone_rules.h"

namespace kv::sunmoon {

// The board's time-zone fields as the "copy the system's time zone" button
// derives them: Bias is local minus universal time in standard time
// (minutes); each switch is given by its month, the latest day of the month
// on which its weekday can fall, its hour and its weekday. A zone without
// daylight saving gives month 0 and day 0 for both.
struct TimeZoneFields {
    int Bias = 0;
    int StandardMonth = 0;
    int StandardDay = 0;
    int StandardHour = 0;
    int StandardDayOfWeek = 0;
    int DaylightMonth = 0;
    int DaylightDay = 0;
    int DaylightHour = 0;
    int DaylightDayOfWeek = 0;

    bool operator==(const TimeZoneFields&) const = default;
};

TimeZoneFields timeZoneFields(const TimeZoneRules& rules);

// The latest day of a month on which the week-th weekday can fall: 7·week,
// at most the month's length (February counts 28 days, also in leap years).
int latestTransitionDay(int month, int week);

} // namespace kv::sunmoon
