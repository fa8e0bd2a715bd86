// Where lines, grid and marker lie in the day curve, and what a mouse
// position means there.
#include "astro/sunmoon.h"
#include "plot/day_curve_geometry.h"

#include <gtest/gtest.h>

#include <cmath>

namespace kv::curve {
namespace {

std::vector<double> anglesOf(std::initializer_list<int> alts) {
    Schedule lines;
    for (int alt : alts) {
        lines.emplace_back();
        lines.back().Alt = std::int16_t(alt);
    }
    return linePathAngles(lines);
}

TEST(CurveGeometryTest, PointsGridAndMousePositions) {
    const CurveFrame frame{1000, 600};
    EXPECT_DOUBLE_EQ(frame.timeX(12 * 60), 500);
    EXPECT_DOUBLE_EQ(frame.levelY(2048), 299.5);
    EXPECT_DOUBLE_EQ(frame.timeX(1440), 980);
    EXPECT_DOUBLE_EQ(frame.pathX(180), 500);
    EXPECT_EQ(frame.gridX(1), 60);
    EXPECT_EQ(frame.gridY(1), 76); // 55.9 + 20, rounded
    EXPECT_EQ(frame.gridY(10), 579);
    EXPECT_EQ(frame.minutesAt(500), 720);
    EXPECT_EQ(frame.minutesAt(1200), 1440); // beyond the right edge: 24:00
    EXPECT_EQ(frame.minutesAt(-30), 0);
    EXPECT_EQ(frame.levelAt(299.5), 2048);
    EXPECT_EQ(frame.levelAt(-100), 4096);
    EXPECT_EQ(frame.levelAt(700), 0);
    // A picture too small for a plot area has no positions.
    EXPECT_FALSE((CurveFrame{40, 600}.minutesAt(10)));
    EXPECT_FALSE((CurveFrame{100, 41}.levelAt(10)));
}

TEST(CurveGeometryTest, PathAnglesPutTheTopOfTheDayOnTheSettingSide) {
    const auto angles = anglesOf({-1045, 5000, 8660, 5000, -1045});
    const double expected[] = {84, 120, 210, 240, 276};
    ASSERT_EQ(angles.size(), 5u);
    for (std::size_t k = 0; k < angles.size(); ++k)
        EXPECT_NEAR(angles[k], expected[k], 0.01) << k;
    // A plateau at the top lies wholly on the setting side.
    EXPECT_NEAR(anglesOf({0, 5000, 5000, 0})[1], 240, 0.01);
    // A dip in the middle of the day belongs to neither sweep: it stays at 0.
    EXPECT_EQ(anglesOf({0, 5000, 1000, 6000, 0})[2], 0);
    // Alts without an angle lie on the horizon of their sweep.
    const auto odd = anglesOf({-12000, 3000, 12000});
    EXPECT_EQ(odd[0], 90);
    EXPECT_EQ(odd[2], 270);
    EXPECT_EQ(anglesOf({5000}), std::vector<double>{0});
}

TEST(CurveGeometryTest, HandlesAreHitWithinEightPixelsFirstLineFirst) {
    std::vector<LinePoint> points(3);
    points[0] = {100, {50, 300, 0, 0}};
    points[1] = {105, {300, 300, 0, 0}};
    points[2] = {400, {200, 10, 0, 0}};
    EXPECT_EQ(hitLine(points, 0, {108, 308}), 1);
    EXPECT_EQ(hitLine(points, 1, {104, 300}), 0);
    EXPECT_EQ(hitLine(points, 1, {392, 18}), 2);
    EXPECT_FALSE(hitLine(points, 1, {391, 18}));
    EXPECT_FALSE(hitLine(points, 4, {100, 50}));
}

// The sun's path angle worked out by hand from universal time.
double pathAngleAtUniversalTime(double utHours) {
    using namespace sunmoon;
    const double jd = JulianDay(21, 6, 2024) + utHours / 24;
    const double lst = LocalSiderealTime(SiderealTime(jd), 88.4 * DegToRad);
    TCoor sun;
    SunPosition(sun, jd + DeltaTDays, 22.6 * DegToRad, lst * 15 * DegToRad);
    return pathAngle(sun.AltitudeAngle * RadToDeg, sun.Rising);
}

TEST(CurveGeometryTest, KolkataMarkerUsesTheExactHalfHourOffset) {
    sunmoon::TimeZoneRules india;
    india.bias = -330; // +5:30, no daylight saving
    const auto angle = sunPathAngle({2024, 6, 21, 9, 0, 0}, 226, 884, india);
    ASSERT_TRUE(angle);
    // 09:00 at +5:30 is 03:30 universal time; a zone cut to +5 would put the
    // sun half an hour further on.
    EXPECT_NEAR(*angle, pathAngleAtUniversalTime(3.5), 1e-9);
    EXPECT_GT(std::fabs(*angle - pathAngleAtUniversalTime(4.0)), 5);
    // No marker before the board has a date.
    EXPECT_FALSE(sunPathAngle({2000, 0, 0, 0, 0, 0}, 501, 85, {}));
}

} // namespace
} // namespace kv::curve
