#pragma once

#include "common/rounding.h"

#include <cstdint>

namespace kv {

// The values one field of a record may take, declared once beside the
// record, in the units people read and type: every front that takes such a
// value (the window's edits, the command line, the web API, the bridges)
// checks it here and refuses it with the same message.
//
// stored = round(value * scale) for the linear fields; the others (the sun's
// altitude, the calendar year) say how they are stored next to their range.
struct FieldRange {
    double lowest = 0;
    double highest = 0;
    double scale = 1;
    const char* unit = "";       // "%", "°", "°C", "" for plain numbers
    const char* refusalKey = ""; // catalogue key of the refusal; arguments lowest, highest

    constexpr bool contains(double value) const { return value >= lowest && value <= highest; }
    // The stored bounds of a linear field.
    constexpr double storedLowest() const { return lowest * scale; }
    constexpr double storedHighest() const { return highest * scale; }
    // A stored value as people read it.
    constexpr double shown(double stored) const { return stored / scale; }
};

namespace fieldrange {

// The catalogue key of the common refusal ("Ungültiger Wert: erlaubt sind 0
// bis 100").
inline constexpr const char* InvalidValue = "InvalidValueRange";

// A channel level in percent: InfoBlock Level, ScheduleLine Color16 (stored
// 0..4096).
inline constexpr FieldRange LevelPercent{0, 100, 40.96, "%", InvalidValue};
// The same level as the board stores it.
inline constexpr FieldRange Level{0, 4096, 1, "", InvalidValue};
// A schedule line's clock time: hour 0..24 (24 only with minute 0, the end
// of the day) and minute 0..59.
inline constexpr FieldRange LineHour{0, 24, 1, "", "InvalidHour"};
inline constexpr FieldRange LineMinute{0, 59, 1, "", "InvalidMinute"};
inline constexpr const char* EndOfDayOnlyKey = "InvalidEndOfDay";
// A schedule line's sun altitude in degrees, stored as round(sin * 10000).
inline constexpr FieldRange Altitude{-90, 90, 1, "°", InvalidValue};
// The JMP pin's timer value of a schedule line (16 bits, unsigned).
inline constexpr FieldRange Timer{0, 65535, 1, "", InvalidValue};
// The board's place for the Geo mode, stored in tenths of a degree.
inline constexpr FieldRange Latitude{-90, 90, 10, "°", InvalidValue};
inline constexpr FieldRange Longitude{-180, 180, 10, "°", InvalidValue};
// The calendar year of the board's clock. The Year byte counts years after
// 2000; up to 2127 it reads the same taken signed or unsigned, and no year
// beyond is written.
inline constexpr FieldRange Year{2000, 2127, 1, "", "InvalidYear"};

} // namespace fieldrange

// A stored value of a linear field: round(value * scale), halves to even.
inline std::int64_t storedValue(const FieldRange& range, double value) {
    return roundHalfEven(value * range.scale);
}

} // namespace kv
