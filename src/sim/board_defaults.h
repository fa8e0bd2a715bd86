#pragma once

#include "device/records/chart_block.h"
#include "device/records/expert_block.h"
#include "device/records/info_block.h"
#include "device/records/schedule_line.h"

#include <cstdint>

namespace kv::sim {

// The settings a simulated board starts with, and returns to after a
// firmware update: Auto mode, real time, an 8-line day from night to night,
// a connected water-temperature sensor and a plausible supply voltage.
InfoBlock defaultInfo(std::uint8_t firmwareVersion);
ExpertBlock defaultExpert();
Schedule defaultSchedule();
// A recorded history of the source chartMode selects (0 water temperature,
// 1 input voltage, 2 slave temperature; anything else records nothing).
ChartBlock defaultChart(std::uint8_t chartMode);

} // namespace kv::sim
