// Our own cost per feature transfer (board link + HID controller + simulated
// board without latency) and the time of a full connection to a board with a
// 255-line schedule. A real USB feature transfer takes a millisecond or more.
#include "bench_support.h"
#include "device/board_link.h"
#include "device/discovery.h"
#include "device/hid_controller.h"
#include "sim/sim_backend.h"

#include <benchmark/benchmark.h>

namespace {

using kv::bench::app;
using kv::bench::SilentReporter;

struct Linked {
    kv::sim::SimBackend sim;
    kv::TJvHidDeviceController controller;
    kv::BoardLink link;
    Linked() {
        sim.board().setRecording(false);
        controller.addBackend(&sim);
        controller.scanNow(true);
        for (int i = 0; i < controller.deviceCount(); ++i)
            if (controller.deviceAt(i)->Info().product == QStringLiteral("KestVELQOR"))
                link.setBoard(controller.ClaimByIndex(i));
    }
};

void BM_InfoRead(benchmark::State& state) {
    app();
    Linked l;
    for (auto _ : state)
        benchmark::DoNotOptimize(l.link.GetInfoConfig());
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_InfoRead);

void BM_ConfigWrite(benchmark::State& state) {
    app();
    Linked l;
    for (auto _ : state)
        benchmark::DoNotOptimize(l.link.SetConfig());
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ConfigWrite);

void BM_FullConnection255Lines(benchmark::State& state) {
    app();
    for (auto _ : state) {
        state.PauseTiming();
        kv::sim::SimBackend sim;
        sim.board().setRecording(false);
        sim.board().schedule().resize(255);
        sim.board().info().LineCount = 255;
        kv::TJvHidDeviceController controller;
        controller.addBackend(&sim);
        kv::BoardLink link;
        SilentReporter reporter;
        kv::Discovery discovery(controller, link, reporter);
        state.ResumeTiming();
        controller.scanNow(true);
        benchmark::DoNotOptimize(discovery.isBoardConnected());
    }
}
BENCHMARK(BM_FullConnection255Lines)->Unit(benchmark::kMicrosecond);

} // namespace
