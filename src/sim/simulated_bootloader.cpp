#include "sim/simulated_bootloader.h"

#include "device/records/byte_order.h"

#include <algorithm>
#include <cstring>

namespace kv::sim {

namespace {
constexpr std::uint8_t InfoReportId = 1;
constexpr std::uint8_t BlockReportId = 2;
constexpr std::uint8_t Erased = 0xFF;

std::uint32_t blockAddress(const std::uint8_t* report) {
    return std::uint32_t(report[1]) | (std::uint32_t(report[2]) << 8) |
           (std::uint32_t(report[3]) << 16);
}
} // namespace

SimulatedBootloader::SimulatedBootloader(BootloaderKind kind) : kind_(kind) {
    flash_.assign(flashSize_, Erased);
}

void SimulatedBootloader::setFlashSize(std::uint32_t bytes) {
    flashSize_ = bytes;
    flash_.assign(flashSize_, Erased);
}

void SimulatedBootloader::failBlocks(std::uint32_t address, int times) {
    failingBlocks_.emplace_back(address, times);
}

void SimulatedBootloader::clear() {
    flash_.assign(flashSize_, Erased);
    blocks_.clear();
    missingBlocks_.clear();
    resetRequests_ = 0;
    lastResetPayload_.clear();
}

bool SimulatedBootloader::getFeature(std::uint8_t* buffer, std::size_t length) {
    if (!buffer || length == 0)
        return false;
    const bool ok = channel_.admit() && answer(buffer, length);
    channel_.record(false, buffer, length, ok);
    return ok;
}

bool SimulatedBootloader::setFeature(const std::uint8_t* buffer, std::size_t length) {
    if (!buffer || length == 0)
        return false;
    const bool ok = channel_.admit() && apply(buffer, length);
    if (!ok && buffer[0] == BlockReportId && length == BlockReportLength)
        missingBlocks_.insert(blockAddress(buffer));
    channel_.record(true, buffer, length, ok);
    return ok;
}

bool SimulatedBootloader::answer(std::uint8_t* buffer, std::size_t length) {
    if (buffer[0] != InfoReportId || length != InfoReportLength || silent_)
        return false;
    le::putU16(buffer, 1, pageSize_);
    le::putU32(buffer, 3, flashSize_);
    return true;
}

bool SimulatedBootloader::apply(const std::uint8_t* buffer, std::size_t length) {
    if (buffer[0] == InfoReportId && length == InfoReportLength) {
        ++resetRequests_;
        lastResetPayload_.assign(buffer + 1, buffer + InfoReportLength);
        return true;
    }
    if (buffer[0] == BlockReportId && length == BlockReportLength)
        return storeBlock(buffer);
    return false;
}

bool SimulatedBootloader::storeBlock(const std::uint8_t* buffer) {
    const std::uint32_t address = blockAddress(buffer);
    auto failing = std::find_if(failingBlocks_.begin(), failingBlocks_.end(),
                                [&](const auto& f) { return f.first == address && f.second > 0; });
    if (failing != failingBlocks_.end()) {
        --failing->second;
        return false;
    }
    const std::uint32_t usable = flashSize_ > ReservedBytes ? flashSize_ - ReservedBytes : 0;
    if (address > usable || usable - address < BlockSize)
        return false; // would overwrite the bootloader or lie beyond the flash
    FlashBlock& block = blocks_.emplace_back();
    block.address = address;
    std::memcpy(block.bytes.data(), buffer + 4, BlockSize);
    std::memcpy(flash_.data() + address, block.bytes.data(), BlockSize);
    missingBlocks_.erase(address);
    return true;
}

} // namespace kv::sim
