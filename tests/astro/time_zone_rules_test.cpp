#include "astro/time_zone_fields.h"
#include "astro/time_zone_rules.h"

#include <gtest/gtest.h>

using namespace kv::sunmoon;

namespace {

LocalDateTime at(int year, int month, int day, int hour = 12, int minute = 0) {
    return {year, month, day, hour, minute, 0, 0};
}

// Central European Time: standard time from the last Sunday of October at 3,
// daylight time from the last Sunday of March at 2.
TimeZoneRules centralEurope() {
    TimeZoneRules r;
    r.bias = -60;
    r.standardDate = {10, 5, 0, 3, 0, 0, 0};
    r.daylightDate = {3, 5, 0, 2, 0, 0, 0};
    r.daylightBias = -60;
    return r;
}

// Eastern Australia: daylight time from the first Sunday of October to the
// first Sunday of April, across the new year.
TimeZoneRules sydney() {
    TimeZoneRules r;
    r.bias = -600;
    r.standardDate = {4, 1, 0, 3, 0, 0, 0};
    r.daylightDate = {10, 1, 0, 2, 0, 0, 0};
    r.daylightBias = -60;
    return r;
}

TimeZoneRules fixedOffset(int minutesEastOfUtc) {
    TimeZoneRules r;
    r.bias = -minutesEastOfUtc;
    return r;
}

} // namespace

TEST(TransitionTime, NthWeekdayOfTheMonth) {
    EXPECT_EQ(TransitionTime({3, 5, 0, 2, 0, 0, 0}, 2024), at(2024, 3, 31, 2));
    // October 2024 has four Sundays: "the fifth" is the last one.
    EXPECT_EQ(TransitionTime({10, 5, 0, 3, 0, 0, 0}, 2024), at(2024, 10, 27, 3));
    // Second Sunday of March.
    EXPECT_EQ(TransitionTime({3, 2, 0, 2, 0, 0, 0}, 2024), at(2024, 3, 10, 2));
    EXPECT_EQ(TransitionTime({3, 2, 0, 2, 0, 0, 0}, 2025), at(2025, 3, 9, 2));
    // The last Thursday of February: the 29th in a leap year.
    EXPECT_EQ(TransitionTime({2, 5, 4, 0, 0, 0, 0}, 2024), at(2024, 2, 29, 0));
    EXPECT_EQ(TransitionTime({2, 5, 4, 0, 0, 0, 0}, 2023), at(2023, 2, 23, 0));
    // First Saturday, and the time of day taken from the rule.
    EXPECT_EQ(TransitionTime({6, 1, 6, 23, 59, 58, 500}, 2024),
              (LocalDateTime{2024, 6, 1, 23, 59, 58, 500}));
}

TEST(UtcOffset, CentralEuropeanTime) {
    const TimeZoneRules cet = centralEurope();
    EXPECT_EQ(UtcOffsetMinutes(cet, at(2024, 1, 15)), 60);
    EXPECT_EQ(UtcOffsetMinutes(cet, at(2024, 6, 21)), 120);
    EXPECT_EQ(UtcOffsetMinutes(cet, at(2024, 3, 31, 1, 59)), 60);
    EXPECT_EQ(UtcOffsetMinutes(cet, at(2024, 3, 31, 2, 0)), 120);
    EXPECT_EQ(UtcOffsetMinutes(cet, at(2024, 10, 27, 2, 59)), 120);
    EXPECT_EQ(UtcOffsetMinutes(cet, at(2024, 10, 27, 3, 0)), 60);
    EXPECT_EQ(UtcOffsetMinutes(cet, at(2024, 12, 31, 23, 59)), 60);
}

TEST(UtcOffset, NoDaylightSaving) {
    EXPECT_EQ(UtcOffsetMinutes(fixedOffset(0), at(2024, 6, 1)), 0);
    EXPECT_EQ(UtcOffsetMinutes(fixedOffset(330), at(2024, 6, 1)), 330);
    EXPECT_EQ(UtcOffsetMinutes(fixedOffset(-210), at(2024, 1, 1)), -210);
    EXPECT_FALSE(fixedOffset(330).hasDaylightSaving());
}

