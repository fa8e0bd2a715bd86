// The date bookkeeping of rise and set: the event window of EventTimes and the
// move of moon events into the local date, checked against the horizon
// crossings found by stepping minute by minute.
#include "astro/sunmoon.h"
#include "horizon_reference.h"

#include <gtest/gtest.h>

using namespace kv::sunmoon;
using kv::sunmoon::test::Body;
using kv::sunmoon::test::horizonCrossings;
using kv::sunmoon::test::minutesToNearest;

namespace {

struct Place {
    const char* name;
    double latDeg;
    double lonDeg;
    double zoneHours;
};

// Every rise and set the reference finds is reported within a few minutes,
// and every event reported is one the reference finds; -1 exactly where the
// reference has none.
void expectMoonMatchesReference(const Place& p, double jd0) {
    const double lat = p.latDeg * DegToRad;
    const double lon = p.lonDeg * DegToRad;
    const TRiseSet t = MoonRiseSet(false, jd0, 65, lon, lat, p.zoneHours);
    const auto ref = horizonCrossings(Body::Moon, jd0, lon, lat, p.zoneHours);
    const auto check = [&](double value, const std::vector<double>& reference, const char* what) {
        if (reference.empty()) {
            EXPECT_EQ(value, -1) << p.name << " " << what << " on JD " << jd0;
        } else {
            EXPECT_LT(minutesToNearest(value, reference), 5)
                << p.name << " " << what << " " << value << " on JD " << jd0;
        }
    };
    check(t.RiseTime, ref.rises, "moonrise");
    check(t.SetTime, ref.sets, "moonset");
}

void expectSunMatchesReference(const Place& p, double jd0) {
    const double lat = p.latDeg * DegToRad;
    const double lon = p.lonDeg * DegToRad;
    const TRiseSet t = SunRiseSet(false, jd0, 65, lon, lat, p.zoneHours);
    const auto ref = horizonCrossings(Body::Sun, jd0, lon, lat, p.zoneHours);
    ASSERT_EQ(ref.rises.size(), 1u);
    ASSERT_EQ(ref.sets.size(), 1u);
    EXPECT_LT(minutesToNearest(t.RiseTime, ref.rises), 1.5) << p.name << " sunrise on JD " << jd0;
    EXPECT_LT(minutesToNearest(t.SetTime, ref.sets), 1.5) << p.name << " sunset on JD " << jd0;
}

const Place Frankfurt{"Frankfurt", 50.1, 8.5, 2};
const Place Tokyo{"Tokyo", 35.7, 139.7, 9};
const Place NewYork{"New York", 40.7, -74, -5};
const Place MexicoCity{"Mexico City", 19.4, -99.1, -6};
const Place Kiritimati{"Kiritimati", 1.9, -157.4, 14};

} // namespace

// East of Greenwich, on the dates when the sidereal time at 0 h UT is below
// the longitude in hours, the window must not slip to the following day.
TEST(RiseSetWindow, EastOfGreenwichStaysOnTheDate) {
    const double jd = JulianDay(21, 9, 2024);
    const TRiseSet moon = MoonRiseSet(false, jd, 65, 8.5 * DegToRad, 50.1 * DegToRad, 2);
    EXPECT_NE(moon.RiseTime, -1);
    EXPECT_NE(moon.SetTime, -1);
    EXPECT_NE(moon.TransitTime, -1);
    EXPECT_NE(moon.LowerTransitTime, -1);
    expectMoonMatchesReference(Frankfurt, jd);

    // The sun's times move on from day to day instead of repeating.
    double previousRise = 0;
    for (int day = 18; day <= 24; ++day) {
        const double jd0 = JulianDay(day, 9, 2024);
        expectSunMatchesReference(Frankfurt, jd0);
        const TRiseSet sun = SunRiseSet(false, jd0, 65, 8.5 * DegToRad, 50.1 * DegToRad, 2);
        if (day > 18) {
            EXPECT_GT(sun.RiseTime - previousRise, 1.0 / 60) << day;
            EXPECT_LT(sun.RiseTime - previousRise, 2.5 / 60) << day;
        }
        previousRise = sun.RiseTime;
    }
}

