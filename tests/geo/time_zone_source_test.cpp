#include "astro/time_zone_fields.h"
#include "geo/time_zone_source.h"

#include <QDateTime>
#include <gtest/gtest.h>

using namespace kv;
using namespace kv::sunmoon;

namespace {

QTimeZone zone(const char* id) {
    const QTimeZone z{QByteArray(id)};
    EXPECT_TRUE(z.isValid()) << id;
    return z;
}

// The offset the rules give at local noon of every day of the year is the
// offset the zone itself has then.
void expectRulesFollowTheZone(const QTimeZone& z, int year) {
    const TimeZoneRules rules = timeZoneRules(z, year);
    for (QDate d(year, 1, 1); d.year() == year; d = d.addDays(1)) {
        const QDateTime noon(d, QTime(12, 0), z);
        const LocalDateTime local{year, d.month(), d.day(), 12, 0, 0, 0};
        ASSERT_EQ(UtcOffsetMinutes(rules, local) * 60, z.offsetFromUtc(noon))
            << z.id().constData() << " " << d.toString(Qt::ISODate).toStdString();
    }
}

} // namespace

TEST(TimeZoneSource, CentralEurope) {
    const TimeZoneRules r = timeZoneRules(zone("Europe/Berlin"), 2024);
    EXPECT_EQ(r.bias, -60);
    EXPECT_EQ(r.standardBias, 0);
    EXPECT_EQ(r.daylightBias, -60);
    EXPECT_EQ(r.standardDate, (TransitionRule{10, 5, 0, 3, 0, 0, 0}));
    EXPECT_EQ(r.daylightDate, (TransitionRule{3, 5, 0, 2, 0, 0, 0}));

    const TimeZoneFields f = timeZoneFields(r);
    EXPECT_EQ(f.Bias, 60);
    EXPECT_EQ(f.StandardMonth, 10);
    EXPECT_EQ(f.StandardDay, 31);
    EXPECT_EQ(f.StandardHour, 3);
    EXPECT_EQ(f.StandardDayOfWeek, 0);
    EXPECT_EQ(f.DaylightMonth, 3);
    EXPECT_EQ(f.DaylightDay, 31);
    EXPECT_EQ(f.DaylightHour, 2);
    EXPECT_EQ(f.DaylightDayOfWeek, 0);
    expectRulesFollowTheZone(zone("Europe/Berlin"), 2024);
}

TEST(TimeZoneSource, SecondSundayOfMarch) {
    const TimeZoneRules r = timeZoneRules(zone("America/New_York"), 2024);
    EXPECT_EQ(r.bias, 300);
    EXPECT_EQ(r.daylightDate, (TransitionRule{3, 2, 0, 2, 0, 0, 0}));
    EXPECT_EQ(r.standardDate, (TransitionRule{11, 1, 0, 2, 0, 0, 0}));
    EXPECT_EQ(timeZoneFields(r).DaylightDay, 14);
    EXPECT_EQ(timeZoneFields(r).StandardDay, 7);
    expectRulesFollowTheZone(zone("America/New_York"), 2024);
}

TEST(TimeZoneSource, SouthernHemisphere) {
    // São Paulo kept daylight time from November to February until 2019.
    const TimeZoneRules saoPaulo = timeZoneRules(zone("America/Sao_Paulo"), 2018);
    EXPECT_EQ(saoPaulo.bias, 180);
    EXPECT_EQ(saoPaulo.daylightBias, -60);
    EXPECT_EQ(saoPaulo.daylightDate, (TransitionRule{11, 1, 0, 0, 0, 0, 0}));
    EXPECT_EQ(saoPaulo.standardDate, (TransitionRule{2, 3, 0, 0, 0, 0, 0}));
    EXPECT_EQ(UtcOffsetMinutes(saoPaulo, {2018, 1, 10, 12, 0, 0, 0}), -120);
    EXPECT_EQ(UtcOffsetMinutes(saoPaulo, {2018, 7, 10, 12, 0, 0, 0}), -180);
    expectRulesFollowTheZone(zone("America/Sao_Paulo"), 2018);

    const TimeZoneRules sydney = timeZoneRules(zone("Australia/Sydney"), 2024);
    EXPECT_EQ(sydney.bias, -600);
    EXPECT_EQ(sydney.daylightDate, (TransitionRule{10, 1, 0, 2, 0, 0, 0}));
    EXPECT_EQ(sydney.standardDate, (TransitionRule{4, 1, 0, 3, 0, 0, 0}));
    expectRulesFollowTheZone(zone("Australia/Sydney"), 2024);
}

TEST(TimeZoneSource, NoDaylightSaving) {
    const TimeZoneRules kolkata = timeZoneRules(zone("Asia/Kolkata"), 2024);
    EXPECT_EQ(kolkata.bias, -330);
    EXPECT_FALSE(kolkata.hasDaylightSaving());
    EXPECT_EQ(kolkata.daylightDate, TransitionRule{});
    EXPECT_EQ(UtcOffsetHours(kolkata, {2024, 6, 1, 12, 0, 0, 0}), 5.5);

    const TimeZoneRules utc = timeZoneRules(zone("UTC"), 2024);
    EXPECT_EQ(utc, TimeZoneRules{});
    const TimeZoneFields f = timeZoneFields(utc);
    EXPECT_EQ(f.Bias, 0);
    EXPECT_EQ(f.StandardMonth, 0);
    EXPECT_EQ(f.StandardDay, 0);
    EXPECT_EQ(f.DaylightMonth, 0);
    EXPECT_EQ(f.DaylightDay, 0);

    // São Paulo has had no daylight time since 2019.
    const TimeZoneRules saoPaulo = timeZoneRules(zone("America/Sao_Paulo"), 2024);
    EXPECT_EQ(saoPaulo.bias, 180);
    EXPECT_FALSE(saoPaulo.hasDaylightSaving());
}
