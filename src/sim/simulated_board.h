#pragma once

#include "device/records/chart_block.h"
#include "device/records/expert_block.h"
#include "device/records/info_block.h"
#include "device/records/schedule_line.h"
#include "sim/board_clock.h"
#include "sim/transfer_channel.h"

#include <QDateTime>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

namespace kv::sim {

// A board running its firmware, as far as the program can see it through
// the four feature reports: it answers reads with its records, applies
// written records honouring the "do not apply" markers, hands out its
// schedule lines one per read, and acts on the commands 252, 253 and 254.
// Its clock runs from a clock source, sped up by the time-lapse factor; in
// Auto mode its levels follow the schedule by time of day.
//
// The schedule's length is the board's line count (at most 255):
// info().LineCount follows schedule().size().
class SimulatedBoard {
public:
    static constexpr std::size_t InfoReportLength = 47;
    static constexpr std::size_t ExpertReportLength = 60;
    static constexpr std::size_t LineReportLength = 17;
    static constexpr std::size_t ChartReportLength = 81;

    // Firmware 12, the default settings of board_defaults.h, clock from the
    // computer's local clock.
    SimulatedBoard();

    // The board's records, for tests to set up and inspect. info() is first
    // brought up to date (clock fields, line count, and in Auto mode levels
    // and current line), so clock fields written through it are overwritten:
    // use setBoardTime().
    InfoBlock& info();
    ExpertBlock& expert() { return expert_; }
    Schedule& schedule() { return schedule_; }
    ChartBlock& chart() { return chart_; }

    // Feature transfers; buffer[0] is the report id and length must be the
    // report's whole length (47, 60, 17 or 81). Report 4 cannot be written.
    bool getFeature(std::uint8_t* buffer, std::size_t length);
    bool setFeature(const std::uint8_t* buffer, std::size_t length);

    // Fault injection, latency and the transfer log; they apply to every
    // transfer, reads and writes alike, and failed transfers are logged too.
    void failNext(int count) { channel_.failNext(count); }
    void setFailureProbability(double p, std::uint32_t seed = 1) {
        channel_.setFailureProbability(p, seed);
    }
    void setLatency(std::chrono::microseconds latency) { channel_.setLatency(latency); }
    void setRecording(bool on) { channel_.setRecording(on); } // default on
    const std::vector<Transfer>& transfers() const { return channel_.transfers(); }
    void clearTransfers() { channel_.clear(); }

    // The sequence of line indexes report-3 reads hand out, cycled. It may
    // hold duplicates and indexes the board does not have (negative or not
    // less than the line count): those are sent with a line of 0xEE bytes.
    // Each index goes out as its low 8 bits; an empty sequence is the
    // default order. Every setter restarts the sequence.
    void setLineOrder(std::vector<int> indexes);
    void setLinesReversed();
    void setLinesAscending(); // the default
    void resetLineCursor() { lineCursor_ = 0; }

    // The clock source; a new source also sets the board's time to the
    // source's time. Default: the computer's local clock.
    void setClockSource(std::function<QDateTime()> now);
    // The board's running clock (time lapse applied), as a local date-time
    // with the board's fields.
    QDateTime boardTime() const;
    void setBoardTime(const QDateTime& t);

    // Back to the settings of a fresh board with this firmware version, as
    // after a firmware update. The clock keeps running; fault injection,
    // latency, line order and the log stay as they are.
    void resetToDefaults(std::uint8_t firmwareVersion = 12);

    // How often command 254 arrived.
    int saveRequests() const { return saveRequests_; }

    // Called after the board acted on command 252, 253 or 254.
    std::function<void(std::uint8_t command)> onCommand;

private:
    bool answer(std::uint8_t* buffer, std::size_t length);
    bool apply(const std::uint8_t* buffer, std::size_t length);
    void applyInfo(const std::uint8_t* payload);
    void applyLineOrCommand(const std::uint8_t* buffer);
    void runCommand(std::uint8_t command);
    void handOutLine(std::uint8_t* buffer);
    void refresh();
    void setClockFields(const InfoBlock& written);
    void followSchedule(qint64 msOfDay);
    std::size_t lineCount() const;

    InfoBlock info_;
    ExpertBlock expert_;
    Schedule schedule_;
    ChartBlock chart_;

    BoardClock clock_;
    TransferChannel channel_;

    enum class LineOrder { Ascending, Reversed, Custom };
    LineOrder lineOrder_ = LineOrder::Ascending;
    std::vector<int> customOrder_;
    std::size_t lineCursor_ = 0;

    bool saving_ = false;
    qint64 savingUntilMs_ = 0; // source time at which the saving flag drops
    int saveRequests_ = 0;
};

} // namespace kv::sim
