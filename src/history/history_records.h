#pragma once

#include "device/records/info_block.h"

#include <QString>

#include <array>
#include <optional>

namespace kv {

// One poll as the history keeps it: the computer's time in UTC
// (milliseconds since the epoch) and the board's numbers as it gives them.
struct HistorySample {
    qint64 time = 0;
    std::optional<int> water;               // 0.1 °C; none while the sensor is missing
    std::optional<int> voltage;             // 0.01 V
    std::array<int, ChannelCount> levels{}; // 0..4096
    int mode = 0;
    bool cloud = false;
    bool storm = false;

    static HistorySample of(const InfoBlock& info, qint64 time);
};

// Something that happened to the board: connected, unplugged, the clock
// corrected, a change written.
struct HistoryEvent {
    qint64 time = 0;
    QString kind;   // "connected", "unplugged", "clock", "change"
    QString detail; // what, in a few words
    QString origin; // the front that asked ("window", "cli", "web 192.0.2.7")
};

// A bucket of a query: the mean of each number over the bucket's samples,
// with the temperature's least and greatest, and the last mode.
struct HistoryPoint {
    qint64 time = 0;                // the bucket's start, UTC milliseconds
    std::optional<double> water;    // °C
    std::optional<double> waterMin; // °C
    std::optional<double> waterMax; // °C
    std::optional<double> voltage;  // V
    std::array<double, ChannelCount> percent{};
    int mode = 0;
};

} // namespace kv
