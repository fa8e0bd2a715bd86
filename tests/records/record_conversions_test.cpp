// Conversions between record fields and what the user sees and edits.
#include "device/records/info_block.h"
#include "device/records/schedule_line.h"

#include <gtest/gtest.h>

#include <cmath>

namespace kv {
namespace {

TEST(WeatherRates, BothDirectionsTruncateSoValuesDrift) {
    EXPECT_EQ(cloudsPerDayToCloudP(10), 6);
    EXPECT_EQ(cloudPToCloudsPerDay(6), 9);

    EXPECT_EQ(stormsPerWeekToStormP(1000), 1387);
    EXPECT_EQ(stormPToStormsPerWeek(1387), 999);

    EXPECT_EQ(cloudSecondsToCloudD(900), 58);
    EXPECT_EQ(cloudDToCloudSeconds(58), 903);
}

TEST(WeatherRates, RangeEndsOfTheEditors) {
    EXPECT_EQ(cloudsPerDayToCloudP(0), 0);
    EXPECT_EQ(cloudsPerDayToCloudP(3000), 1820);
    EXPECT_EQ(cloudPToCloudsPerDay(1820), 2999);
    EXPECT_EQ(cloudSecondsToCloudD(1), 52428);
    EXPECT_EQ(stormsPerWeekToStormP(0), 0);
    EXPECT_EQ(stormMinutesToStormD(1), 13981);
    EXPECT_EQ(stormMinutesToStormD(200), 69);
    EXPECT_EQ(stormDToStormMinutes(69), 202);
    EXPECT_EQ(stormDToStormMinutes(13981), 1);
}

TEST(WeatherRates, DurationsOfZeroOrBelowNeverEnd) {
    EXPECT_EQ(cloudSecondsToCloudD(0), 65535);
    EXPECT_EQ(cloudSecondsToCloudD(-5), 65535);
    EXPECT_EQ(stormMinutesToStormD(0), 65535);
    EXPECT_EQ(stormMinutesToStormD(-1), 65535);
}

TEST(WeatherRates, ZeroChanceOfEndingHasNoDuration) {
    EXPECT_EQ(cloudDToCloudSeconds(0), -1);
    EXPECT_EQ(stormDToStormMinutes(0), -1);
    // The largest field values still give a duration (the smallest one).
    EXPECT_EQ(cloudDToCloudSeconds(65535), 0);
    EXPECT_EQ(stormDToStormMinutes(65535), 0);
}

TEST(WeatherRates, LargeFieldValuesDoNotOverflow) {
    // 65535 * 864000 * 7 needs more than 32 bits.
    EXPECT_EQ(stormPToStormsPerWeek(65535), 47249);
    EXPECT_EQ(cloudPToCloudsPerDay(65535), 107998);
    EXPECT_EQ(stormsPerWeekToStormP(1'000'000'000), 1'387'005'291);
}

TEST(WeatherRates, NegativeCountsTruncateTowardZero) {
    EXPECT_EQ(cloudsPerDayToCloudP(-10), -6);
    EXPECT_EQ(stormsPerWeekToStormP(-1000), -1387);
}

TEST(LevelPercent, ConvertsBothWays) {
    EXPECT_DOUBLE_EQ(levelToPercent(4096), 100.0);
    EXPECT_DOUBLE_EQ(levelToPercent(2048), 50.0);
    EXPECT_DOUBLE_EQ(levelToPercent(0), 0.0);
    EXPECT_EQ(percentToLevel(100.0), 4096);
    EXPECT_EQ(percentToLevel(50.0), 2048);
    EXPECT_EQ(percentToLevel(20.0), 819); // 819.2
    EXPECT_EQ(percentToLevel(0.03), 1);   // 1.2288
}

TEST(LevelPercent, HalvesGoToTheEvenLevel) {
    // These percents give exactly x.5 levels.
    EXPECT_EQ(percentToLevel(0.01220703125), 0);  // 0.5
    EXPECT_EQ(percentToLevel(0.03662109375), 2);  // 1.5
    EXPECT_EQ(percentToLevel(0.06103515625), 2);  // 2.5
    EXPECT_EQ(percentToLevel(0.30517578125), 12); // 12.5
    EXPECT_EQ(percentToLevel(-0.06103515625), -2);
}

TEST(Altitude, DegreesToAltAndBack) {
    EXPECT_EQ(degreesToAlt(0.0), 0);
    EXPECT_EQ(degreesToAlt(30.0), 5000);
    EXPECT_EQ(degreesToAlt(90.0), 10000);
    EXPECT_EQ(degreesToAlt(-90.0), -10000);
    EXPECT_EQ(degreesToAlt(-6.0), -1045);

    EXPECT_NEAR(altToDegrees(5000), 30.0, 1e-9);
    EXPECT_NEAR(altToDegrees(10000), 90.0, 1e-9);
    EXPECT_NEAR(altToDegrees(-10000), -90.0, 1e-9);
    EXPECT_DOUBLE_EQ(altToDegrees(0), 0.0);
}

TEST(Altitude, OutOfRangeAltHasNoAngle) {
    EXPECT_TRUE(std::isnan(altToDegrees(10001)));
    EXPECT_TRUE(std::isnan(altToDegrees(-10001)));
    EXPECT_TRUE(std::isnan(altToDegrees(32767)));
}

} // namespace
} // namespace kv
