#include "astro/sunmoon.h"
#include "geo/geo_figures.h"
#include "text/text_catalogue.h"

#include <QLocale>
#include <gtest/gtest.h>

using namespace kv;
using namespace kv::sunmoon;

namespace {

TimeZoneRules centralEurope() {
    TimeZoneRules r;
    r.bias = -60;
    r.standardDate = {10, 5, 0, 3, 0, 0, 0};
    r.daylightDate = {3, 5, 0, 2, 0, 0, 0};
    r.daylightBias = -60;
    return r;
}

TimeZoneRules fixedOffset(int minutesEastOfUtc) {
    TimeZoneRules r;
    r.bias = -minutesEastOfUtc;
    return r;
}

BoardDateTime boardTime(int year, int month, int day, int hour, int minute) {
    return {year, month, day, hour, minute, 0};
}

// German texts and a German decimal comma, as the program runs by default.
class GeoFiguresTest : public ::testing::Test {
protected:
    void SetUp() override {
        savedLocale_ = QLocale();
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        LoadTextCatalogue();
    }
    void TearDown() override {
        textCatalogue().clear();
        QLocale::setDefault(savedLocale_);
    }

private:
    QLocale savedLocale_;
};

} // namespace

TEST_F(GeoFiguresTest, NoonOfTwentyFirstJune2024) {
    const auto f = computeGeoFigures(501, 85, boardTime(2024, 6, 21, 12, 0), centralEurope());
    ASSERT_TRUE(f);
    EXPECT_EQ(f->moment.zoneHours, 2.0);
    EXPECT_EQ(f->label, QString::fromUtf8("Sonne: Richtung: 139,2°, Höhe: 58,3°, Aufgang: 05:23, "
                                          "Untergang: 21:33, Tageslänge: 16:10 Stunden\r\n"
                                          "Mond: Richtung: 331°, Höhe: -66,2°, Aufgang: 21:58, "
                                          "Untergang: 03:59, Phase: 99,5%\r\n"));

    EXPECT_NEAR(f->sun.azimuth, 139.2, 0.05);
    EXPECT_NEAR(f->sun.altitude, 58.3, 0.05);
    EXPECT_EQ(f->sun.transit.text, "13:28");
    EXPECT_EQ(f->sun.lowerTransit.text, "01:28");
    EXPECT_EQ(f->sun.civilDawn.text, "04:25");
    EXPECT_EQ(f->sun.civilDusk.text, "22:31");
    EXPECT_EQ(f->sun.nauticalDawn.text, "03:19");
    EXPECT_EQ(f->sun.nauticalDusk.text, "23:37");
    EXPECT_EQ(f->sun.astroDawn.text, "01:21");
    EXPECT_EQ(f->sun.astroDusk.text, "01:34");
    EXPECT_TRUE(f->sun.dayLengthShown);
    EXPECT_EQ(f->sun.dayLength.text, "16:10");
    EXPECT_EQ(f->sun.sign, "Krebs");

    EXPECT_EQ(f->moon.transit.text, "00:24");
    EXPECT_EQ(f->moon.lowerTransit.text, "12:54");
    EXPECT_NEAR(f->moon.illuminated, 0.995, 0.0005);
    EXPECT_EQ(f->moon.phase, "Vollmond");
    EXPECT_LT(f->moon.phaseAngle, 180); // still waxing
    EXPECT_EQ(f->moon.sign, QString::fromUtf8("Schütze"));
    EXPECT_GT(f->moon.eclipticLon, 240);
    EXPECT_LT(f->moon.eclipticLon, 270);
    EXPECT_LT(std::fabs(f->moon.eclipticLat), 5.3);

    // Waxing: lit on the right.
    EXPECT_EQ(f->moonPicture.angleDeg, 180);
    EXPECT_EQ(f->moonPicture.fraction, f->moon.illuminated);
    EXPECT_EQ(f->moonPicture.color, 0xFFE0E000u);
    EXPECT_EQ(f->moonPicture.radius, 20);
}

TEST_F(GeoFiguresTest, DecimalSeparatorFollowsTheLocale) {
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    const auto f = computeGeoFigures(501, 85, boardTime(2024, 6, 21, 12, 0), centralEurope());
    ASSERT_TRUE(f);
    EXPECT_TRUE(f->label.startsWith(QString::fromUtf8("Sonne: Richtung: 139.2°, Höhe: 58.3°")));
    EXPECT_TRUE(f->label.contains("Phase: 99.5%"));
}

TEST_F(GeoFiguresTest, PolarDayHidesRiseSetAndDayLength) {
    const auto f = computeGeoFigures(800, 0, boardTime(2024, 6, 21, 12, 0), fixedOffset(0));
    ASSERT_TRUE(f);
    EXPECT_FALSE(f->sun.dayLengthShown);
    const QString firstLine = f->label.section("\r\n", 0, 0);
    EXPECT_FALSE(firstLine.contains("Aufgang"));
    EXPECT_FALSE(firstLine.contains("Stunden"));
    EXPECT_TRUE(f->label.endsWith("%\r\n"));

    const auto night = computeGeoFigures(800, 0, boardTime(2024, 12, 21, 12, 0), fixedOffset(0));
    ASSERT_TRUE(night);
    EXPECT_FALSE(night->sun.dayLengthShown);
    EXPECT_EQ(night->sun.rise.text, night->sun.transit.text);
    EXPECT_LT(night->sun.altitude, 0);
}

