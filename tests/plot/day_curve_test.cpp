// The day curve's picture, pixel by pixel.
#include "plot/day_curve.h"
#include "plot/day_curve_geometry.h"
#include "qt_printers.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <cmath>

namespace kv {
namespace {

constexpr QRgb Red = 0xFFFF0000;
constexpr QRgb RedShade = 0x20FF0000;

ScheduleLine lineAt(int hour, int minute, std::array<std::int16_t, 4> levels, int alt = 0) {
    ScheduleLine line;
    line.Hour = std::int8_t(hour);
    line.Minute = std::int8_t(minute);
    line.Alt = std::int16_t(alt);
    line.Color16 = levels;
    return line;
}

class DayCurveTest : public ::testing::Test {
protected:
    void SetUp() override {
        scene.curveColors = {Red, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF};
        scene.curveShades = {RedShade, 0x2000FF00, 0x200000FF, 0x20FFFFFF};
        scene.clock = {2024, 6, 21, 6, 30, 0};
        scene.font = QApplication::font();
        scene.locale = QLocale::c();
    }

    std::vector<LinePoint> draw() { return DrawDayCurve(image, scene); }
    QRgb at(int x, int y) const { return image.pixel(x, y); }
    // Whether a pixel of this colour lies in the column at x, rows top..bottom.
    bool columnHolds(int x, int top, int bottom, QRgb color) const {
        for (int y = top; y <= bottom; ++y)
            if (at(x, y) == color)
                return true;
        return false;
    }

    QImage image{1000, 600, QImage::Format_ARGB32_Premultiplied};
    DayCurveScene scene;
};

TEST_F(DayCurveTest, NoonAtHalfLevelLiesMidPictureWithItsHandle) {
    scene.schedule = {lineAt(12, 0, {2048, 0, 0, 0})};
    const auto points = draw();
    ASSERT_EQ(points.size(), 1u);
    EXPECT_DOUBLE_EQ(points[0].x, 500);
    EXPECT_DOUBLE_EQ(points[0].y[0], 299.5);
    EXPECT_DOUBLE_EQ(points[0].y[1], 579);
    // The handle covers 495..504 by 294..303 (halves round to even) in the
    // channel's colour, above the line and inside the shaded area alike.
    EXPECT_EQ(at(495, 294), Red);
    EXPECT_EQ(at(504, 303), Red);
    EXPECT_EQ(at(497, 296), Red);
    EXPECT_NE(at(505, 296), Red);
    EXPECT_NE(at(497, 293), Red);
}

TEST_F(DayCurveTest, BackgroundGridLabelsAndMarkerInTheirColours) {
    scene.schedule = {lineAt(12, 0, {2048, 0, 0, 0})};
    draw();
    EXPECT_EQ(at(30, 30), curvecolor::Background);
    EXPECT_EQ(at(60, 100), curvecolor::Grid);  // hour line 1
    EXPECT_EQ(at(100, 132), curvecolor::Grid); // level line 2
    // The board's clock at 06:30: x = 390 * 960 / 1440 + 20 = 280.
    EXPECT_TRUE(columnHolds(280, 0, 599, curvecolor::Marker));
    EXPECT_EQ(at(280, 100), curvecolor::Marker);
    EXPECT_EQ(at(280, 599), curvecolor::Marker);
    // Labels stand outside the plot area: right of the grid, below it.
    bool labelRight = false;
    for (int x = 981; x < 1000; ++x)
        for (int y = 288; y < 312; ++y)
            labelRight = labelRight || qGray(at(x, y)) > 40;
    EXPECT_TRUE(labelRight);
    // Below the chosen channel's curve its shade fills the plot area.
    const QColor shaded = QColor::fromRgb(at(310, 400));
    EXPECT_GT(shaded.red(), 0x10);
    EXPECT_EQ(shaded.green(), 0);
    EXPECT_EQ(at(310, 200), curvecolor::Background);

    // An empty schedule: grid, labels and marker only.
    scene.schedule.clear();
    EXPECT_TRUE(draw().empty());
    EXPECT_EQ(at(310, 400), curvecolor::Background);
    EXPECT_EQ(at(280, 400), curvecolor::Marker);
}

TEST_F(DayCurveTest, DraggedLineGetsItsLabelTopLeft) {
    scene.schedule = {lineAt(8, 30, {1864, 0, 0, 0})};
    scene.dragLine = 0;
    draw();
    EXPECT_EQ(dragLabelText(scene.schedule[0], 0, false), "08:30 45.51%");
    // A white box with black text in the top left corner.
    EXPECT_EQ(at(0, 0), curvecolor::DragLabelBackground);
    bool blackText = false;
    for (int x = 0; x < 40 && !blackText; ++x)
        blackText = columnHolds(x, 0, 12, curvecolor::DragLabelText);
    EXPECT_TRUE(blackText);
    scene.dragLine = -1;
    draw();
    EXPECT_NE(at(0, 0), curvecolor::DragLabelBackground);
}

TEST_F(DayCurveTest, DragLabelTextsOfBothViews) {
    EXPECT_EQ(dragLabelText(lineAt(24, 0, {4096, 0, 0, 0}), 0, false), "24:00 100%");
    EXPECT_EQ(dragLabelText(lineAt(0, 0, {0, 1884, 0, 0}, 5075), 1, true),
              QString::fromUtf8("30.5° 46%"));
    EXPECT_EQ(dragLabelText(lineAt(0, 0, {0, 0, 0, 0}, -20000), 0, true),
              QString::fromUtf8("0° 0%"));
}

TEST_F(DayCurveTest, GeoLinesLieAtTheirPathAnglesAndTheMarkerFollowsTheSun) {
    scene.sunPath = true;
    for (int alt : {-1045, 5000, 8660, 5000, -1045})
        scene.schedule.push_back(lineAt(0, 0, {2048, 0, 0, 0}, alt));
    // Kolkata, 09:00 local time at +5:30.
    scene.latTenths = 226;
    scene.lonTenths = 884;
    scene.zone.bias = -330;
    scene.clock = {2024, 6, 21, 9, 0, 0};
    const auto points = draw();
    const curve::CurveFrame frame{1000, 600};
    const double angles[] = {84, 120, 210, 240, 276};
    for (std::size_t k = 0; k < 5; ++k)
        EXPECT_NEAR(points[k].x, frame.pathX(angles[k]), 0.1) << k;

    const auto sun = curve::sunPathAngle(scene.clock, 226, 884, scene.zone);
    ASSERT_TRUE(sun);
    const int markerX = int(std::lround(frame.pathX(*sun)));
    EXPECT_TRUE(columnHolds(markerX, 30, 40, curvecolor::Marker) ||
                columnHolds(markerX - 1, 30, 40, curvecolor::Marker));
    // Half an hour of sun path away (the zone cut to +5) there is none.
    sunmoon::TimeZoneRules wholeHours;
    wholeHours.bias = -300;
    const auto wrong = curve::sunPathAngle(scene.clock, 226, 884, wholeHours);
    ASSERT_TRUE(wrong);
    const int wrongX = int(std::lround(frame.pathX(*wrong)));
    ASSERT_GT(std::abs(wrongX - markerX), 10);
    EXPECT_FALSE(columnHolds(wrongX, 30, 40, curvecolor::Marker));
}

} // namespace
} // namespace kv
