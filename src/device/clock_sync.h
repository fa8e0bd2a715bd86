#pragma once

#include "device/records/info_block.h"

#include <QDateTime>

#include <cstdint>
#include <optional>

namespace kv {

class BoardLink;

namespace clocksync {
// Differences beyond this many seconds either way are taken as wanted.
inline constexpr int AcceptanceWindowSeconds = 60;
// Differences up to this many seconds either way are not corrected.
inline constexpr int DeadBandSeconds = 4;
} // namespace clocksync

// The board's time of day minus the computer's, in whole seconds; only the
// time of day takes part, the date is not compared.
int clockDifferenceSeconds(const InfoBlock& board, const QTime& computer);

// Whether the polling tick corrects the board's clock: never in time lapse,
// only for a drift of 5 to 60 seconds either way.
bool clockNeedsCorrection(const InfoBlock& board, const QTime& computer);

// Hundredths of a second from milliseconds, rounded halves to even (0..100).
std::uint8_t hundredthsFromMilliseconds(int milliseconds);

// Puts the computer's time of day into the clock fields (Hour, Minute, Second,
// Hundredths).
void setBoardTimeOfDay(InfoBlock& board, const QTime& computer);

// Puts the computer's date and time into every clock field: the calendar
// year as InfoBlock::setCalendarYear stores it, Reserved13 = 0.
void setBoardDateTime(InfoBlock& board, const QDateTime& computer);

// The board's date and time, or nothing when its fields are no valid date.
std::optional<QDateTime> boardDateTime(const InfoBlock& board);

// The "Now" action as far as the board goes: time lapse back to 1 and the
// configuration written, then the computer's date and time written with the
// clock. Returns whether both writes succeeded.
bool setBoardClockNow(BoardLink& link, const QDateTime& computer);

} // namespace kv