TEST(RiseSetWindow, TokyoThroughTheAffectedWeeks) {
    // From 1 January to mid-February the sidereal time at 0 h UT is below
    // Tokyo's longitude in hours.
    const double start = JulianDay(1, 1, 2024);
    for (int day = 0; day < 45; ++day) {
        expectMoonMatchesReference(Tokyo, start + day);
        expectSunMatchesReference(Tokyo, start + day);
    }
}

TEST(RiseSetWindow, WestOfGreenwichKeepsItsEvents) {
    // West of Greenwich the window start passes 24 h in the weeks before the
    // September equinox: Mexico City's moonrise of 20 September 2024 must not
    // get lost, nor the sun's times slip to the day before.
    const double start = JulianDay(10, 9, 2024);
    for (int day = 0; day < 16; ++day) {
        expectMoonMatchesReference(MexicoCity, start + day);
        expectSunMatchesReference(MexicoCity, start + day);
    }
}

TEST(MoonLocalDate, WestOfGreenwichNoEventFromTheNextDate) {
    // 12 May 2024 in New York has no moonset: the one after 23:30 on the 11th
    // comes next at 00:09 on the 13th and belongs to that date.
    const double lat = 40.7 * DegToRad;
    const double lon = -74 * DegToRad;
    const TRiseSet may12 = MoonRiseSet(false, JulianDay(12, 5, 2024), 65, lon, lat, -5);
    EXPECT_EQ(may12.SetTime, -1);
    EXPECT_EQ(HoursToText(may12.SetTime), "--:--");
    EXPECT_EQ(HoursToText(may12.RiseTime), "08:12");
    const TRiseSet may13 = MoonRiseSet(false, JulianDay(13, 5, 2024), 65, lon, lat, -5);
    EXPECT_EQ(HoursToText(may13.SetTime), "00:09");
    for (int day = 10; day <= 14; ++day)
        expectMoonMatchesReference(NewYork, JulianDay(day, 5, 2024));
}

TEST(MoonLocalDate, EventFromTwoDaysAway) {
    // Kiritimati keeps UTC+14 at 157° W, 24.5 hours from its mean time: on 5
    // January 2024 the moonrise of the local date is found only in the
    // computation for two days earlier.
    const double jd = JulianDay(5, 1, 2024);
    const double lat = Kiritimati.latDeg * DegToRad;
    const double lon = Kiritimati.lonDeg * DegToRad;
    const auto onDate = [](double ut) {
        return ut >= -14 && ut < 10;
    };
    ASSERT_FALSE(onDate(MoonRiseSet(true, jd, 65, lon, lat, 14).RiseTime));
    ASSERT_FALSE(onDate(MoonRiseSet(true, jd - 1, 65, lon, lat, 14).RiseTime - 24));
    ASSERT_FALSE(onDate(MoonRiseSet(true, jd + 1, 65, lon, lat, 14).RiseTime + 24));
    const double twoDaysBefore = MoonRiseSet(true, jd - 2, 65, lon, lat, 14).RiseTime - 48;
    ASSERT_TRUE(onDate(twoDaysBefore));

    const TRiseSet t = MoonRiseSet(false, jd, 65, lon, lat, 14);
    EXPECT_DOUBLE_EQ(t.RiseTime, twoDaysBefore + 14);
    for (int day = 0; day < 60; ++day)
        expectMoonMatchesReference(Kiritimati, JulianDay(1, 1, 2024) + day);
}

TEST(MoonLocalDate, ZoneAheadOfMeanTime) {
    // Frankfurt in summer time runs 1.4 h ahead of its mean time.
    const double start = JulianDay(1, 6, 2024);
    for (int day = 0; day < 30; ++day)
        expectMoonMatchesReference(Frankfurt, start + day);
}
