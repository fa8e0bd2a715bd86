#include "astro/time_zone_fields.h"

#include <algorithm>

namespace kv::sunmoon {

int latestTransitionDay(int month, int week) {
    int day = std::min(7 * week, 31);
    if (month == 4 || month == 6 || month == 9 || month == 11)
        day = std::min(day, 30);
    if (month == 2)
        day = std::min(day, 28);
    return day;
}

TimeZoneFields timeZoneFields(const TimeZoneRules& rules) {
    TimeZoneFields fields;
    fields.Bias = -rules.bias;
    fields.StandardMonth = rules.standardDate.month;
    fields.StandardDay = latestTransitionDay(rules.standardDate.month, rules.standardDate.week);
    fields.StandardHour = rules.standardDate.hour;
    fields.StandardDayOfWeek = rules.standardDate.dayOfWeek;
    fields.DaylightMonth = rules.daylightDate.month;
    fields.DaylightDay = latestTransitionDay(rules.daylightDate.month, rules.daylightDate.week);
    fields.DaylightHour = rules.daylightDate.hour;
    fields.DaylightDayOfWeek = rules.daylightDate.dayOfWeek;
    return fields;
}

} // namespace kv::sunmoon
