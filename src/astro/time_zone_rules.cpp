#include "astro/time_zone_rules.h"

#include <algorithm>
#include <chrono>

namespace kv::sunmoon {

namespace {

bool isMonth(int month) {
    return month >= 1 && month <= 12;
}

} // namespace

bool TimeZoneRules::hasDaylightSaving() const {
    return isMonth(daylightDate.month) && isMonth(standardDate.month);
}

LocalDateTime TransitionTime(const TransitionRule& Rule, int Year) {
    using namespace std::chrono;
    const year_month ym{year{Year}, month{static_cast<unsigned>(std::clamp(Rule.month, 1, 12))}};
    const weekday firstWeekday{sys_days{ym / 1}};
    const weekday wanted{static_cast<unsigned>(((Rule.dayOfWeek % 7) + 7) % 7)};
    const int lastDay = static_cast<int>(static_cast<unsigned>((ym / last).day()));
    const int firstOccurrence = 1 + static_cast<int>((wanted - firstWeekday).count());
    int day = firstOccurrence + 7 * (std::clamp(Rule.week, 1, 5) - 1);
    while (day > lastDay)
        day -= 7;

    LocalDateTime t;
    t.year = Year;
    t.month = static_cast<int>(static_cast<unsigned>(ym.month()));
    t.day = day;
    t.hour = Rule.hour;
    t.minute = Rule.minute;
    t.second = Rule.second;
    t.millisecond = Rule.millisecond;
    return t;
}

int UtcOffsetMinutes(const TimeZoneRules& Rules, const LocalDateTime& T) {
    if (!Rules.hasDaylightSaving())
        return -Rules.bias;
    const LocalDateTime standardStart = TransitionTime(Rules.standardDate, T.year);
    const LocalDateTime daylightStart = TransitionTime(Rules.daylightDate, T.year);
    const bool daylight = daylightStart <= standardStart ? daylightStart <= T && T < standardStart
                                                         : daylightStart <= T || T < standardStart;
    return -(Rules.bias + (daylight ? Rules.daylightBias : Rules.standardBias));
}

double UtcOffsetHours(const TimeZoneRules& Rules, const LocalDateTime& T) {
    return UtcOffsetMinutes(Rules, T) / 60.0;
}

} // namespace kv::sunmoon
