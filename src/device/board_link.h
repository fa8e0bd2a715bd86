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

// Drawing data of one schedule line in the day curve: its x and the y of each
// channel, kept beside the schedule and sized with it.
struct LinePoint {
    double x = 0;
    std::array<double, 4> y{};
};

// Owns the in-memory records and moves them to and from the board held by
// discovery. Every transfer is tried up to three times (a schedule-line read
// once); a transfer that fails in the end is dropped silently and the records
// keep what they held. The operations return whether all their transfers
// succeeded, for callers that care (the command-line tool); the window does
// not. With no board held every operation returns false at once.
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
    std::vector<LinePoint> linePoints;
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

    // Ask the views to show the records again after the program changed them
    // (an import): the same signals as after a read.
    void ShowInfo() { emit infoRead(); }
    void ShowExpert() { emit expertChartRead(); }
    void ShowSchedule() { emit scheduleRead(); }

    // The report 1 bytes SetInfo sends for these arguments (id included).
    std::array<std::uint8_t, 1 + InfoBlock::Size> infoReport(bool withClock, bool withLine,
                                                             bool withLevels) const;

signals:
    // After GetInfoConfig, whether or not the read succeeded: show the InfoBlock.
    void infoRead();
    // After GetExpertChart: show the ExpertBlock and redraw the chart.
    void expertChartRead();
    // After GetSchedule: refill the schedule grid and redraw the day curve.
    void scheduleRead();

private:
    bool read(std::uint8_t* buffer, std::size_t length, int attempts);
    bool write(const std::uint8_t* buffer, std::size_t length);

    TJvHidDevice* board_ = nullptr;
};

} // namespace kv
