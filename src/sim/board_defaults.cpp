#include "sim/board_defaults.h"

namespace kv::sim {

InfoBlock defaultInfo(std::uint8_t firmwareVersion) {
    InfoBlock info;
    info.FirmwareVersion = firmwareVersion;
    info.WaterTemp = 253;     // 25.3 °C
    info.InputVoltage = 1205; // 12.05 V
    info.Mode = 1;            // Auto
    info.FanLow = 30;
    info.FanHigh = 100;
    info.LCDBLMin = 10;
    info.LCDBLMax = 100;
    info.TimeLapse = 1;
    info.ColorName = {1, 2, 3, 4}; // white, red, green, blue: W, R, G, B
    info.CloudP = std::uint16_t(cloudsPerDayToCloudP(10));
    info.CloudD = std::uint16_t(cloudSecondsToCloudD(30));
    info.StormP = std::uint16_t(stormsPerWeekToStormP(2));
    info.StormD = std::uint16_t(stormMinutesToStormD(20));
    return info;
}

ExpertBlock defaultExpert() {
    ExpertBlock e;
    e.FanMode = 0;
    e.JMPMode = 0;
    e.ChartMode = 0;
    e.TWIBitrate = 23; // 100 kHz
    e.FanOff = 0;
    e.LCDBLNight = 10;
    e.ChartScale = 10;
    e.ChartInterval = 15;
    e.TempWaterLow = 250;
    e.TempWaterHigh = 270;
    e.TempJMPLow = 240;
    e.TempJMPHigh = 280;
    e.CloudTempWater = 260;
    e.CloudStep = 500;
    e.StormStep = 1000;
    e.LightningP = 500;
    e.CloudAlpha = 40;
    e.StormAlpha = 20;
    e.BalanceSum = 100;
    e.MoonColor = {0, 0, 0, 80};
    e.LightningMask = {255, 0, 0, 255};
    e.WeatherDelay = {0, 5, 10, 15};
    e.Lat = 501;
    e.Lon = 85;
    e.StandardMonth = 10; // last Sunday of October, 3:00
    e.StandardDay = 31;
    e.StandardHour = 3;
    e.StandardDayOfWeek = 0;
    e.DaylightMonth = 3; // last Sunday of March, 2:00
    e.DaylightDay = 31;
    e.DaylightHour = 2;
    e.DaylightDayOfWeek = 0;
    e.Bias = 60;
    return e;
}

Schedule defaultSchedule() {
    using L = ScheduleLine;
    auto line = [](int hour, int minute, int alt, std::array<std::int16_t, 4> levels,
                   std::uint8_t flags) {
        L l;
        l.Hour = std::int8_t(hour);
        l.Minute = std::int8_t(minute);
        l.Alt = std::int16_t(alt);
        l.Color16 = levels;
        l.Switch = flags;
        return l;
    };
    return {
        line(0, 0, -10000, {0, 0, 0, 0}, 0),
        line(9, 0, -500, {0, 0, 0, 200}, 0),
        line(10, 0, 500, {1024, 512, 512, 1024}, L::Display),
        line(12, 0, 3000, {3500, 2500, 2500, 3000}, L::Display | L::Clouds),
        line(15, 0, 3000, {4096, 3000, 3000, 3500}, L::Display | L::Clouds | L::Storms),
        line(19, 0, 500, {1024, 512, 256, 1024}, L::Display),
        line(21, 0, -500, {0, 0, 0, 200}, 0),
        line(24, 0, -10000, {0, 0, 0, 0}, 0),
    };
}

ChartBlock defaultChart(std::uint8_t chartMode) {
    ChartBlock chart = ChartBlock::empty();
    int base = 0;
    int swing = 0;
    switch (chartMode) {
    case 0:
        base = 250; // 25.0 °C
        swing = 6;
        break;
    case 1:
        base = 1200; // 12.00 V
        swing = 9;
        break;
    case 2:
        base = 310; // 31.0 °C
        swing = 15;
        break;
    default:
        return chart;
    }
    // A slow wave: entry 0 is the newest sample.
    static constexpr int wave[] = {0, 2, 4, 5, 6, 5, 4, 2, 0, -2, -4, -5, -6, -5, -4, -2};
    for (std::size_t i = 0; i < ChartBlock::Samples; ++i)
        chart.Sample[i] = std::int16_t(base + wave[i % 16] * swing / 6);
    return chart;
}

} // namespace kv::sim
