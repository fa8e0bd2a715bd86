// Drawing the chart as the Chart tab does after every read and on every
// resize: 40 samples into an image of the tab's size.
#include "plot/chart_drawing.h"
#include "plot/chart_time.h"

#include <QDateTime>
#include <benchmark/benchmark.h>

namespace {

void BM_DrawChart(benchmark::State& state) {
    kv::chart::ChartInput input;
    for (std::size_t i = 0; i < input.chart.Sample.size(); ++i)
        input.chart.Sample[i] = std::int16_t(250 + int(i % 16) - 8);
    input.chartInterval = 15;
    input.moment = kv::chart::chartTime(QDateTime(QDate(2024, 6, 21), QTime(15, 22)));
    const QSize size(int(state.range(0)), int(state.range(0)) * 5 / 8);
    for (auto _ : state) {
        QImage image = kv::chart::drawChart(input, size);
        benchmark::DoNotOptimize(image);
    }
    state.SetLabel(QStringLiteral("%1x%2").arg(size.width()).arg(size.height()).toStdString());
}
BENCHMARK(BM_DrawChart)->Arg(800)->Arg(1600);

} // namespace
