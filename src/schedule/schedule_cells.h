#pragma once

#include "device/records/schedule_line.h"
#include "text/text_message.h"

#include <QLocale>
#include <QString>

#include <cstdint>

// The schedule as a table of texts: one row per line, ten columns. The window's
// grid and the command line show a line's fields with these texts and read
// what a person typed into a cell with the same rules.
namespace kv::schedule {

// The columns, left to right.
enum Column : int {
    LineColumn = 0,       // the line's index, counted from 0
    PlaceColumn = 1,      // clock time (Manual, Auto) or sun altitude (Geo)
    FirstLevelColumn = 2, // levels of channels 0 to 3 in percent, columns 2 to 5
    DisplayColumn = 6,    // the three flags of Switch
    CloudsColumn = 7,
    StormsColumn = 8,
    TimerColumn = 9, // the JMP pin value
};
inline constexpr int ColumnCount = 10;

// What the place column holds: a line's clock time or its sun altitude.
enum class Place { Time, Altitude };
// Altitude in Geo mode, time in every other.
Place placeOfMode(std::uint8_t mode);

// The channel a level column shows, -1 for the other columns.
int channelOfColumn(int column);
int columnOfChannel(int channel);
bool isFlagColumn(int column);
// The Switch bit of a flag column, 0 for the other columns.
std::uint8_t flagMask(int column);

// The fixed header texts from the catalogue: "Zeile", "Zeit" or "Höhe",
// "Display", "Wolken", "Gewitter", "JMP-Pin". The level columns carry the
// channels' names, which the caller knows; their header here is empty.
QString headerText(int column, Place place);

// The texts of the flags: the catalogue's "ON" and "OFF".
QString flagText(bool on);
// A flag cell's text after a click: "OFF" for "ON", "ON" for any other.
QString toggledFlagText(const QString& text);

// The texts of a line's fields: "08:05"; the altitude in degrees as "0.##"
// ("0" for an Alt without an angle); the level in percent as "0.##"; the flag
// texts; Timer as a whole number 0 to 65535.
QString timeText(int hour, int minute, const QLocale& locale = QLocale());
QString altitudeText(std::int16_t alt, const QLocale& locale = QLocale());
QString percentText(int level, const QLocale& locale = QLocale());
QString timerText(std::int16_t timer);

// The text of one cell of a line's row; index is the line's index.
QString cellText(const ScheduleLine& line, int index, int column, Place place,
                 const QLocale& locale = QLocale());

// What became of a typed cell text.
struct CellInput {
    enum Outcome {
        Accepted, // the line's field holds the typed value
        Refused,  // a number outside the field's range: the line is unchanged
        Ignored,  // no number (or a column that is not typed into): unchanged
    };
    Outcome outcome = Ignored;
    QString reason;      // German, for Refused
    TextMessage refusal; // the same as the catalogue's message
};

// Applies a typed cell text to the line's field of that column:
// - time "7:5": hour before the first colon, minute after it; without a colon
//   the whole text is the minute and the hour stays ("30" in 08:00 gives
//   08:30); a part that is no whole number keeps its field. Hours 0 to 24,
//   minutes 0 to 59, and 24 only with minute 0.
// - altitude: degrees -90 to 90, stored as round(sin(degrees) * 10000).
// - percent: 0 to 100, stored as round(percent * 40.96).
// - flags: the "OFF" text clears the bit, any other text sets it; the other
//   bits of Switch stay.
// - Timer: a whole number 0 to 65535 (stored in 16 bits).
// Numbers are read in the locale's format.
CellInput applyCellText(ScheduleLine& line, int column, const QString& text, Place place,
                        const QLocale& locale = QLocale());

} // namespace kv::schedule
