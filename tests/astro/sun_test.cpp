#include "astro/sunmoon.h"
#include "horizon_reference.h"

#include <gtest/gtest.h>

using namespace kv::sunmoon;

namespace {

const double FrankfurtLat = 50.1 * DegToRad;
const double FrankfurtLon = 8.5 * DegToRad;

double dayLength(const TRiseSet& t) {
    const double d = t.SetTime - t.RiseTime;
    return d < 0 ? d + 24 : d;
}

} // namespace

TEST(Sun, TimesOfTheJuneSolstice) {
    const TRiseSet t = SunRiseSet(false, 2460482.5, 65, FrankfurtLon, FrankfurtLat, 2);
    EXPECT_EQ(HoursToText(t.RiseTime), "05:23");
    EXPECT_EQ(HoursToText(t.SetTime), "21:33");
    EXPECT_EQ(HoursToText(t.TransitTime), "13:28");
    EXPECT_EQ(HoursToText(t.LowerTransitTime), "01:28");
    EXPECT_EQ(HoursToText(t.CivilDawn), "04:25");
    EXPECT_EQ(HoursToText(t.CivilDusk), "22:31");
    EXPECT_EQ(HoursToText(t.NauticalDawn), "03:19");
    EXPECT_EQ(HoursToText(t.NauticalDusk), "23:37");
    // The sun does not get down to -18°: dawn and dusk lie either side of the
    // lower transit, moved apart by the refraction and semi-diameter shift.
    EXPECT_EQ(HoursToText(t.AstroDawn), "01:21");
    EXPECT_EQ(HoursToText(t.AstroDusk), "01:34");
    EXPECT_LT(t.AstroDawn, t.LowerTransitTime);
    EXPECT_GT(t.AstroDusk, t.LowerTransitTime);
    EXPECT_EQ(HoursToText(dayLength(t)), "16:10");
}

TEST(Sun, TimesOfTheDecemberSolstice) {
    const TRiseSet t =
        SunRiseSet(false, JulianDay(21, 12, 2024), 65, FrankfurtLon, FrankfurtLat, 1);
    EXPECT_EQ(HoursToText(t.RiseTime), "08:29");
    EXPECT_EQ(HoursToText(t.SetTime), "16:20");
    EXPECT_EQ(HoursToText(t.TransitTime), "12:24");
    EXPECT_EQ(HoursToText(t.LowerTransitTime), "00:25");
    EXPECT_EQ(HoursToText(t.CivilDawn), "07:37");
    EXPECT_EQ(HoursToText(t.CivilDusk), "17:11");
    EXPECT_EQ(HoursToText(t.NauticalDawn), "06:56");
    EXPECT_EQ(HoursToText(t.NauticalDusk), "17:53");
    EXPECT_EQ(HoursToText(t.AstroDawn), "06:16");
    EXPECT_EQ(HoursToText(t.AstroDusk), "18:33");
    EXPECT_EQ(HoursToText(dayLength(t)), "07:50");
}

TEST(Sun, PositionAtTheJuneSolstice) {
    // 21 June 2024, 10:00 universal time at 50.1° N 8.5° E.
    const double jd = 2460482.5 + 10.0 / 24;
    const double lst = LocalSiderealTime(SiderealTime(jd), FrankfurtLon) * 15 * DegToRad;
    TCoor sun;
    SunPosition(sun, jd + DeltaTDays, FrankfurtLat, lst);
    EXPECT_NEAR(sun.AzimuthAngle * RadToDeg, 139.2, 0.05);
    EXPECT_NEAR(sun.AltitudeAngle * RadToDeg, 58.3, 0.05);
    EXPECT_NEAR(sun.Declination * RadToDeg, 23.44, 0.01);
    EXPECT_EQ(sun.Sign, "Krebs"); // a day after the solstice: just past 90°
    EXPECT_EQ(sun.EclipticLat, 0);
    EXPECT_NEAR(sun.Distance, 152.0e6, 0.1e6); // near aphelion
    EXPECT_TRUE(sun.Rising);
}

TEST(Sun, EquinoxOnTheEquator) {
    // At longitude 0 and zone 0 the clock is local mean time: about 6 h and 18 h.
    const TRiseSet t = SunRiseSet(false, JulianDay(20, 3, 2024), 65, 0, 0, 0);
    EXPECT_NEAR(t.RiseTime, 6.12, 0.1);
    EXPECT_NEAR(t.SetTime, 18.12, 0.1);
    EXPECT_NEAR(dayLength(t), 12, 0.02);
}

TEST(Sun, PolarDayAndNight) {
    const double lat = 80 * DegToRad;
    const TRiseSet june = SunRiseSet(false, JulianDay(21, 6, 2024), 65, 0, lat, 0);
    EXPECT_NEAR(june.RiseTime, june.SetTime, 1.0 / 3600);
    EXPECT_NEAR(june.RiseTime, june.LowerTransitTime, 1.0 / 3600);
    const TRiseSet december = SunRiseSet(false, JulianDay(21, 12, 2024), 65, 0, lat, 0);
    EXPECT_NEAR(december.RiseTime, december.SetTime, 1.0 / 3600);
    EXPECT_NEAR(december.RiseTime, december.TransitTime, 1.0 / 3600);
}

TEST(Sun, RawTimesStayInUniversalTime) {
    // East of Greenwich the day starts before 0 h UT; far west it ends after 24 h.
    const TRiseSet east = SunRiseSet(true, JulianDay(21, 6, 2024), 65, 170 * DegToRad, 0, 12);
    EXPECT_LT(east.RiseTime, 0);
    const TRiseSet west = SunRiseSet(true, JulianDay(21, 6, 2024), 65, -170 * DegToRad, 0, -12);
    EXPECT_GT(west.SetTime, 24);
    EXPECT_EQ(west.CivilDawn, 0); // twilight is left alone
}

TEST(Sun, EventOnTheNextLocalDateIsTakenFromTheNextDay) {
    // At longitude 0 the lower transit of 1 November falls at about 23:44 UT,
    // which in zone +1 is 00:44 of the next local date: the next day's lower
    // transit stands in for it.
    const double jd = JulianDay(1, 11, 2024);
    const TRiseSet raw = SunRiseSet(true, jd, 65, 0, 0, 1);
    const TRiseSet next = SunRiseSet(true, jd + 1, 65, 0, 0, 1);
    ASSERT_GE(raw.LowerTransitTime, 23);
    ASSERT_NE(raw.LowerTransitTime, next.LowerTransitTime);
    const TRiseSet local = SunRiseSet(false, jd, 65, 0, 0, 1);
    EXPECT_EQ(local.LowerTransitTime, Modulo(next.LowerTransitTime + 1, 24));
    EXPECT_EQ(local.TransitTime, Modulo(raw.TransitTime + 1, 24));
}