TEST(UtcOffset, ExactHoursForZonesThatAreNotWholeHours) {
    EXPECT_EQ(UtcOffsetHours(fixedOffset(330), at(2024, 6, 1)), 5.5);
    EXPECT_EQ(UtcOffsetHours(fixedOffset(345), at(2024, 6, 1)), 5.75);
    EXPECT_EQ(UtcOffsetHours(fixedOffset(-210), at(2024, 6, 1)), -3.5);
    EXPECT_EQ(UtcOffsetHours(centralEurope(), at(2024, 6, 1)), 2.0);
}

TEST(UtcOffset, SouthernHemisphereSummerSpansTheNewYear) {
    const TimeZoneRules r = sydney();
    EXPECT_EQ(UtcOffsetMinutes(r, at(2024, 1, 15)), 660);
    EXPECT_EQ(UtcOffsetMinutes(r, at(2024, 12, 25)), 660);
    EXPECT_EQ(UtcOffsetMinutes(r, at(2024, 7, 1)), 600);
    EXPECT_EQ(UtcOffsetMinutes(r, at(2024, 4, 7, 2, 59)), 660);
    EXPECT_EQ(UtcOffsetMinutes(r, at(2024, 4, 7, 3, 0)), 600);
    EXPECT_EQ(UtcOffsetMinutes(r, at(2024, 10, 6, 1, 59)), 600);
    EXPECT_EQ(UtcOffsetMinutes(r, at(2024, 10, 6, 2, 0)), 660);
}

TEST(TimeZoneFieldsOfTheSystem, CentralEuropeanTime) {
    TimeZoneFields expected;
    expected.Bias = 60;
    expected.StandardMonth = 10;
    expected.StandardDay = 31;
    expected.StandardHour = 3;
    expected.StandardDayOfWeek = 0;
    expected.DaylightMonth = 3;
    expected.DaylightDay = 31;
    expected.DaylightHour = 2;
    expected.DaylightDayOfWeek = 0;
    EXPECT_EQ(timeZoneFields(centralEurope()), expected);
}

TEST(TimeZoneFieldsOfTheSystem, LatestDayOfTheTransition) {
    TimeZoneRules r = centralEurope();
    r.daylightDate = {3, 2, 0, 2, 0, 0, 0}; // second Sunday of March
    EXPECT_EQ(timeZoneFields(r).DaylightDay, 14);
    r.daylightDate = {2, 5, 0, 2, 0, 0, 0}; // last week of February, leap years too
    EXPECT_EQ(timeZoneFields(r).DaylightDay, 28);
    EXPECT_EQ(latestTransitionDay(4, 5), 30);
    EXPECT_EQ(latestTransitionDay(11, 5), 30);
    EXPECT_EQ(latestTransitionDay(12, 5), 31);
    EXPECT_EQ(latestTransitionDay(2, 4), 28);
    EXPECT_EQ(latestTransitionDay(2, 3), 21);
    EXPECT_EQ(latestTransitionDay(9, 1), 7);
}

TEST(TimeZoneFieldsOfTheSystem, NoDaylightSaving) {
    const TimeZoneFields f = timeZoneFields(fixedOffset(330));
    EXPECT_EQ(f.Bias, 330);
    EXPECT_EQ(f.StandardMonth, 0);
    EXPECT_EQ(f.StandardDay, 0);
    EXPECT_EQ(f.DaylightMonth, 0);
    EXPECT_EQ(f.DaylightDay, 0);
}

TEST(TimeZoneFieldsOfTheSystem, SouthernHemisphere) {
    const TimeZoneFields f = timeZoneFields(sydney());
    EXPECT_EQ(f.Bias, 600);
    EXPECT_EQ(f.StandardMonth, 4);
    EXPECT_EQ(f.StandardDay, 7);
    EXPECT_EQ(f.StandardHour, 3);
    EXPECT_EQ(f.DaylightMonth, 10);
    EXPECT_EQ(f.DaylightDay, 7);
    EXPECT_EQ(f.DaylightHour, 2);
}
