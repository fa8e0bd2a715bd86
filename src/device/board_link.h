#pragma once

#include "device/records/chart_block.h"
#include "device/records/expert_block.h"
#include "device/records/info_block.h"
#include "device/records/schedule_line.h"

#include <QObject>

#include <array>
#include <cstdint>
#include <vector>

namespace kv {

class TJvHidDevice;

// Speaks the board's protocol: owns the in-memory records and moves them to
// and from the board held by discovery, under the protocol's own names.
// Every transfer is tried up to three times (a schedule-line read once); a
// transfer that fails in the end is dropped silently and the records keep
// what they held. The operations return whether all their transfers
// succeeded. With no board held every operation returns false at once.
//
// Only the board service (and discovery and the poller, which it owns) call
// the link; the fronts go through the service's operations.
class BoardLink : public QObject {
    Q_OBJECT
public:
    static constexpr int Attempts = 3;

    explicit BoardLink(QObject* parent = nullptr);

    void setBoard(TJvHidDevice* board) { board_ = board; }
    TJvHidDevice* board() const { return board_; }

    InfoBlock info;
    ExpertBlock expert;
    Schedule schedule;
    ChartBlock chart = ChartBlock::empty();

    bool GetInfoConfig();
    bool SetInfo(bool withClock, bool withLine, bool withLevels);
    bool SetConfig() { return SetInfo(false, false, false); }
    bool GetExpertChart();
    bool SetExpert();
    bool GetLine(int& index, ScheduleLine& line);
    bool SetLine(std::uint8_t index, const ScheduleLine& line);
    bool GetSchedule();
    bool SetSchedule();
    bool SendCommand(BoardCommand command);

    // Transfer attempts that failed since the link was made (each of the up
    // to three attempts of a transfer counts).
    quint64 failedTransfers() const { return failedTransfers_; }

    // The report 1 bytes SetInfo sends for these arguments (id included).
    std::array<std::uint8_t, 1 + InfoBlock::Size> infoReport(bool withClock, bool withLine,
                                                             bool withLevels) const;

signals:
    // After GetInfoConfig, whether or not the read succeeded.
    void infoRead(bool ok);
    // After GetExpertChart: whether each of the two reads succeeded.
    void expertChartRead(bool expertOk, bool chartOk);
    // After GetSchedule: whether every line (and the InfoBlock) came.
    void scheduleRead(bool ok);

private:
    bool read(std::uint8_t* buffer, std::size_t length, int attempts);
    bool write(const std::uint8_t* buffer, std::size_t length);

    TJvHidDevice* board_ = nullptr;
    quint64 failedTransfers_ = 0;
};

} // namespace kv
