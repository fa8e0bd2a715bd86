#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <random>
#include <vector>

namespace kv::sim {

// One feature transfer a simulated device saw: the whole report, id included.
// For a read, the bytes are the buffer as it was handed back.
struct Transfer {
    bool write = false;
    std::vector<std::uint8_t> bytes;
    bool succeeded = false;
};

// What every simulated device does to each transfer before it looks at the
// report: wait the configured latency, fail it on demand, and keep a log.
class TransferChannel {
public:
    void failNext(int count) { failNext_ = count > 0 ? count : 0; }
    // Each transfer then fails with probability p, from a generator seeded
    // with seed so that runs repeat.
    void setFailureProbability(double p, std::uint32_t seed);
    void setLatency(std::chrono::microseconds latency) { latency_ = latency; }
    void setRecording(bool on) { recording_ = on; }

    // Waits the latency; false when this transfer is to fail.
    bool admit();
    void record(bool write, const std::uint8_t* bytes, std::size_t length, bool succeeded);

    const std::vector<Transfer>& transfers() const { return log_; }
    void clear() { log_.clear(); }

private:
    int failNext_ = 0;
    double failureProbability_ = 0.0;
    std::mt19937 random_{1};
    std::chrono::microseconds latency_{0};
    bool recording_ = true;
    std::vector<Transfer> log_;
};

} // namespace kv::sim
