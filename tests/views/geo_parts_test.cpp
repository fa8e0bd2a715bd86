// The Geo tab's pure parts: map geometry and marker, the moon-phase picture,
// the typed clock time.
#include "qt_printers.h"

#include "geo/geo_figures.h"
#include "text/text_catalogue.h"
#include "views/clock_text.h"
#include "views/geo_map.h"
#include "views/geo_scene.h"
#include "views/moon_phase.h"

#include <QLocale>

#include <gtest/gtest.h>

#include <numbers>

namespace kv {
namespace {

using geomap::Place;

QImage plainMap(QRgb color = 0xFF000000) {
    QImage map(geomap::Width, geomap::Height, QImage::Format_RGB32);
    map.fill(color);
    return map;
}

int countPixels(const QImage& picture, QRgb color) {
    int count = 0;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            if (picture.pixel(x, y) == color)
                ++count;
    return count;
}

int litPixels(const QImage& picture, int fromX = 0, int toX = moonphase::PictureSize) {
    int count = 0;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = fromX; x < toX; ++x)
            if (qAlpha(picture.pixel(x, y)) > 0)
                ++count;
    return count;
}

QImage moonPicture(double angleDeg, double fraction) {
    MoonPhasePicture moon;
    moon.angleDeg = angleDeg;
    moon.fraction = fraction;
    return moonPhaseImage(moon);
}

TEST(GeoMapTest, FrankfurtSitsAtPixel524By111WithItsRedSquareAndBlendedLines) {
    const QPoint pixel = geomap::pixelOf({501 * 0.1, 85 * 0.1});
    EXPECT_EQ(pixel, QPoint(524, 111));

    QImage map = plainMap();
    geomap::drawMarker(map, pixel);
    // Exactly the 5 × 5 square from (522, 109) to (526, 113) is red.
    EXPECT_EQ(countPixels(map, geomap::SquareColor), 25);
    for (int y = 109; y <= 113; ++y)
        for (int x = 522; x <= 526; ++x)
            EXPECT_EQ(map.pixel(x, y), geomap::SquareColor) << x << "," << y;
    EXPECT_NE(map.pixel(527, 111), geomap::SquareColor);
    EXPECT_NE(map.pixel(524, 114), geomap::SquareColor);
    // The lines: white at a quarter opacity over black, across the whole map.
    const QRgb line = qRgb(64, 64, 64);
    EXPECT_EQ(map.pixel(0, 111), line);
    EXPECT_EQ(map.pixel(999, 111), line);
    EXPECT_EQ(map.pixel(524, 0), line);
    EXPECT_EQ(map.pixel(524, 499), line);
    EXPECT_EQ(map.pixel(0, 0), qRgb(0, 0, 0));
    EXPECT_EQ(countPixels(map, line), 1000 - 5 + 500 - 5);
}

TEST(GeoMapTest, MarkerAtTheEdgesStaysInsideThePicture) {
    QImage map = plainMap();
    geomap::drawMarker(map, geomap::pixelOf({-90, 180})); // pixel (1000, 500)
    // Only the square's top left corner lies on the picture; no line does.
    EXPECT_EQ(countPixels(map, geomap::SquareColor), 4);
    EXPECT_EQ(map.pixel(998, 498), geomap::SquareColor);
    EXPECT_EQ(countPixels(map, qRgb(64, 64, 64)), 0);
}

TEST(GeoMapTest, PicturePointsGiveThePlaceClampedToTheEdges) {
    const Place rightBottom = geomap::placeAt({1000, 500});
    EXPECT_DOUBLE_EQ(rightBottom.longitude, 180);
    EXPECT_DOUBLE_EQ(rightBottom.latitude, -90);
    const Place beyond = geomap::placeAt({1234, 777});
    EXPECT_DOUBLE_EQ(beyond.longitude, 180);
    EXPECT_DOUBLE_EQ(beyond.latitude, -90);
    const Place before = geomap::placeAt({-5, -5});
    EXPECT_DOUBLE_EQ(before.longitude, -180);
    EXPECT_DOUBLE_EQ(before.latitude, 90);
    const Place middle = geomap::placeAt({500, 250});
    EXPECT_DOUBLE_EQ(middle.longitude, 0);
    EXPECT_DOUBLE_EQ(middle.latitude, 0);
    // Tenths round halves to even, as the board's place is stored.
    EXPECT_EQ(geomap::toTenths(0.25), 2);
    EXPECT_EQ(geomap::toTenths(-179.64), -1796);
}

TEST(GeoMapTest, ThePointerAndThePlaceInGermanWords) {
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    LoadTextCatalogue();
    EXPECT_EQ(geomap::pointerText({50.14, -8.5}),
              QString::fromUtf8("Mausposition: Breite: 50,1°, Länge: -8,5°"));
    EXPECT_EQ(geomap::placeInWords({-33.9, 151.2}),
              QString::fromUtf8("Gewählter Ort: 33,9° südliche Breite, 151,2° östliche Länge"));
    textCatalogue().clear();
    QLocale::setDefault(QLocale::c());
}

TEST(GeoMapTest, CopyingTheMapReusesThePictureAndRestoresIt) {
    const QImage world = plainMap(0xFF102030);
    QImage picture = world.copy();
    geomap::drawMarker(picture, {10, 10});
    const uchar* pixels = picture.constBits();
    geomap::copyMap(world, picture);
    EXPECT_EQ(picture.constBits(), pixels);
    EXPECT_EQ(picture, world);
}

TEST(GeoMapTest, TheShippedMapIsTheWholeEarth) {
    const QImage map = geomap::loadWorldMap();
    ASSERT_EQ(map.size(), QSize(geomap::Width, geomap::Height));
    // Open sea in the middle of the Pacific is dark blue, the Sahara is
    // light and warm, Antarctica white.
    const QColor pacific = map.pixelColor(geomap::pixelOf({0, -150}));
    EXPECT_GT(pacific.blue(), pacific.red());
    const QColor sahara = map.pixelColor(geomap::pixelOf({23, 10}));
    EXPECT_GT(sahara.red(), sahara.blue());
    EXPECT_GT(sahara.lightness(), pacific.lightness());
    EXPECT_GT(map.pixelColor(geomap::pixelOf({-85, 0})).lightness(), 200);
}

TEST(MoonPhaseTest, NewHalfAndFullMoonFillNothingHalfAndTheWholeDisc) {
    EXPECT_EQ(litPixels(moonPicture(180, 0)), 0);

    // A disc of radius 20 drawn as a 24-sided polygon: about 1242 pixels.
    const int full = litPixels(moonPicture(180, 1));
    EXPECT_NEAR(full, 1242, 20);

    const QImage half = moonPicture(0, 0.5);
    const int halfCount = litPixels(half);
    EXPECT_NEAR(halfCount, full / 2, 25);
    // At angle 0 the lit half is the left one.
    EXPECT_EQ(litPixels(half, 31, 60), 0);
    EXPECT_EQ(litPixels(half, 0, 30), halfCount);
    EXPECT_EQ(half.pixel(20, 30), 0xFFE0E000);
}

TEST(MoonPhaseTest, FractionsOutsideZeroToOneDrawNothing) {
    EXPECT_EQ(litPixels(moonPicture(180, -0.01)), 0);
    EXPECT_EQ(litPixels(moonPicture(180, 1.01)), 0);
    EXPECT_TRUE(moonphase::outline(30, 30, 20, 0, 2).isEmpty());
}

TEST(MoonPhaseTest, APhaseAngleOfExactlyPiIsDrawnWaxingLitOnTheRight) {
    EXPECT_EQ(moonPictureAngle(std::numbers::pi), 180);
    EXPECT_EQ(moonPictureAngle(std::nextafter(std::numbers::pi, 4.0)), 0);
    const QImage crescent = moonPicture(moonPictureAngle(std::numbers::pi), 0.25);
    EXPECT_GT(litPixels(crescent, 31, 60), 0);
    EXPECT_EQ(litPixels(crescent, 0, 30), 0);
}

TEST(GeoSceneTest, AnImpossibleDateRedrawsTheMapAndKeepsTheMoon) {
    GeoScene scene(plainMap());
    sunmoon::TimeZoneRules utc;
    const auto figures = scene.update(501, 85, {2024, 6, 21, 12, 0, 0}, utc);
    ASSERT_TRUE(figures);
    const QImage moon = scene.moon();
    EXPECT_GT(litPixels(moon), 1000); // nearly full on 21 June 2024

    EXPECT_FALSE(scene.update(-200, 0, {2024, 0, 0, 12, 0, 0}, utc));
    EXPECT_EQ(scene.map().pixel(geomap::pixelOf({-20, 0})), geomap::SquareColor);
    EXPECT_NE(scene.map().pixel(524, 111), geomap::SquareColor);
    EXPECT_EQ(scene.moon(), moon);
}

TEST(ClockTextTest, TypedTimesAreSplitAtTheFirstColon) {
    EXPECT_EQ(clockText(7, 5), "07:05");
    const TypedClock sevenFive = readClockText("7:5");
    EXPECT_EQ(sevenFive.kind, TypedClock::Valid);
    EXPECT_EQ(sevenFive.hour, 7);
    EXPECT_EQ(sevenFive.minute, 5);
    EXPECT_EQ(readClockText(" 23 : 59 ").kind, TypedClock::Valid);
    for (const char* text : {"", "7", "7:", ":5", "7:5:0", "a:b", "7.5"})
        EXPECT_EQ(readClockText(text).kind, TypedClock::NotATime) << text;
    for (const char* text : {"24:00", "-1:00", "7:60", "7:-1", "300:5"})
        EXPECT_EQ(readClockText(text).kind, TypedClock::OutOfRange) << text;
}

} // namespace
} // namespace kv
