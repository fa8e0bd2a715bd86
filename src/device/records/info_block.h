#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace kv {

// Marks a missing measurement or chart sample in every record.
inline constexpr std::int16_t NoValue = 32767;

// The board's LED channels, lettered W, R, G and B.
inline constexpr int ChannelCount = 4;
// A channel level of 4096 is fully on.
inline constexpr int FullLevel = 4096;

// The operating modes of the Mode byte. The byte itself stays raw: a board or
// a settings file may carry any other value, which is no mode.
enum class BoardMode : std::uint8_t {
    Manual = 0, // the user sets each level
    Auto = 1,   // the schedule by clock time
    Geo = 2,    // the schedule by the sun's altitude
};
inline constexpr BoardMode BoardModes[] = {BoardMode::Manual, BoardMode::Auto, BoardMode::Geo};

// The mode a raw Mode byte stands for; nothing for any other value.
inline std::optional<BoardMode> boardModeOf(std::uint8_t raw) {
    for (BoardMode mode : BoardModes)
        if (raw == std::uint8_t(mode))
            return mode;
    return std::nullopt;
}

// The board's live state and basic configuration: HID feature report 1,
// 46 bytes, little-endian, no padding. Field names are those of the settings
// files.
struct InfoBlock {
    static constexpr std::size_t Size = 46;
    static constexpr std::uint8_t ReportId = 1;

    std::uint8_t FirmwareVersion = 0;        // 0
    std::uint8_t LineCount = 0;              // 1
    std::uint8_t ActivityFlags = 0;          // 2
    std::uint8_t ErrorFlags = 0;             // 3
    std::uint8_t StateFlags = 0;             // 4
    std::int8_t CurrentLine = 0;             // 5
    std::uint8_t Hundredths = 0;             // 6
    std::int8_t Second = 0;                  // 7
    std::int8_t Minute = 0;                  // 8
    std::int8_t Hour = 0;                    // 9
    std::int8_t Day = 0;                     // 10
    std::int8_t Month = 0;                   // 11
    std::int8_t Year = 0;                    // 12, years after 2000
    std::uint8_t Reserved13 = 0;             // 13
    std::array<std::int16_t, 4> Level{};     // 14, channels 0..3, 0..4096
    std::int16_t Reserved22 = 0;             // 22
    std::int16_t WaterTemp = 0;              // 24, 0.1 °C, NoValue without sensor
    std::int16_t InputVoltage = 0;           // 26, 0.01 V, NoValue when unknown
    std::uint8_t Mode = 0;                   // 28, 0 Manual, 1 Auto, 2 Geo
    std::uint8_t FanLow = 0;                 // 29
    std::uint8_t FanHigh = 0;                // 30
    std::uint8_t LCDBLMin = 0;               // 31
    std::uint8_t LCDBLMax = 0;               // 32
    std::uint8_t TimeLapse = 0;              // 33, 1 = real time
    std::array<std::uint8_t, 4> ColorName{}; // 34
    std::uint16_t CloudP = 0;                // 38
    std::uint16_t CloudD = 0;                // 40
    std::uint16_t StormP = 0;                // 42
    std::uint16_t StormD = 0;                // 44

    // Payload offsets of the three fields that carry a "do not change"
    // marker when the program writes the record (see BoardLink::SetInfo).
    static constexpr std::size_t CurrentLineOffset = 5;
    static constexpr std::size_t MinuteOffset = 8;
    static constexpr std::size_t LevelOffset = 14;
    // The markers: no line selected, clock not set (both bytes), levels kept
    // (first Level entry).
    static constexpr std::uint8_t UnsetByte = 255;
    static constexpr std::uint16_t LevelsUnset = 0xFFFF;

    std::array<std::uint8_t, Size> encode() const;
    static InfoBlock decode(const std::uint8_t* bytes); // reads Size bytes

    // The calendar year of the board's clock: the Year byte counts the years
    // after 2000, read unsigned (2000..2255). The program writes only years up
    // to 2127 (fieldrange::Year), where signed and unsigned readings agree.
    int calendarYear() const { return 2000 + std::uint8_t(Year); }
    void setCalendarYear(int year) { Year = std::int8_t(std::uint8_t((year - 2000) & 0xFF)); }

    bool inMode(BoardMode mode) const { return Mode == std::uint8_t(mode); }
    void setMode(BoardMode mode) { Mode = std::uint8_t(mode); }
    // Auto or Geo: the board runs its schedule and its weather.
    bool runsSchedule() const { return inMode(BoardMode::Auto) || inMode(BoardMode::Geo); }

    bool operator==(const InfoBlock&) const = default;
};

// ActivityFlags bits.
namespace activity {
inline constexpr std::uint8_t Cloud = 0x01;
inline constexpr std::uint8_t Storm = 0x02;
inline constexpr std::uint8_t Cooler = 0x04;
inline constexpr std::uint8_t Heater = 0x08;
inline constexpr std::uint8_t Timer = 0x20;
} // namespace activity

// ErrorFlags bits; any bit of RedMask makes the board status red.
namespace boarderror {
inline constexpr std::uint8_t Overtemperature = 0x01;
inline constexpr std::uint8_t Undervoltage = 0x02;
inline constexpr std::uint8_t QuarzError = 0x04;
inline constexpr std::uint8_t CRCError = 0x08;
inline constexpr std::uint8_t RAMFull = 0x10;
inline constexpr std::uint8_t RTCError = 0x40;
inline constexpr std::uint8_t PWMError = 0x80;
inline constexpr std::uint8_t RedMask = 0xEF;
} // namespace boarderror

// StateFlags bit: the board is storing its settings permanently.
inline constexpr std::uint8_t StateSaving = 0x10;

// Level <-> percent: percent = level / 40.96; level = round(percent * 40.96),
// halves to even.
double levelToPercent(int level);
std::int64_t percentToLevel(double percent);

// Weather rates of the InfoBlock and what the user edits. All divisions
// truncate toward zero; the arithmetic is 64-bit so nothing overflows. The
// results are the exact quotients; the caller stores their low 16 bits.
std::int64_t cloudsPerDayToCloudP(std::int64_t cloudsPerDay);
std::int64_t cloudPToCloudsPerDay(std::uint16_t cloudP);
// 65535 for a duration of 0 or below.
std::int64_t cloudSecondsToCloudD(std::int64_t seconds);
// Nothing to show when CloudD is 0 (returns -1).
std::int64_t cloudDToCloudSeconds(std::uint16_t cloudD);
std::int64_t stormsPerWeekToStormP(std::int64_t stormsPerWeek);
std::int64_t stormPToStormsPerWeek(std::uint16_t stormP);
// 65535 for a duration of 0 or below.
std::int64_t stormMinutesToStormD(std::int64_t minutes);
// Nothing to show when StormD is 0 (returns -1).
std::int64_t stormDToStormMinutes(std::uint16_t stormD);

} // namespace kv
