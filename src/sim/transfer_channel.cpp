#include "sim/transfer_channel.h"

#include <thread>

namespace kv::sim {

void TransferChannel::setFailureProbability(double p, std::uint32_t seed) {
    failureProbability_ = p;
    random_.seed(seed);
}

bool TransferChannel::admit() {
    if (latency_.count() > 0)
        std::this_thread::sleep_for(latency_);
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
