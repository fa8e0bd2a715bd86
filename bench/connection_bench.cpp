// A connection as the program makes it (discovery claims the board and reads
// every record) to a simulated board with 255 schedule lines whose every
// feature transfer takes 1 ms, about what a full-speed USB control transfer
// costs. Reports the transfers counted and the time measured against
// transfers × 1 ms: a ratio of 1 means the program adds nothing of its own.
#include "bench_support.h"
#include "device/board_link.h"
#include "device/discovery.h"
#include "device/hid_controller.h"
#include "sim/sim_backend.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>

namespace {

using kv::bench::app;
using kv::bench::SilentReporter;

constexpr std::chrono::microseconds TransferTime{1000};
constexpr int ScheduleLines = 255;

// A board on the simulated bus, not yet found.
struct SlowBoard {
    kv::sim::SimBackend sim;
    kv::TJvHidDeviceController controller;
    kv::BoardLink link;
    SilentReporter reporter;
    kv::Discovery discovery{controller, link, reporter};

    SlowBoard() {
        sim.board().schedule().resize(ScheduleLines);
        sim.board().info().LineCount = ScheduleLines;
        sim.board().setLatency(TransferTime);
        controller.addBackend(&sim);
    }
    std::size_t transfers() { return sim.board().transfers().size(); }
};

void BM_Connect255LinesAt1msPerTransfer(benchmark::State& state) {
    app();
    using Clock = std::chrono::steady_clock;
    Clock::duration measured{};
    std::size_t transfers = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto board = std::make_unique<SlowBoard>();
        state.ResumeTiming();

        const Clock::time_point start = Clock::now();
        board->controller.scanNow(true);
        measured += Clock::now() - start;

        state.PauseTiming();
        if (!board->discovery.isBoardConnected() ||
            board->link.schedule.size() != std::size_t(ScheduleLines)) {
            state.SkipWithError("the board did not connect");
            break;
        }
        transfers += board->transfers();
        board.reset();
        state.ResumeTiming();
    }
    const double connections = double(state.iterations());
    const double ideal = double(transfers) * std::chrono::duration<double>(TransferTime).count();
    const double actual = std::chrono::duration<double>(measured).count();
    state.counters["transfers"] = double(transfers) / connections;
    state.counters["transfers_x_1ms"] = ideal / connections * 1e3;
    state.counters["measured_ms"] = actual / connections * 1e3;
    state.counters["ratio"] = ideal > 0 ? actual / ideal : 0.0;
}
BENCHMARK(BM_Connect255LinesAt1msPerTransfer)->Unit(benchmark::kMillisecond)->Iterations(10);

} // namespace
