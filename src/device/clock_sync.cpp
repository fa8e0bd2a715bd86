#include "device/clock_sync.h"

#include "common/rounding.h"
#include "device/board_link.h"

#include <cstdlib>

namespace kv {

int clockDifferenceSeconds(const InfoBlock& board, const QTime& computer) {
    const int boardSeconds = board.Hour * 3600 + board.Minute * 60 + board.Second;
    const int computerSeconds = int(roundHalfEven(computer.msecsSinceStartOfDay() / 1000.0));
    return boardSeconds - computerSeconds;
}

bool clockNeedsCorrection(const InfoBlock& board, const QTime& computer) {
    if (board.TimeLapse != 1)
        return false;
    const int difference = std::abs(clockDifferenceSeconds(board, computer));
    return difference > clocksync::DeadBandSeconds &&
           difference <= clocksync::AcceptanceWindowSeconds;
}

std::uint8_t hundredthsFromMilliseconds(int milliseconds) {
    return std::uint8_t(roundHalfEven(milliseconds * 0.1));
}

void setBoardTimeOfDay(InfoBlock& board, const QTime& computer) {
    board.Hour = std::int8_t(computer.hour());
    board.Minute = std::int8_t(computer.minute());
    board.Second = std::int8_t(computer.second());
    board.Hundredths = hundredthsFromMilliseconds(computer.msec());
}

void setBoardDateTime(InfoBlock& board, const QDateTime& computer) {
    const QDate date = computer.date();
    board.Day = std::int8_t(date.day());
    board.Month = std::int8_t(date.month());
    board.setCalendarYear(date.year());
    board.Reserved13 = 0;
    setBoardTimeOfDay(board, computer.time());
}

std::optional<QDateTime> boardDateTime(const InfoBlock& board) {
    const QDate date(board.calendarYear(), board.Month, board.Day);
    const QTime time(board.Hour, board.Minute, board.Second,
                     std::min(board.Hundredths, std::uint8_t(99)) * 10);
    if (!date.isValid() || !time.isValid())
        return std::nullopt;
    return QDateTime(date, time);
}

bool setBoardClockNow(BoardLink& link, const QDateTime& computer) {
    link.info.TimeLapse = 1;
    const bool configOk = link.SetConfig();
    setBoardDateTime(link.info, computer);
    const bool clockOk = link.SetInfo(true, false, false);
    return configOk && clockOk;
}

} // namespace kv
