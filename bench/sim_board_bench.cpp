// Cost of the simulated board per feature transfer, without latency: the
// simulator's own share of what the board-link benchmarks measure.
#include "sim/sim_backend.h"
#include "sim/simulated_board.h"

#include <benchmark/benchmark.h>

#include <array>

namespace {

using kv::sim::SimulatedBoard;

void readReport(benchmark::State& state, std::uint8_t id, std::size_t length) {
    SimulatedBoard board;
    board.setRecording(state.range(0) != 0);
    std::array<std::uint8_t, 81> buffer{};
    for (auto _ : state) {
        buffer[0] = id;
        benchmark::DoNotOptimize(board.getFeature(buffer.data(), length));
        if (board.transfers().size() > 100000)
            board.clearTransfers();
    }
}

void BM_ReadInfo(benchmark::State& state) {
    readReport(state, 1, 47);
}
void BM_ReadLine(benchmark::State& state) {
    readReport(state, 3, 17);
}
void BM_ReadChart(benchmark::State& state) {
    readReport(state, 4, 81);
}

void BM_WriteConfig(benchmark::State& state) {
    SimulatedBoard board;
    board.setRecording(state.range(0) != 0);
    std::array<std::uint8_t, 47> report{1};
    const auto bytes = board.info().encode();
    std::copy(bytes.begin(), bytes.end(), report.begin() + 1);
    report[6] = report[9] = report[15] = report[16] = 0xFF;
    for (auto _ : state) {
        benchmark::DoNotOptimize(board.setFeature(report.data(), report.size()));
        if (board.transfers().size() > 100000)
            board.clearTransfers();
    }
}

// Through the backend's connection, as the HID layer calls it.
void BM_ReadInfoThroughConnection(benchmark::State& state) {
    kv::sim::SimBackend backend;
    backend.board().setRecording(false);
    auto connection = backend.open(backend.enumerate().at(0)).connection;
    std::array<std::uint8_t, 47> report{};
    for (auto _ : state) {
        report[0] = 1;
        benchmark::DoNotOptimize(connection->getFeature(report.data(), report.size()));
    }
}

BENCHMARK(BM_ReadInfo)->Arg(0)->Arg(1);
BENCHMARK(BM_ReadLine)->Arg(0)->Arg(1);
BENCHMARK(BM_ReadChart)->Arg(0)->Arg(1);
BENCHMARK(BM_WriteConfig)->Arg(0)->Arg(1);
BENCHMARK(BM_ReadInfoThroughConnection);

} // namespace
