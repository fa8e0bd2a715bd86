#pragma once

#include "device/records/info_block.h"
#include "device/records/schedule_line.h"

#include <QJsonObject>

namespace kv::present {

// One line as `schedule --json` gives it: line, hour, minute, altitude
// (degrees, two decimals), levels (percent), display, clouds, storms, timer
// and switch.
QJsonObject lineJson(const ScheduleLine& line, int index);

// The schedule as `schedule --json` gives it: mode, currentLine and lines.
QJsonObject scheduleJson(const InfoBlock& info, const Schedule& schedule);

} // namespace kv::present
