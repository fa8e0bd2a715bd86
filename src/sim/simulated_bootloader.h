#pragma once

#include "sim/transfer_channel.h"

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <set>
#include <utility>
#include <vector>

namespace kv::sim {

enum class BootloaderKind { Classic, Avr328p };

// One data block as the bootloader received it.
struct FlashBlock {
    std::uint32_t address = 0;
    std::array<std::uint8_t, 128> bytes{};
};

// The board's HID bootloader: report 1 read gives page and flash size,
// report 1 write is the reset request, report 2 writes carry 128-byte blocks
// that it stores in its flash image. Blocks that do not fit below the
// bootloader's own 2048 bytes at the top of flash are refused.
class SimulatedBootloader {
public:
    static constexpr std::size_t InfoReportLength = 7;
    static constexpr std::size_t BlockReportLength = 132;
    static constexpr std::size_t BlockSize = 128;
    static constexpr std::uint32_t ReservedBytes = 2048;

    explicit SimulatedBootloader(BootloaderKind kind = BootloaderKind::Classic);

    BootloaderKind kind() const { return kind_; }
    void setKind(BootloaderKind kind) { kind_ = kind; }
    // Defaults 128 and 32768. A new flash size erases the flash image.
    void setPageSize(std::uint16_t bytes) { pageSize_ = bytes; }
    void setFlashSize(std::uint32_t bytes);
    std::uint16_t pageSize() const { return pageSize_; }
    std::uint32_t flashSize() const { return flashSize_; }

    bool getFeature(std::uint8_t* buffer, std::size_t length);
    bool setFeature(const std::uint8_t* buffer, std::size_t length);

    // Fault injection and latency apply to every transfer; failBlocks makes
    // the next `times` writes of the block at `address` fail.
    void failNext(int count) { channel_.failNext(count); }
    void failBlocks(std::uint32_t address, int times);
    void setFailureProbability(double p, std::uint32_t seed = 1) {
        channel_.setFailureProbability(p, seed);
    }
    void setLatency(std::chrono::microseconds latency) { channel_.setLatency(latency); }
    void setRecording(bool on) { channel_.setRecording(on); }
    // A silent bootloader fails the device-information read.
    void setSilent(bool silent) { silent_ = silent; }

    // Every block stored, in order of arrival (failed sends are only in
    // transfers()).
    const std::vector<FlashBlock>& blocks() const { return blocks_; }
    // Whether a block write reached the bootloader and failed, and that block
    // was not stored since: the flash then holds no whole program.
    bool hasMissingBlocks() const { return !missingBlocks_.empty(); }
    // Forgets the missing blocks (a new bootloader session starts).
    void forgetMissingBlocks() { missingBlocks_.clear(); }
    // The flash image, flashSize() bytes, 0xFF where nothing was written.
    const std::vector<std::uint8_t>& flash() const { return flash_; }
    int resetRequests() const { return resetRequests_; }
    // Bytes 1 to 6 of the last reset request.
    std::vector<std::uint8_t> lastResetPayload() const { return lastResetPayload_; }
    const std::vector<Transfer>& transfers() const { return channel_.transfers(); }
    void clearTransfers() { channel_.clear(); }
    // Erases the flash and forgets blocks and reset requests.
    void clear();

private:
    bool answer(std::uint8_t* buffer, std::size_t length);
    bool apply(const std::uint8_t* buffer, std::size_t length);
    bool storeBlock(const std::uint8_t* buffer);

    BootloaderKind kind_;
    std::uint16_t pageSize_ = 128;
    std::uint32_t flashSize_ = 32768;
    bool silent_ = false;
    TransferChannel channel_;
    std::vector<std::pair<std::uint32_t, int>> failingBlocks_;
    std::vector<FlashBlock> blocks_;
    std::set<std::uint32_t> missingBlocks_;
    std::vector<std::uint8_t> flash_;
    int resetRequests_ = 0;
    std::vector<std::uint8_t> lastResetPayload_;
};

} // namespace kv::sim
