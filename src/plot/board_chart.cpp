#include "plot/board_chart.h"

#include "plot/chart_time.h"

namespace kv::chart {

ChartInput boardChartInput(const InfoBlock& info, const ExpertBlock& expert,
                           const ChartBlock& chart, const QDateTime& computer) {
    ChartInput input;
    input.chart = chart;
    input.chartMode = expert.ChartMode;
    input.chartInterval = expert.ChartInterval;
    input.moment = boardNow(info, computer);
    return input;
}

} // namespace kv::chart
