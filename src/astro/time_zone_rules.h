#pragma once

#include <compare>

namespace kv::sunmoon {

// A local calendar date and time; compares field by field.
struct LocalDateTime {
    int year = 0;
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;

    auto operator<=>(const LocalDateTime&) const = default;
};

// When a zone switches to standard or to daylight time: the week-th dayOfWeek
// (0 = Sunday … 6 = Saturday) of the month, week 1 to 5 with 5 meaning the
// last, at the given local time. Month 0 means the zone has no such switch.
struct TransitionRule {
    int month = 0;
    int week = 0;
    int dayOfWeek = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;

    bool operator==(const TransitionRule&) const = default;
};

// The time-zone rules of a computer: universal time = local time + bias, plus
// standardBias in standard time and plus daylightBias in daylight time (all in
// minutes; central Europe: bias -60, daylightBias -60).
struct TimeZoneRules {
    int bias = 0;
    TransitionRule standardDate;
    int standardBias = 0;
    TransitionRule daylightDate;
    int daylightBias = 0;

    // Both switches are set (their months are 1 to 12).
    bool hasDaylightSaving() const;
    bool operator==(const TimeZoneRules&) const = default;
};

// The local date and time at which a rule takes effect in Year. A week beyond
// the month's last such weekday means that last one.
LocalDateTime TransitionTime(const TransitionRule& Rule, int Year);

// Local time minus universal time, in minutes, at a local date and time. The
// daylight period runs from the daylight switch up to the standard switch;
// where the daylight switch comes later in the year (southern hemisphere) the
// period spans the new year. Compared in local time, without conversion.
int UtcOffsetMinutes(const TimeZoneRules& Rules, const LocalDateTime& T);

// The same offset in exact hours (+5:30 gives 5.5).
double UtcOffsetHours(const TimeZoneRules& Rules, const LocalDateTime& T);

} // namespace kv::sunmoon
