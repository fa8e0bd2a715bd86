// Where lines, grid and marker lie in the day curve, and what a mouse
// position means there.
#include "astro/sunmoon.h"
#include "plot/day_curve_geometry.h"

#include <gtest/gtest.h>

#include <cmath>

namespace kv::curve {
namespace {

ScheduleLine altLine(int alt) {
    ScheduleLine line;
    line.Alt = std::int16_t(alt);
    return line;
}

std::vector<double> anglesOf(std::initializer_list<int> alts) {
    Schedule lines;
    for (int alt : alts)
        lines.push_back(altLine(alt));
    return linePathAngles(lines);
}

TEST(CurveFrameTest, PointsGridAndPlotArea) {
    const CurveFrame frame{1000, 600};
    EXPECT_DOUBLE_EQ(frame.timeX(12 * 60), 500);
    EXPECT_DOUBLE_EQ(frame.levelY(2048), 299.5);
    EXPECT_DOUBLE_EQ(frame.timeX(0), 20);
    EXPECT_DOUBLE_EQ(frame.timeX(1440), 980);
    EXPECT_DOUBLE_EQ(frame.levelY(4096), 20);
    EXPECT_DOUBLE_EQ(frame.levelY(0), 579);
    EXPECT_DOUBLE_EQ(frame.pathX(180), 500);
    EXPECT_EQ(frame.gridX(0), 20);
    EXPECT_EQ(frame.gridX(1), 60);
    EXPECT_EQ(frame.gridX(24), 980);
    EXPECT_EQ(frame.gridY(0), 20);
    EXPECT_EQ(frame.gridY(1), 76); // 55.9 + 20, rounded
    EXPECT_EQ(frame.gridY(10), 579);
}

TEST(CurveFrameTest, MousePositionsGiveMinutesAndLevelsWithinTheDay) {
    const CurveFrame frame{1000, 600};
    EXPECT_EQ(frame.minutesAt(500), 720);
    EXPECT_EQ(frame.minutesAt(980), 1440); // the right edge is 24:00
    EXPECT_EQ(frame.minutesAt(1200), 1440);
    EXPECT_EQ(frame.minutesAt(-30), 0);
    EXPECT_EQ(frame.levelAt(299.5), 2048);
    EXPECT_EQ(frame.levelAt(20), 4096);
    EXPECT_EQ(frame.levelAt(-100), 4096);
    EXPECT_EQ(frame.levelAt(700), 0);
    // A picture too small for a plot area has no positions.
    EXPECT_FALSE((CurveFrame{40, 600}.minutesAt(10)));
    EXPECT_FALSE((CurveFrame{100, 41}.levelAt(10)));
}

TEST(PathAnglesTest, TheTopLineLiesOnTheSettingSide) {
    const auto angles = anglesOf({-1045, 5000, 8660, 5000, -1045});
    const double expected[] = {84, 120, 210, 240, 276};
    ASSERT_EQ(angles.size(), 5u);
    for (std::size_t k = 0; k < angles.size(); ++k)
        EXPECT_NEAR(angles[k], expected[k], 0.01) << k;
}

TEST(PathAnglesTest, PlateausLinesOfNoSweepAndAltsWithoutAngle) {
    // Every line of a plateau at the top is reached by both sweeps.
    const auto plateau = anglesOf({0, 5000, 5000, 0});
    EXPECT_NEAR(plateau[0], 90, 1e-9);
    EXPECT_NEAR(plateau[1], 240, 0.01);
    EXPECT_NEAR(plateau[2], 240, 0.01);
    EXPECT_NEAR(plateau[3], 270, 1e-9);
    // A dip in the middle of the day belongs to neither sweep: it stays at 0.
    const auto dip = anglesOf({0, 5000, 1000, 6000, 0});
    EXPECT_NEAR(dip[1], 120, 0.01);
    EXPECT_EQ(dip[2], 0);
    EXPECT_NEAR(dip[3], 270 - 36.87, 0.01);
    // Alts outside -10000..10000 lie on the horizon of their sweep.
    const auto odd = anglesOf({-12000, 3000, 12000});
    EXPECT_EQ(odd[0], 90);
    EXPECT_EQ(odd[2], 270);
    // One line and no lines.
    EXPECT_EQ(anglesOf({5000}), std::vector<double>{0});
    EXPECT_TRUE(anglesOf({}).empty());
}

TEST(HitLineTest, FirstLineWithinEightPixelsOfTheChannelsPoint) {
    std::vector<LinePoint> points(3);
    points[0] = {100, {50, 300, 0, 0}};
    points[1] = {105, {300, 300, 0, 0}};
    points[2] = {400, {200, 10, 0, 0}};
    EXPECT_EQ(hitLine(points, 0, {108, 308}), 1);
    EXPECT_EQ(hitLine(points, 1, {104, 300}), 0); // both hit: the first wins
    EXPECT_EQ(hitLine(points, 1, {392, 18}), 2);
    EXPECT_FALSE(hitLine(points, 1, {391, 18}));
    EXPECT_FALSE(hitLine(points, 0, {400, 10}));
    EXPECT_FALSE(hitLine(points, 4, {100, 50}));
}

// The sun's path angle worked out by hand from universal time.
double pathAngleAtUniversalTime(double utHours, int day, int month, int year, double latDeg,
                                double lonDeg) {
    using namespace sunmoon;
    const double jd = JulianDay(day, month, year) + utHours / 24;
    const double lst = LocalSiderealTime(SiderealTime(jd), lonDeg * DegToRad);
    TCoor sun;
    SunPosition(sun, jd + DeltaTDays, latDeg * DegToRad, lst * 15 * DegToRad);
    return pathAngle(sun.AltitudeAngle * RadToDeg, sun.Rising);
}

TEST(SunPathAngleTest, KolkataUsesTheExactHalfHourOffset) {
    sunmoon::TimeZoneRules india;
    india.bias = -330; // +5:30, no daylight saving
    const BoardDateTime morning{2024, 6, 21, 9, 0, 0};
    const auto angle = sunPathAngle(morning, 226, 884, india);
    ASSERT_TRUE(angle);
    // 09:00 at +5:30 is 03:30 universal time.
    EXPECT_NEAR(*angle, pathAngleAtUniversalTime(3.5, 21, 6, 2024, 22.6, 88.4), 1e-9);
    // Counting the zone as +5 would put the sun half an hour further on.
    const double truncated = pathAngleAtUniversalTime(4.0, 21, 6, 2024, 22.6, 88.4);
    EXPECT_GT(std::fabs(*angle - truncated), 5);
    EXPECT_LT(*angle, 180); // the morning sun rises
    EXPECT_GT(*angle, 90);
}

TEST(SunPathAngleTest, NothingBeforeTheBoardHasADate) {
    EXPECT_FALSE(sunPathAngle(BoardDateTime{2000, 0, 0, 0, 0, 0}, 501, 85, {}));
}

} // namespace
} // namespace kv::curve
