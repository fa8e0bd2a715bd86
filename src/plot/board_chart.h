#pragma once

#include "device/records/chart_block.h"
#include "device/records/expert_block.h"
#include "device/records/info_block.h"
#include "plot/chart_drawing.h"

#include <QDateTime>

// The chart of what a board holds, as the chart tab and the command line
// draw it.
namespace kv::chart {

// The chart's input from the board's records: its samples, the source and
// interval of its expert settings, ending at the board's time of day on the
// computer's date.
ChartInput boardChartInput(const InfoBlock& info, const ExpertBlock& expert,
                           const ChartBlock& chart, const QDateTime& computer);

} // namespace kv::chart