TEST_F(GeoFiguresTest, MoonRisingButNotSetting) {
    // New York, 12 May 2024, zone -5: no moonset on that date.
    const auto f = computeGeoFigures(407, -740, boardTime(2024, 5, 12, 12, 0), fixedOffset(-300));
    ASSERT_TRUE(f);
    EXPECT_EQ(f->moon.set.hours, -1);
    EXPECT_EQ(f->moon.set.text, "--:--");
    EXPECT_TRUE(f->moon.riseSetShown);
    EXPECT_TRUE(f->label.contains("Mond: ")) << f->label.toStdString();
    EXPECT_TRUE(f->label.contains("Aufgang: 08:12, Untergang: --:--, Phase: "))
        << f->label.toStdString();
}

TEST_F(GeoFiguresTest, ZoneOffsetsThatAreNotWholeHours) {
    // 12:00 at +5:30 is the same moment as 11:30 at +5:00: same place in the
    // sky; the clock times of the same events differ by exactly half an hour.
    const auto india = computeGeoFigures(286, 772, boardTime(2024, 6, 21, 12, 0), fixedOffset(330));
    const auto fiveHours =
        computeGeoFigures(286, 772, boardTime(2024, 6, 21, 11, 30), fixedOffset(300));
    ASSERT_TRUE(india && fiveHours);
    EXPECT_EQ(india->moment.zoneHours, 5.5);
    EXPECT_DOUBLE_EQ(india->moment.jd, fiveHours->moment.jd);
    EXPECT_NEAR(india->sun.azimuth, fiveHours->sun.azimuth, 1e-9);
    EXPECT_NEAR(india->sun.altitude, fiveHours->sun.altitude, 1e-9);
    EXPECT_NEAR(india->moon.altitude, fiveHours->moon.altitude, 1e-9);
    EXPECT_NEAR(india->sun.rise.hours - fiveHours->sun.rise.hours, 0.5, 1e-9);
    EXPECT_NEAR(india->sun.set.hours - fiveHours->sun.set.hours, 0.5, 1e-9);
    // Almanacs give 05:24 and 19:22 IST for Delhi; without refraction and
    // semi-diameter the centre crosses the horizon about 4 minutes later and
    // earlier.
    EXPECT_NEAR(india->sun.rise.hours, 5 + 28 / 60.0, 2 / 60.0);
    EXPECT_NEAR(india->sun.set.hours, 19 + 18 / 60.0, 2 / 60.0);

    // Newfoundland, -3:30: the moment is 15:30 universal time.
    const auto stJohns =
        computeGeoFigures(476, -527, boardTime(2024, 1, 10, 12, 0), fixedOffset(-210));
    ASSERT_TRUE(stJohns);
    EXPECT_EQ(stJohns->moment.zoneHours, -3.5);
    EXPECT_DOUBLE_EQ(stJohns->moment.jd, JulianDay(10, 1, 2024) + 15.5 / 24);
    // Nepal, +5:45.
    const auto kathmandu =
        computeGeoFigures(277, 853, boardTime(2024, 1, 10, 6, 0), fixedOffset(345));
    ASSERT_TRUE(kathmandu);
    EXPECT_DOUBLE_EQ(kathmandu->moment.jd, JulianDay(10, 1, 2024) + 0.25 / 24);
}

TEST_F(GeoFiguresTest, WaningMoonIsLitOnTheLeft) {
    const auto f = computeGeoFigures(0, 0, boardTime(2000, 1, 1, 0, 0), fixedOffset(0));
    ASSERT_TRUE(f);
    EXPECT_NEAR(f->moon.phaseAngle, 297.2, 0.05);
    EXPECT_EQ(f->moon.phase, "Abnehmende Sichel");
    EXPECT_EQ(f->moon.sign, "Skorpion");
    EXPECT_EQ(f->moonPicture.angleDeg, 0);
}

TEST_F(GeoFiguresTest, ImpossibleBoardClockGivesNothing) {
    EXPECT_FALSE(computeGeoFigures(501, 85, boardTime(2024, 0, 0, 0, 0), centralEurope()));
    EXPECT_FALSE(computeGeoFigures(501, 85, boardTime(2023, 2, 29, 12, 0), centralEurope()));
    EXPECT_FALSE(computeGeoFigures(501, 85, boardTime(2024, 6, 21, 24, 0), centralEurope()));
    EXPECT_FALSE(computeGeoFigures(501, 85, boardTime(2024, 6, 21, 12, 60), centralEurope()));
    EXPECT_TRUE(computeGeoFigures(501, 85, boardTime(2024, 2, 29, 23, 59), centralEurope()));
}

TEST_F(GeoFiguresTest, SecondsDoNotMoveTheFigures) {
    BoardDateTime t = boardTime(2024, 6, 21, 12, 0);
    const auto a = computeGeoFigures(501, 85, t, centralEurope());
    t.second = 59;
    const auto b = computeGeoFigures(501, 85, t, centralEurope());
    ASSERT_TRUE(a && b);
    EXPECT_EQ(a->label, b->label);
    EXPECT_EQ(a->moment.jd, b->moment.jd);
}
