#include "astro/sunmoon.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace kv::sunmoon;

TEST(AstroBasics, ModuloReducesIntoTheRange) {
    EXPECT_DOUBLE_EQ(Modulo(25.5, 24), 1.5);
    EXPECT_DOUBLE_EQ(Modulo(-1.5, 24), 22.5);
    EXPECT_DOUBLE_EQ(Modulo(48, 24), 0);
    EXPECT_DOUBLE_EQ(NormAngle(-Pi / 2), 1.5 * Pi);
    EXPECT_DOUBLE_EQ(NormAngle(5 * Pi), Pi);
}

TEST(AstroBasics, HoursAsClockText) {
    EXPECT_EQ(HoursToText(-1), "--:--");
    EXPECT_EQ(HoursToText(-0.001), "--:--");
    EXPECT_EQ(HoursToText(0), "00:00");
    EXPECT_EQ(HoursToText(6.5), "06:30");
    EXPECT_EQ(HoursToText(12.2583), "12:15");
    // Minutes at or above 59.5 carry into the hour: never "xx:60".
    EXPECT_EQ(HoursToText(23.995), "24:00");
    EXPECT_EQ(HoursToText(9 + 59.5 / 60), "10:00");
    EXPECT_EQ(HoursToText(9 + 59.4 / 60), "09:59");
    // Half minutes go to the even minute.
    EXPECT_EQ(HoursToText(0.375), "00:22"); // 22.5 minutes
    EXPECT_EQ(HoursToText(0.625), "00:38"); // 37.5 minutes
    EXPECT_EQ(HoursToText(std::nan("")), "--:--");
}

TEST(AstroBasics, JulianDayAndSiderealTime) {
    EXPECT_EQ(JulianDay(1, 1, 2000), 2451544.5);
    EXPECT_EQ(JulianDay(1, 3, 2000), 2451604.5);
    EXPECT_EQ(JulianDay(21, 6, 2024), 2460482.5);
    EXPECT_EQ(JulianDay(29, 2, 2024) + 1, JulianDay(1, 3, 2024));
    EXPECT_EQ(JulianDay(1, 3, 1900), 2415079.5);

    EXPECT_NEAR(SiderealTime(2451545.0), 18.6974, 5e-5);
    EXPECT_NEAR(SiderealTime(2451544.5), 6.6645, 5e-5);
    // Universal time back from the sidereal time, also beyond the day.
    const double jd = 2451544.5 + 7.25 / 24;
    EXPECT_NEAR(SiderealToUT(jd, SiderealTime(jd)), 7.25, 1e-6);
    EXPECT_NEAR(SiderealToUT(jd, SiderealTime(jd) + 24.0 * 1.002737909), 31.25, 1e-6);
    EXPECT_LT(SiderealToUT(jd, SiderealTime(2451544.5) - 1), 0);
    EXPECT_NEAR(LocalSiderealTime(23, 30 * DegToRad), 1, 1e-12);
    EXPECT_NEAR(LocalSiderealTime(1, -30 * DegToRad), 23, 1e-12);
}

TEST(AstroBasics, ZodiacSigns) {
    EXPECT_EQ(ZodiacSign(0), "Widder");
    EXPECT_EQ(ZodiacSign(45 * DegToRad), "Stier");
    EXPECT_EQ(ZodiacSign(217.1 * DegToRad), "Skorpion");
    EXPECT_EQ(ZodiacSign(359.9 * DegToRad), "Fische");
    EXPECT_EQ(ZodiacSign(Pi), "Waage");
}

TEST(AstroBasics, ZodiacBoundaryCountsAsReached) {
    // 120° in radians and back is 119.99999999999999°: still the new sign.
    ASSERT_LT(120 * DegToRad * RadToDeg, 120.0);
    EXPECT_EQ(ZodiacSign(120 * DegToRad), "Löwe");
    for (int boundary = 30; boundary < 360; boundary += 30)
        EXPECT_EQ(ZodiacSign(boundary * DegToRad), ZodiacNames[size_t(boundary / 30)]) << boundary;
    // Only a hair below counts: 1e-6° below is still the old sign.
    EXPECT_EQ(ZodiacSign((120 - 1e-6) * DegToRad), "Krebs");
    // Just below 360° the next sign is the first one again.
    EXPECT_EQ(ZodiacSign(TwoPi - 1e-15), "Widder");
    EXPECT_EQ(ZodiacSign(std::nan("")), "");
}

