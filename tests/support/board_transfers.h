#pragma once

// What the simulated board received, sorted the way tests ask about it.

#include "device/records/info_block.h"
#include "sim/simulated_board.h"

#include <cstdint>
#include <vector>

namespace kv::testing {

// Successful writes of one report.
inline std::vector<sim::Transfer> writesOf(sim::SimulatedBoard& board, std::uint8_t reportId) {
    std::vector<sim::Transfer> result;
    for (const auto& t : board.transfers())
        if (t.write && t.succeeded && !t.bytes.empty() && t.bytes[0] == reportId)
            result.push_back(t);
    return result;
}

// Reads of one report, failed ones included.
inline std::vector<sim::Transfer> readsOf(sim::SimulatedBoard& board, std::uint8_t reportId) {
    std::vector<sim::Transfer> result;
    for (const auto& t : board.transfers())
        if (!t.write && !t.bytes.empty() && t.bytes[0] == reportId)
            result.push_back(t);
    return result;
}

// Report 1 bytes at a payload offset.
inline std::uint8_t infoByte(const sim::Transfer& report, std::size_t offset) {
    return report.bytes[1 + offset];
}

inline bool carriesLevels(const sim::Transfer& report) {
    return !(infoByte(report, InfoBlock::LevelOffset) == 0xFF &&
             infoByte(report, InfoBlock::LevelOffset + 1) == 0xFF);
}

// Report 1 writes that carry levels (SetInfo with levels).
inline std::vector<sim::Transfer> levelWritesOf(sim::SimulatedBoard& board) {
    std::vector<sim::Transfer> result;
    for (const auto& t : writesOf(board, InfoBlock::ReportId))
        if (carriesLevels(t))
            result.push_back(t);
    return result;
}

// Report 1 writes of the configuration (no clock, no line, no levels).
inline std::vector<sim::Transfer> configWritesOf(sim::SimulatedBoard& board) {
    std::vector<sim::Transfer> result;
    for (const auto& t : writesOf(board, InfoBlock::ReportId))
        if (infoByte(t, InfoBlock::MinuteOffset) == InfoBlock::UnsetByte &&
            infoByte(t, InfoBlock::CurrentLineOffset) == InfoBlock::UnsetByte && !carriesLevels(t))
            result.push_back(t);
    return result;
}

// The level of a channel in a report 1.
inline int levelOf(const sim::Transfer& report, int channel) {
    const std::size_t at = 1 + InfoBlock::LevelOffset + 2 * std::size_t(channel);
    return std::int16_t(report.bytes[at] | (report.bytes[at + 1] << 8));
}

} // namespace kv::testing
