#pragma once

#include "device/records/expert_block.h"
#include "device/records/info_block.h"
#include "device/records/schedule_line.h"
#include "plot/day_curve.h"

// The day curve of what a board holds, as the visualisation tab and the
// command line draw it.
namespace kv {

// The scene of the board's records: its schedule; over the sun's path in Geo
// mode, else over the clock time; the marker at the board's clock, on the
// path at the board's place under the computer's zone rules; the curve
// colours of the channels' colour names; the chosen channel on top. Font,
// locale and the dragged line are left to the caller.
DayCurveScene boardDayCurveScene(const InfoBlock& info, const ExpertBlock& expert,
                                 const Schedule& schedule, int visualChannel);

} // namespace kv