TEST(AstroBasics, MoonPhaseNames) {
    const auto name = [](double degrees) {
        return PhaseNames[size_t(MoonPhaseIndex(degrees * DegToRad))];
    };
    EXPECT_EQ(name(10), "Neumond");
    EXPECT_EQ(name(20), "Zunehmende Sichel");
    EXPECT_EQ(name(85), "Erstes Viertel");
    EXPECT_EQ(name(100), "Erstes Viertel");
    EXPECT_EQ(name(110), "Zunehmender Mond");
    EXPECT_EQ(name(175), "Vollmond");
    EXPECT_EQ(name(200), "Abnehmender Mond");
    EXPECT_EQ(name(270), "Letztes Viertel");
    EXPECT_EQ(name(300), "Abnehmende Sichel");
    EXPECT_EQ(MoonPhaseIndex(355 * DegToRad), 8);
    // The quarter window is exclusive on the quarter side.
    const double window = 0.2127729531723531;
    EXPECT_EQ(MoonPhaseIndex(window), 1);
    EXPECT_EQ(MoonPhaseIndex(std::nextafter(window, 0.0)), 0);
    EXPECT_EQ(MoonPhaseIndex(Pi / 2 - window), 1);
    EXPECT_EQ(MoonPhaseIndex(std::nextafter(Pi / 2 - window, 2.0)), 2);
}

TEST(AstroBasics, ObserverOnTheEllipsoid) {
    TCoor observer;
    ObserverPosition(observer, 0, 0, 0, 0);
    EXPECT_NEAR(observer.GeoRadius, 6378.137, 1e-9);
    EXPECT_EQ(observer.Z, 0);
    EXPECT_NEAR(observer.X, 6378.137, 1e-9);

    ObserverPosition(observer, 0, 90 * DegToRad, 0, 0);
    EXPECT_NEAR(observer.GeoRadius, 6356.752, 5e-4);
    EXPECT_NEAR(observer.Z, 6356.752, 5e-4);
    ObserverPosition(observer, 0, -90 * DegToRad, 0, 0);
    EXPECT_NEAR(observer.GeoRadius, 6356.752, 5e-4);
    EXPECT_NEAR(observer.Z, -6356.752, 5e-4);

    // The position turns with the sidereal time: 6 h puts longitude 0 at +Y.
    ObserverPosition(observer, 0, 0, 0, 6);
    EXPECT_NEAR(observer.X, 0, 1e-9);
    EXPECT_NEAR(observer.Y, 6378.137, 1e-9);
    // The record is replaced and keeps the geodetic place.
    observer.Illuminated = 0.5;
    ObserverPosition(observer, 0.1, 0.8, 0, 0);
    EXPECT_EQ(observer.Illuminated, 0);
    EXPECT_EQ(observer.EclipticLon, 0.1);
    EXPECT_EQ(observer.EclipticLat, 0.8);
}

TEST(AstroBasics, HorizontalCoordinates) {
    // A star on the celestial equator at the meridian stands at 90° − latitude
    // in the south; an hour angle of −6 h puts it in the east, rising.
    TCoor star;
    star.RightAsc = 1;
    star.Declination = 0;
    EquatorialToHorizontal(star, 0, 50 * DegToRad, 1);
    EXPECT_NEAR(star.AltitudeAngle * RadToDeg, 40, 1e-9);
    EXPECT_NEAR(star.AzimuthAngle * RadToDeg, 180, 1e-9);
    EquatorialToHorizontal(star, 0, 50 * DegToRad, 1 - Pi / 2);
    EXPECT_NEAR(star.AltitudeAngle, 0, 1e-12);
    EXPECT_NEAR(star.AzimuthAngle * RadToDeg, 90, 1e-9);
    EXPECT_TRUE(star.Rising);
    EquatorialToHorizontal(star, 0, 50 * DegToRad, 1 + Pi / 2);
    EXPECT_NEAR(star.AzimuthAngle * RadToDeg, 270, 1e-9);
    EXPECT_FALSE(star.Rising);
}

TEST(AstroBasics, EclipticToEquatorialAtTheSolstice) {
    // At ecliptic longitude 90° the declination is the obliquity (23.44° in 2000).
    TCoor body;
    body.EclipticLon = Pi / 2;
    EclipticToEquatorial(body, 2451545.0);
    EXPECT_NEAR(body.Declination * RadToDeg, 23.4393, 1e-4);
    EXPECT_NEAR(body.RightAsc, Pi / 2, 1e-12);
}

TEST(AstroBasics, TopocentricPlaceOfANearBody) {
    // A body straight above an observer on the equator is nearer by the
    // earth's radius and keeps its direction.
    TCoor observer;
    ObserverPosition(observer, 0, 0, 0, 0);
    TCoor body;
    body.RightAsc = 0;
    body.Declination = 0;
    body.Distance = 384401;
    ToTopocentric(body, observer, 0);
    EXPECT_NEAR(body.TopoDistance, 384401 - 6378.137, 1e-6);
    EXPECT_NEAR(body.TopoDeclination, 0, 1e-12);
    EXPECT_NEAR(body.TopoRightAsc, 0, 1e-12);
    SphericalToCartesian(body, Pi / 2, 0, 2);
    EXPECT_NEAR(body.X, 0, 1e-12);
    EXPECT_NEAR(body.Y, 2, 1e-12);
}
