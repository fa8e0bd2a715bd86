#include "device/health.h"
#include "text/text_catalogue.h"

#include <QLocale>
#include <gtest/gtest.h>

using namespace kv;

namespace {

InfoBlock quietBoard() {
    InfoBlock info;
    info.WaterTemp = NoValue;
    info.InputVoltage = NoValue;
    return info;
}

class HealthTest : public ::testing::Test {
protected:
    void SetUp() override {
        LoadTextCatalogue();
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    }
    void TearDown() override { QLocale::setDefault(QLocale::c()); }
};

} // namespace

TEST_F(HealthTest, NothingToSay) {
    EXPECT_EQ(healthStatusText(quietBoard()), "");
    EXPECT_FALSE(healthIsAlarming(quietBoard()));
}

TEST_F(HealthTest, ErrorsSensorAndVoltageInOrder) {
    InfoBlock info;
    info.ErrorFlags = 0x01 | 0x10 | 0x80;
    info.WaterTemp = 253;
    info.InputVoltage = 1205;
    EXPECT_EQ(healthStatusText(info),
              QString::fromUtf8("Übertemperatur • RAM voll • PWM-Fehler • KestTHERMAL: 25,3°C • "
                                "Eingangsspannung: 12,05 Volt"));
    EXPECT_TRUE(healthIsAlarming(info));
}

TEST_F(HealthTest, NegativeTemperatureAndWholeVolts) {
    InfoBlock info;
    info.WaterTemp = -5;
    info.InputVoltage = 1200;
    EXPECT_EQ(healthStatusText(info),
              QString::fromUtf8("KestTHERMAL: -0,5°C • Eingangsspannung: 12,00 Volt"));
}

TEST_F(HealthTest, RamFullAloneIsNotRedAndBitFiveHasNoText) {
    InfoBlock info = quietBoard();
    info.ErrorFlags = 0x10;
    EXPECT_EQ(healthStatusText(info), "RAM voll");
    EXPECT_FALSE(healthIsAlarming(info));
    info.ErrorFlags = 0x20;
    EXPECT_EQ(healthStatusText(info), "");
    EXPECT_TRUE(healthIsAlarming(info));
}

TEST_F(HealthTest, ModeAndActivityLetters) {
    InfoBlock info = quietBoard();
    info.ActivityFlags = activity::Cloud | activity::Storm | activity::Heater | activity::Timer;
    info.Mode = 0;
    EXPECT_EQ(modeActivityText(info), "ManuellHT"); // weather letters only in Auto and Geo
    info.Mode = 1;
    EXPECT_EQ(modeActivityText(info), "AutoWGHT");
    info.Mode = 2;
    info.ActivityFlags = activity::Cooler;
    EXPECT_EQ(modeActivityText(info), "GeoK");
    info.StateFlags = StateSaving;
    EXPECT_EQ(modeActivityText(info), "Speichere");
}
