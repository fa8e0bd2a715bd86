#include "sim/simulated_board.h"

#include "device/records/byte_order.h"
#include "sim/board_defaults.h"

#include <algorithm>
#include <cstring>

namespace kv::sim {

namespace {
constexpr std::uint8_t NoSuchLine = 0xEE; // filler of a line the board does not have
constexpr qint64 MsPerMinute = 60'000;
constexpr qint64 MsPerDay = 86'400'000;
constexpr qint64 UnixEpochJulianDay = 2'440'588;
constexpr qint64 SavingMs = 1000;
} // namespace

SimulatedBoard::SimulatedBoard() {
    resetToDefaults(12);
}

void SimulatedBoard::resetToDefaults(std::uint8_t firmwareVersion) {
    // The clock ran at the old time-lapse factor until now.
    clock_.advance(info_.TimeLapse);
    info_ = defaultInfo(firmwareVersion);
    expert_ = defaultExpert();
    schedule_ = defaultSchedule();
    chart_ = defaultChart(expert_.ChartMode);
    lineCursor_ = 0;
    saving_ = false;
    refresh();
}

InfoBlock& SimulatedBoard::info() {
    refresh();
    return info_;
}

std::size_t SimulatedBoard::lineCount() const {
    return std::min<std::size_t>(schedule_.size(), 255);
}

bool SimulatedBoard::getFeature(std::uint8_t* buffer, std::size_t length) {
    if (!buffer || length == 0)
        return false;
    const bool ok = channel_.admit() && answer(buffer, length);
    channel_.record(false, buffer, length, ok);
    return ok;
}

bool SimulatedBoard::setFeature(const std::uint8_t* buffer, std::size_t length) {
    if (!buffer || length == 0)
        return false;
    const bool ok = channel_.admit() && apply(buffer, length);
    channel_.record(true, buffer, length, ok);
    return ok;
}

bool SimulatedBoard::answer(std::uint8_t* buffer, std::size_t length) {
    switch (buffer[0]) {
    case InfoBlock::ReportId: {
        if (length != InfoReportLength)
            return false;
        refresh();
        const auto bytes = info_.encode();
        std::memcpy(buffer + 1, bytes.data(), bytes.size());
        return true;
    }
    case ExpertBlock::ReportId: {
        if (length != ExpertReportLength)
            return false;
        const auto bytes = expert_.encode();
        std::memcpy(buffer + 1, bytes.data(), bytes.size());
        return true;
    }
    case ScheduleLine::ReportId:
        if (length != LineReportLength)
            return false;
        handOutLine(buffer);
        return true;
    case ChartBlock::ReportId: {
        if (length != ChartReportLength)
            return false;
        const auto bytes = chart_.encode();
        std::memcpy(buffer + 1, bytes.data(), bytes.size());
        return true;
    }
    default:
        return false;
    }
}

bool SimulatedBoard::apply(const std::uint8_t* buffer, std::size_t length) {
    switch (buffer[0]) {
    case InfoBlock::ReportId:
        if (length != InfoReportLength)
            return false;
        applyInfo(buffer + 1);
        return true;
    case ExpertBlock::ReportId: {
        if (length != ExpertReportLength)
            return false;
        const ExpertBlock written = ExpertBlock::decode(buffer + 1);
        // The board records the newly chosen source from now on.
        if (written.ChartMode != expert_.ChartMode)
            chart_ = defaultChart(written.ChartMode);
        expert_ = written;
        return true;
    }
    case ScheduleLine::ReportId:
        if (length != LineReportLength)
            return false;
        applyLineOrCommand(buffer);
        return true;
    default: // the chart is read only
        return false;
    }
}

void SimulatedBoard::applyInfo(const std::uint8_t* payload) {
    refresh(); // the clock runs at the old time-lapse factor until now
    const InfoBlock written = InfoBlock::decode(payload);

    // Fields the board owns (firmware, line count, flags, measurements) are
    // never taken from a write.
    info_.Reserved13 = written.Reserved13;
    info_.Reserved22 = written.Reserved22;
    info_.Mode = written.Mode;
    info_.FanLow = written.FanLow;
    info_.FanHigh = written.FanHigh;
    info_.LCDBLMin = written.LCDBLMin;
    info_.LCDBLMax = written.LCDBLMax;
    info_.TimeLapse = written.TimeLapse;
    info_.ColorName = written.ColorName;
    info_.CloudP = written.CloudP;
    info_.CloudD = written.CloudD;
    info_.StormP = written.StormP;
    info_.StormD = written.StormD;

    if (payload[InfoBlock::MinuteOffset] != InfoBlock::UnsetByte)
        setClockFields(written);
    if (payload[InfoBlock::CurrentLineOffset] != InfoBlock::UnsetByte && written.CurrentLine >= 0 &&
        std::size_t(written.CurrentLine) < lineCount())
        info_.CurrentLine = written.CurrentLine;
    if (le::getU16(payload, InfoBlock::LevelOffset) != InfoBlock::LevelsUnset)
        info_.Level = written.Level;
    refresh();
}

void SimulatedBoard::setClockFields(const InfoBlock& written) {
    const QDate date(2000 + static_cast<std::uint8_t>(written.Year), written.Month, written.Day);
    const bool timeValid = written.Hour >= 0 && written.Hour <= 23 && written.Minute >= 0 &&
                           written.Minute <= 59 && written.Second >= 0 && written.Second <= 59 &&
                           written.Hundredths <= 100;
    if (!date.isValid() || !timeValid)
        return; // a clock that makes no sense is not taken
    const qint64 msOfDay =
        ((qint64(written.Hour) * 60 + written.Minute) * 60 + written.Second) * 1000 +
        qint64(written.Hundredths) * 10;
    clock_.setWallMs(BoardClock::toWallMs(date, QTime(0, 0)) + msOfDay);
}

void SimulatedBoard::applyLineOrCommand(const std::uint8_t* buffer) {
    const std::uint8_t index = buffer[1];
    // The codes 252 to 254 are commands whatever the line count: the board
    // cannot tell them from line indexes.
    if (index >= FirstCommandCode) {
        runCommand(index);
        return;
    }
    if (index < lineCount())
        schedule_[index] = ScheduleLine::decode(buffer + 2);
}

void SimulatedBoard::runCommand(std::uint8_t command) {
    refresh();
    const bool weatherRuns = info_.runsSchedule();
    switch (BoardCommand(command)) {
    case BoardCommand::Storm:
        if (weatherRuns)
            info_.ActivityFlags ^= activity::Storm;
        break;
    case BoardCommand::Cloud:
        if (weatherRuns)
            info_.ActivityFlags ^= activity::Cloud;
        break;
    case BoardCommand::Save:
        info_.StateFlags |= StateSaving;
        saving_ = true;
        savingUntilMs_ = clock_.advance(info_.TimeLapse) + SavingMs;
        ++saveRequests_;
        break;
    default:
        return;
    }
    if (onCommand)
        onCommand(command);
}

void SimulatedBoard::handOutLine(std::uint8_t* buffer) {
    const int count = int(lineCount());
    int index = -1;
    switch (lineOrder_) {
    case LineOrder::Ascending:
        if (count > 0)
            index = int(lineCursor_ % std::size_t(count));
        break;
    case LineOrder::Reversed:
        if (count > 0)
            index = count - 1 - int(lineCursor_ % std::size_t(count));
        break;
    case LineOrder::Custom:
        index = customOrder_[lineCursor_ % customOrder_.size()];
        break;
    }
    ++lineCursor_;
    buffer[1] = static_cast<std::uint8_t>(index);
    if (index >= 0 && index < count) {
        const auto bytes = schedule_[std::size_t(index)].encode();
        std::memcpy(buffer + 2, bytes.data(), bytes.size());
    } else {
        std::memset(buffer + 2, NoSuchLine, ScheduleLine::Size);
    }
}

void SimulatedBoard::setLineOrder(std::vector<int> indexes) {
    customOrder_ = std::move(indexes);
    lineOrder_ = customOrder_.empty() ? LineOrder::Ascending : LineOrder::Custom;
    lineCursor_ = 0;
}

void SimulatedBoard::setLinesReversed() {
    lineOrder_ = LineOrder::Reversed;
    lineCursor_ = 0;
}

void SimulatedBoard::setLinesAscending() {
    lineOrder_ = LineOrder::Ascending;
    lineCursor_ = 0;
}

void SimulatedBoard::setClockSource(std::function<QDateTime()> now) {
    clock_.setSource(std::move(now));
    saving_ = false;
    info_.StateFlags &= std::uint8_t(~StateSaving);
    refresh();
}

QDateTime SimulatedBoard::boardTime() const {
    return BoardClock::fromWallMs(clock_.peekWallMs(info_.TimeLapse));
}

void SimulatedBoard::setBoardTime(const QDateTime& t) {
    refresh();
    clock_.setWallMs(BoardClock::toWallMs(t.date(), t.time()));
    refresh();
}

void SimulatedBoard::refresh() {
    const qint64 now = clock_.advance(info_.TimeLapse);
    const qint64 wall = clock_.wallMs();
    qint64 day = wall / MsPerDay;
    qint64 msOfDay = wall % MsPerDay;
    if (msOfDay < 0) {
        msOfDay += MsPerDay;
        --day;
    }
    int year = 0, month = 0, dayOfMonth = 0;
    QDate::fromJulianDay(day + UnixEpochJulianDay).getDate(&year, &month, &dayOfMonth);
    info_.Year = static_cast<std::int8_t>(static_cast<std::uint8_t>(year - 2000));
    info_.Month = std::int8_t(month);
    info_.Day = std::int8_t(dayOfMonth);
    const qint64 seconds = msOfDay / 1000;
    info_.Hour = std::int8_t(seconds / 3600);
    info_.Minute = std::int8_t(seconds / 60 % 60);
    info_.Second = std::int8_t(seconds % 60);
    info_.Hundredths = std::uint8_t(msOfDay % 1000 / 10);

    info_.LineCount = std::uint8_t(lineCount());
    if (saving_ && now >= savingUntilMs_) {
        saving_ = false;
        info_.StateFlags &= std::uint8_t(~StateSaving);
    }
    if (info_.inMode(BoardMode::Auto))
        followSchedule(msOfDay);
}

void SimulatedBoard::followSchedule(qint64 msOfDay) {
    // The line in force is the last one whose time has come; the levels run
    // linearly towards the next line. Before the first line of the day the
    // previous day's last line is in force.
    const int count = int(lineCount());
    int prev = -1, next = -1, first = -1, last = -1;
    qint64 prevAt = 0, nextAt = 0, firstAt = 0, lastAt = 0;
    for (int i = 0; i < count; ++i) {
        const ScheduleLine& line = schedule_[std::size_t(i)];
        if (line.Hour < 0 || line.Hour > 24 || line.Minute < 0 || line.Minute > 59)
            continue;
        const qint64 at = (qint64(line.Hour) * 60 + line.Minute) * MsPerMinute;
        if (at > MsPerDay)
            continue;
        if (at <= msOfDay) {
            if (prev < 0 || at >= prevAt) {
                prev = i;
                prevAt = at;
            }
        } else if (next < 0 || at < nextAt) {
            next = i;
            nextAt = at;
        }
        if (first < 0 || at < firstAt) {
            first = i;
            firstAt = at;
        }
        if (last < 0 || at >= lastAt) {
            last = i;
            lastAt = at;
        }
    }
    if (first < 0)
        return; // no usable line: the levels stay
    if (prev < 0) {
        prev = last;
        prevAt = lastAt - MsPerDay;
    }
    if (next < 0) {
        next = first;
        nextAt = firstAt + MsPerDay;
    }
    const auto& from = schedule_[std::size_t(prev)].Color16;
    const auto& to = schedule_[std::size_t(next)].Color16;
    const qint64 span = nextAt - prevAt;
    const qint64 pos = msOfDay - prevAt;
    for (std::size_t c = 0; c < 4; ++c) {
        const qint64 level = span > 0 ? from[c] + (qint64(to[c]) - from[c]) * pos / span : from[c];
        info_.Level[c] = std::int16_t(level);
    }
    info_.CurrentLine = std::int8_t(prev);
}

} // namespace kv::sim
