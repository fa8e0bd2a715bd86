// Drawing the chart as the Chart tab does after every read and on every
// resize: 40 samples into an image of the tab's size.
#include "plot/chart_drawing.h"
#include "plot/chart_time.h"
#include "text/text_catalogue.h"

#include <QDateTime>
#include <QGuiApplication>
#include <benchmark/benchmark.h>

#include <memory>

namespace {

// Text needs fonts, and fonts a GUI application (on the offscreen platform).
void ensureGuiApplication() {
    static int argc = 1;
    static char name[] = "chart_bench";
    static char* argv[] = {name, nullptr};
    static std::unique_ptr<QGuiApplication> app;
    if (!app) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QGuiApplication>(argc, argv);
        kv::LoadTextCatalogue();
    }
}

void BM_DrawChart(benchmark::State& state) {
    ensureGuiApplication();
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
