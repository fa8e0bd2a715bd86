#include "device/board_link.h"

#include "device/hid_controller.h"

#include <algorithm>
#include <cstring>

namespace kv {

namespace {

constexpr std::size_t LineReportSize = 2 + ScheduleLine::Size;

} // namespace

BoardLink::BoardLink(QObject* parent) : QObject(parent) {}

bool BoardLink::read(std::uint8_t* buffer, std::size_t length, int attempts) {
    const std::uint8_t id = buffer[0];
    for (int attempt = 0; attempt < attempts; ++attempt) {
        buffer[0] = id;
        if (board_->ReadFeature(buffer, length))
            return true;
        ++failedTransfers_;
    }
    return false;
}

bool BoardLink::write(const std::uint8_t* buffer, std::size_t length) {
    for (int attempt = 0; attempt < Attempts; ++attempt) {
        if (board_->WriteFeature(buffer, length))
            return true;
        ++failedTransfers_;
    }
    return false;
}

bool BoardLink::GetInfoConfig() {
    if (!board_)
        return false;
    std::array<std::uint8_t, 1 + InfoBlock::Size> report{InfoBlock::ReportId};
    const bool ok = read(report.data(), report.size(), Attempts);
    if (ok)
        info = InfoBlock::decode(report.data() + 1);
    emit infoRead(ok);
    return ok;
}

std::array<std::uint8_t, 1 + InfoBlock::Size> BoardLink::infoReport(bool withClock, bool withLine,
                                                                    bool withLevels) const {
    std::array<std::uint8_t, 1 + InfoBlock::Size> report{InfoBlock::ReportId};
    const auto payload = info.encode();
    std::copy(payload.begin(), payload.end(), report.begin() + 1);
    // The markers travel in the report only; the in-memory record keeps its
    // values. Report byte n is payload offset n - 1.
    if (!withClock)
        report[1 + InfoBlock::MinuteOffset] = InfoBlock::UnsetByte;
    if (!withLine)
        report[1 + InfoBlock::CurrentLineOffset] = InfoBlock::UnsetByte;
    if (!withLevels) {
        report[1 + InfoBlock::LevelOffset] = std::uint8_t(InfoBlock::LevelsUnset & 0xFF);
        report[2 + InfoBlock::LevelOffset] = std::uint8_t(InfoBlock::LevelsUnset >> 8);
    }
    return report;
}

bool BoardLink::SetInfo(bool withClock, bool withLine, bool withLevels) {
    if (!board_)
        return false;
    const auto report = infoReport(withClock, withLine, withLevels);
    return write(report.data(), report.size());
}

bool BoardLink::GetExpertChart() {
    if (!board_)
        return false;
    std::array<std::uint8_t, 1 + ExpertBlock::Size> expertReport{ExpertBlock::ReportId};
    const bool expertOk = read(expertReport.data(), expertReport.size(), Attempts);
    if (expertOk)
        expert = ExpertBlock::decode(expertReport.data() + 1);
    // The chart is read even when the expert record failed.
    std::array<std::uint8_t, 1 + ChartBlock::Size> chartReport{ChartBlock::ReportId};
    const bool chartOk = read(chartReport.data(), chartReport.size(), Attempts);
    if (chartOk)
        chart = ChartBlock::decode(chartReport.data() + 1);
    emit expertChartRead(expertOk, chartOk);
    return expertOk && chartOk;
}

bool BoardLink::SetExpert() {
    if (!board_)
        return false;
    std::array<std::uint8_t, 1 + ExpertBlock::Size> report{ExpertBlock::ReportId};
    const auto payload = expert.encode();
    std::copy(payload.begin(), payload.end(), report.begin() + 1);
    return write(report.data(), report.size());
}

bool BoardLink::GetLine(int& index, ScheduleLine& line) {
    if (!board_)
        return false;
    std::array<std::uint8_t, LineReportSize> report{ScheduleLine::ReportId};
    if (!read(report.data(), report.size(), 1))
        return false;
    // The byte is read unsigned: a board holds up to 255 lines, and read as a
    // signed number the indexes from 128 on would be negative and their lines
    // lost (and then overwritten by the next SetSchedule).
    index = report[1];
    line = ScheduleLine::decode(report.data() + 2);
    return true;
}

bool BoardLink::SetLine(std::uint8_t index, const ScheduleLine& line) {
    if (!board_)
        return false;
    std::array<std::uint8_t, LineReportSize> report{ScheduleLine::ReportId, index};
    const auto payload = line.encode();
    std::copy(payload.begin(), payload.end(), report.begin() + 2);
    return write(report.data(), report.size());
}

bool BoardLink::GetSchedule() {
    if (!board_)
        return false;
    const bool infoOk = GetInfoConfig();
    const std::size_t count = info.LineCount;
    schedule.resize(count);
    std::vector<bool> delivered(count, false);
    for (std::size_t i = 0; i < count; ++i) {
        int index = -1;
        ScheduleLine line;
        if (!GetLine(index, line))
            continue;
        // Each answer is placed by the index it carries; others are dropped.
        if (index < 0 || std::size_t(index) >= schedule.size())
            continue;
        schedule[std::size_t(index)] = line;
        delivered[std::size_t(index)] = true;
    }
    const bool ok =
        infoOk && std::all_of(delivered.begin(), delivered.end(), [](bool d) { return d; });
    emit scheduleRead(ok);
    return ok;
}

bool BoardLink::SetSchedule() {
    if (!board_)
        return false;
    bool allOk = true;
    // Every line is written, also when only one changed; a failed line does not
    // stop the others. A line index of 252 or more would read as a command
    // (storm, cloud, save) on the board, so such lines cannot be written.
    for (std::size_t i = 0; i < schedule.size() && i < FirstCommandCode; ++i)
        allOk = SetLine(std::uint8_t(i), schedule[i]) && allOk;
    return allOk;
}

bool BoardLink::SendCommand(BoardCommand command) {
    if (!board_)
        return false;
    std::array<std::uint8_t, LineReportSize> report{ScheduleLine::ReportId, std::uint8_t(command)};
    return write(report.data(), report.size());
}

} // namespace kv
