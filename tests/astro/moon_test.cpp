#include "astro/sunmoon.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace kv::sunmoon;

TEST(Moon, TimesOfTwentyFirstJune2024) {
    const TRiseSet t = MoonRiseSet(false, 2460482.5, 65, 8.5 * DegToRad, 50.1 * DegToRad, 2);
    EXPECT_EQ(HoursToText(t.RiseTime), "21:58");
    EXPECT_EQ(HoursToText(t.SetTime), "03:59");
    EXPECT_EQ(HoursToText(t.TransitTime), "00:24");
    EXPECT_EQ(HoursToText(t.LowerTransitTime), "12:54");
    EXPECT_EQ(t.CivilDawn, 0); // no twilight for the moon
}

TEST(Moon, GeocentricPlaceOfFirstJanuary2000) {
    const double jd = 2451544.5 + DeltaTDays;
    TCoor sun;
    SunPosition(sun, jd, 0, 0);
    const TCoor noObserver;
    TCoor moon;
    MoonPosition(sun, noObserver, moon, jd, 0);
    EXPECT_NEAR(sun.EclipticLon * RadToDeg, 279.88, 0.005);
    EXPECT_NEAR(moon.EclipticLon * RadToDeg, 217.1, 0.05);
    EXPECT_NEAR(moon.EclipticLat * RadToDeg, 5.14, 0.005);
    EXPECT_NEAR(moon.PhaseAngle * RadToDeg, 297.2, 0.05);
    EXPECT_NEAR(moon.Illuminated, 0.271, 0.0005);
    EXPECT_EQ(moon.Sign, "Skorpion");
    EXPECT_EQ(moon.PhaseText, "Abnehmende Sichel");
    // Without an observer the horizontal place is left as it was.
    EXPECT_EQ(moon.AzimuthAngle, 0);
    EXPECT_EQ(moon.AltitudeAngle, 0);
    EXPECT_EQ(moon.TopoDistance, 0);
    EXPECT_GT(moon.Distance, 356000);
    EXPECT_LT(moon.Distance, 407000);
}

TEST(Moon, TopocentricPlaceWithAnObserver) {
    // 21 June 2024, 10:00 UT at 50.1° N 8.5° E: the moon stands low in the north.
    const double jd = 2460482.5 + 10.0 / 24;
    const double gst = SiderealTime(jd);
    const double lon = 8.5 * DegToRad;
    const double lat = 50.1 * DegToRad;
    const double lst = LocalSiderealTime(gst, lon) * 15 * DegToRad;
    TCoor observer;
    ObserverPosition(observer, lon, lat, 0, gst);
    TCoor sun;
    SunPosition(sun, jd + DeltaTDays, lat, lst);
    TCoor moon;
    MoonPosition(sun, observer, moon, jd + DeltaTDays, lst);
    EXPECT_NEAR(moon.AzimuthAngle * RadToDeg, 331, 0.05);
    EXPECT_NEAR(moon.AltitudeAngle * RadToDeg, -66.2, 0.05);
    EXPECT_NEAR(moon.Illuminated, 0.995, 0.0005);
    EXPECT_EQ(moon.PhaseText, "Vollmond");
    // The geocentric place is kept; the topocentric one differs by the parallax.
    EXPECT_NE(moon.GeoDeclination, moon.Declination);
    EXPECT_EQ(moon.Declination, moon.TopoDeclination);
    EXPECT_NEAR(moon.TopoDistance, moon.Distance, 6400);
    EXPECT_LT(std::fabs(moon.GeoDeclination - moon.Declination), moon.Parallax);
}
