#pragma once

// Report helpers for the simulator tests: they speak to a simulated device
// the way the program does, through whole feature reports.
#include "device/hid_backend.h"
#include "device/records/chart_block.h"
#include "device/records/expert_block.h"
#include "device/records/info_block.h"
#include "device/records/schedule_line.h"
#include "sim/simulated_board.h"

#include <QDateTime>

#include <array>
#include <cstring>
#include <optional>
#include <utility>

namespace kv::sim::testing {

inline std::optional<InfoBlock> readInfo(SimulatedBoard& board) {
    std::array<std::uint8_t, 47> report{1};
    if (!board.getFeature(report.data(), report.size()))
        return std::nullopt;
    return InfoBlock::decode(report.data() + 1);
}

// Report 1 as SetInfo builds it: the masked bytes carry 255 or 0xFFFF.
inline bool writeInfo(SimulatedBoard& board, const InfoBlock& info, bool withClock, bool withLine,
                      bool withLevels) {
    std::array<std::uint8_t, 47> report{1};
    const auto bytes = info.encode();
    std::memcpy(report.data() + 1, bytes.data(), bytes.size());
    if (!withClock)
        report[9] = 255;
    if (!withLine)
        report[6] = 255;
    if (!withLevels)
        report[15] = report[16] = 0xFF;
    return board.setFeature(report.data(), report.size());
}

inline std::optional<std::pair<int, ScheduleLine>> readLine(SimulatedBoard& board) {
    std::array<std::uint8_t, 17> report{3};
    if (!board.getFeature(report.data(), report.size()))
        return std::nullopt;
    return std::make_pair(int(static_cast<std::int8_t>(report[1])),
                          ScheduleLine::decode(report.data() + 2));
}

inline bool writeLine(SimulatedBoard& board, std::uint8_t index, const ScheduleLine& line) {
    std::array<std::uint8_t, 17> report{3, index};
    const auto bytes = line.encode();
    std::memcpy(report.data() + 2, bytes.data(), bytes.size());
    return board.setFeature(report.data(), report.size());
}

template <typename Device> bool sendCommand(Device& device, std::uint8_t code) {
    std::array<std::uint8_t, 17> report{3, code};
    return device.setFeature(report.data(), report.size());
}

// A clock the test moves by hand.
struct FakeClock {
    QDateTime now = QDateTime(QDate(2024, 2, 29), QTime(12, 0));
    void advanceMs(qint64 ms) { now = now.addMSecs(ms); }
    auto source() {
        return [this] {
            return now;
        };
    }
};

} // namespace kv::sim::testing
