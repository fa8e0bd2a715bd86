#include "sim/transfer_channel.h"

#include <thread>

namespace kv::sim {

void TransferChannel::setFailureProbability(double p, std::uint32_t seed) {
    failureProbability_ = p;
    random_.seed(seed);
}

namespace {

// Waits the latency to within a few microseconds. A plain sleep wakes up late
// by the system's timer slack (50 µs and more, a tenth of a 1 ms transfer),
// which the benchmarks would count against the program; so sleep until
// shortly before the end and yield for the rest.
void waitPrecisely(std::chrono::microseconds latency) {
    using Clock = std::chrono::steady_clock;
    constexpr std::chrono::microseconds Margin{100};
    const Clock::time_point end = Clock::now() + latency;
    if (latency > Margin)
        std::this_thread::sleep_until(end - Margin);
    while (Clock::now() < end)
        std::this_thread::yield();
}

} // namespace

bool TransferChannel::admit() {
    if (latency_.count() > 0)
        waitPrecisely(latency_);
    if (failNext_ > 0) {
        --failNext_;
        return false;
    }
    if (failureProbability_ > 0.0) {
        std::uniform_real_distribution<double> chance(0.0, 1.0);
        if (chance(random_) < failureProbability_)
            return false;
    }
    return true;
}

void TransferChannel::record(bool write, const std::uint8_t* bytes, std::size_t length,
                             bool succeeded) {
    if (!recording_)
        return;
    Transfer& t = log_.emplace_back();
    t.write = write;
    if (bytes)
        t.bytes.assign(bytes, bytes + length);
    t.succeeded = succeeded;
}

} // namespace kv::sim
