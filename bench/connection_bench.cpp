// A connection as the program makes it (discovery claims the board and reads
// every record) to a simulated board with 255 schedule lines whose every
// feature transfer takes 1 ms, about what a full-speed USB control transfer
// costs. Reports the transfers counted and the time measured against
// transfers × 1 ms (a ratio of 1 means nothing is added to the transfers),
// and the time spent outside the transfers, the program's own share.
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

using Clock = std::chrono::steady_clock;

// Counts the feature transfers and the time spent inside them (the simulated
// USB time, including the system waking the waiting thread late), so that
// the program's own share can be told apart.
struct TransferMeter {
    std::size_t transfers = 0;
    Clock::duration inside{};
};

class MeteredConnection : public kv::HidConnection {
public:
    MeteredConnection(std::unique_ptr<kv::HidConnection> inner, TransferMeter& meter)
        : inner_(std::move(inner)), meter_(meter) {}
    bool getFeature(std::uint8_t* buffer, std::size_t length) override {
        return metered([&] { return inner_->getFeature(buffer, length); });
    }
    bool setFeature(const std::uint8_t* buffer, std::size_t length) override {
        return metered([&] { return inner_->setFeature(buffer, length); });
    }

private:
    template <typename Transfer> bool metered(Transfer transfer) {
        const Clock::time_point start = Clock::now();
        const bool ok = transfer();
        meter_.inside += Clock::now() - start;
        ++meter_.transfers;
        return ok;
    }
    std::unique_ptr<kv::HidConnection> inner_;
    TransferMeter& meter_;
};

class MeteredBackend : public kv::HidBackend {
public:
    MeteredBackend(kv::HidBackend& inner, TransferMeter& meter) : inner_(inner), meter_(meter) {}
    std::vector<kv::HidDeviceInfo> enumerate() override { return inner_.enumerate(); }
    kv::HidOpenResult open(const kv::HidDeviceInfo& device) override {
        kv::HidOpenResult result = inner_.open(device);
        if (result.connection)
            result.connection =
                std::make_unique<MeteredConnection>(std::move(result.connection), meter_);
        return result;
    }

private:
    kv::HidBackend& inner_;
    TransferMeter& meter_;
};

// A board on the simulated bus, not yet found.
struct SlowBoard {
    kv::sim::SimBackend sim;
    TransferMeter meter;
    MeteredBackend backend{sim, meter};
    kv::TJvHidDeviceController controller;
    kv::BoardLink link;
    SilentReporter reporter;
    kv::Discovery discovery{controller, link, reporter};

    SlowBoard() {
        sim.board().setRecording(false);
        sim.board().schedule().resize(ScheduleLines);
        sim.board().info().LineCount = ScheduleLines;
        sim.board().setLatency(TransferTime);
        controller.addBackend(&backend);
    }
};

void BM_Connect255LinesAt1msPerTransfer(benchmark::State& state) {
    app();
    Clock::duration measured{};
    Clock::duration inside{};
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
        transfers += board->meter.transfers;
        inside += board->meter.inside;
        board.reset();
        state.ResumeTiming();
    }
    using Ms = std::chrono::duration<double, std::milli>;
    const double connections = double(state.iterations());
    const double idealMs = double(transfers) * Ms(TransferTime).count();
    const double measuredMs = Ms(measured).count();
    state.counters["transfers"] = double(transfers) / connections;
    state.counters["transfers_x_1ms"] = idealMs / connections;
    state.counters["measured_ms"] = measuredMs / connections;
    state.counters["ratio"] = idealMs > 0 ? measuredMs / idealMs : 0.0;
    // Time outside the transfers: what the program itself adds.
    state.counters["own_ms"] = Ms(measured - inside).count() / connections;
}
BENCHMARK(BM_Connect255LinesAt1msPerTransfer)->Unit(benchmark::kMillisecond)->Iterations(10);

} // namespace
