#pragma once

#include "device/records/schedule_line.h"

#include <QJsonObject>

namespace kv {
class BoardLink;
}

namespace kv::cli {

// One line as `schedule --json` gives it: line, hour, minute, altitude
// (degrees, two decimals), levels (percent), display, clouds, storms, timer
// and switch.
QJsonObject lineJson(const ScheduleLine& line, int index);

// The schedule the link holds as `schedule --json` gives it: mode,
// currentLine and lines.
QJsonObject scheduleJson(const BoardLink& link);

} // namespace kv::cli
