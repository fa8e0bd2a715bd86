#pragma once

#include "board/outcome.h"
#include "device/records/info_block.h"
#include "device/records/schedule_line.h"

#include <array>
#include <optional>

namespace kv {

// A schedule line's clock time; 24:00 is the end of the day.
struct LineTime {
    int hour = 0;
    int minute = 0;
};

// The fields of one schedule line a front changes, typed as people mean
// them; a field that is not set keeps the line's value. The flags change
// only their own bit of Switch.
struct LineFields {
    std::optional<LineTime> time;
    std::optional<double> altitude; // degrees
    std::array<std::optional<double>, ChannelCount> percent{};
    std::optional<bool> display;
    std::optional<bool> clouds;
    std::optional<bool> storms;
    std::optional<int> timer;

    bool isEmpty() const;
};

// Checks every field against its declared range: Done, or OutOfRange with
// the refusal of the first field outside it, whose name ("time", "alt", "W",
// "R", "G", "B", "timer") goes to *field when given.
Outcome checkLineFields(const LineFields& fields, QString* field = nullptr);

// Puts the fields into the line; call only after checkLineFields said Done.
void applyLineFields(ScheduleLine& line, const LineFields& fields);

// The fields in a few words for logs and the history ("time=07:05 W=50").
QString lineFieldsText(const LineFields& fields);

} // namespace kv
