#pragma once

#include "board/line_fields.h"
#include "device/records/info_block.h"

#include <QString>

#include <optional>

// The words in which the command line, the web API and the bridges name the
// board's values: mode and channel names, decimals written with a point or a
// comma, levels in percent, clock times, on and off. A word that is no such
// value gives nothing; whether a value lies in its field's range is the
// field's own rule (device/records/field_range.h), checked by the service.
namespace kv::words {

// "manual", "auto", "geo" (any case).
std::optional<BoardMode> modeOf(const QString& word);
// The word of a mode; the number for a raw Mode byte that is no mode.
QString modeName(BoardMode mode);
QString modeName(std::uint8_t raw);

// W, R, G, B (any case) or 0 to 3; -1 for any other word.
int channelOf(const QString& word);

// A decimal number as scripts write it (a point) or people do (a comma).
std::optional<double> decimalOf(QString word);
// A level in percent: a decimal, a "%" at the end allowed.
std::optional<double> percentOf(QString word);
// A whole number (no sign other than "-", no decimals).
std::optional<qint64> wholeNumberOf(const QString& word);
// "HH:MM" (the colon is required; "7:5" is 07:05).
std::optional<LineTime> lineTimeOf(const QString& word);
// "on" or "off" (any case).
std::optional<bool> onOffOf(const QString& word);

} // namespace kv::words
