#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace kv {

// The board's expert settings: HID feature report 2, 59 bytes, little-endian,
// no padding (several 16-bit fields lie at odd offsets).
struct ExpertBlock {
    static constexpr std::size_t Size = 59;
    static constexpr std::uint8_t ReportId = 2;

    std::uint8_t FanMode = 0;                    // 0, FanModeLeds or FanModeWater
    std::uint8_t JMPMode = 0;                    // 1
    std::uint8_t ChartMode = 0;                  // 2
    std::uint8_t TWIBitrate = 0;                 // 3
    std::uint8_t FanOff = 0;                     // 4
    std::uint8_t LCDBLNight = 0;                 // 5
    std::uint8_t ChartScale = 0;                 // 6
    std::uint8_t ChartInterval = 0;              // 7
    std::int8_t TempOffset = 0;                  // 8
    std::int8_t BalanceSumRamp = 0;              // 9
    std::int16_t TempWaterLow = 0;               // 10
    std::int16_t TempWaterHigh = 0;              // 12
    std::int16_t TempJMPLow = 0;                 // 14
    std::int16_t TempJMPHigh = 0;                // 16
    std::int16_t CloudTempWater = 0;             // 18
    std::uint16_t CloudStep = 0;                 // 20
    std::uint16_t StormStep = 0;                 // 22
    std::uint16_t LightningP = 0;                // 24
    std::uint8_t CloudAlpha = 0;                 // 26
    std::uint8_t StormAlpha = 0;                 // 27
    std::uint8_t BalanceSum = 0;                 // 28
    std::array<std::int16_t, 4> MoonColor{};     // 29
    std::array<std::uint8_t, 4> LightningMask{}; // 37
    std::array<std::uint8_t, 4> WeatherDelay{};  // 41
    std::int16_t Lat = 0;                        // 45, 0.1 degree, north positive
    std::int16_t Lon = 0;                        // 47, 0.1 degree, east positive
    std::int8_t StandardMonth = 0;               // 49
    std::int8_t StandardDay = 0;                 // 50
    std::int8_t StandardHour = 0;                // 51
    std::int8_t StandardDayOfWeek = 0;           // 52
    std::int8_t DaylightMonth = 0;               // 53
    std::int8_t DaylightDay = 0;                 // 54
    std::int8_t DaylightHour = 0;                // 55
    std::int8_t DaylightDayOfWeek = 0;           // 56
    std::int16_t Bias = 0;                       // 57, minutes, local standard time minus UTC

    // FanMode: the fan follows the LED brightness, or is switched by the
    // water temperature.
    static constexpr std::uint8_t FanModeLeds = 0;
    static constexpr std::uint8_t FanModeWater = 1;

    // ChartMode: what the board records (and shows on its display). Water
    // and slave temperatures are in 0.1 °C, the input voltage in 0.01 V.
    static constexpr std::uint8_t ChartWaterTemp = 0;
    static constexpr std::uint8_t ChartVoltage = 1;
    static constexpr std::uint8_t ChartSlaveTemp = 2;

    // JMPMode: when the board pulls its JMP pin to ground.
    static constexpr std::uint8_t JMPNone = 0;
    static constexpr std::uint8_t JMPCloud = 1;
    static constexpr std::uint8_t JMPStorm = 2;
    static constexpr std::uint8_t JMPCooler = 3;
    static constexpr std::uint8_t JMPHeater = 4;
    static constexpr std::uint8_t JMPLightning = 5;
    static constexpr std::uint8_t JMPTimer = 6;

    std::array<std::uint8_t, Size> encode() const;
    static ExpertBlock decode(const std::uint8_t* bytes); // reads Size bytes

    bool operator==(const ExpertBlock&) const = default;
};

} // namespace kv
