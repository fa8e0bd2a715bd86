// The operations on the InfoBlock and the ExpertBlock: mode, levels, clock,
// the current line, configuration and expert settings, the board's commands
// and reading records again.
#include "board/board_service.h"
#include "board/value_words.h"

#include "device/board_link.h"
#include "device/clock_sync.h"
#include "device/records/field_range.h"
#include "text/range_reason.h"

namespace kv {

namespace {

Outcome outOfRange(const FieldRange& range) {
    return Outcome::failed(OutcomeCode::OutOfRange, rangeRefusal(range));
}

Outcome yearRefusal(int year) {
    if (fieldrange::Year.contains(year))
        return Outcome::done();
    return outOfRange(fieldrange::Year);
}

QString levelsText(const std::array<int, ChannelCount>& levels) {
    static const char Letters[] = "WRGB";
    QStringList words;
    for (std::size_t channel = 0; channel < levels.size(); ++channel)
        words << QStringLiteral("%1=%2").arg(QLatin1Char(Letters[channel])).arg(levels[channel]);
    return words.join(QLatin1Char(' '));
}

} // namespace

Outcome BoardService::setMode(BoardMode mode, const Origin& origin) {
    const QString detail = words::modeName(mode);
    if (!isConnected())
        return end(Operation::SetMode, detail, origin, noBoardOutcome());
    BoardLink& link = session_.link();
    link.info.setMode(mode);
    const bool ok = link.SetConfig();
    emit recordChanged(BoardRecord::Info, ChangeCause::Write);
    return end(Operation::SetMode, detail, origin, written(ok));
}

Outcome BoardService::checkLevels(const std::array<int, ChannelCount>& levels,
                                  LevelRule rule) const {
    for (int level : levels)
        if (!fieldrange::Level.contains(level))
            // Told in percent, as people set levels.
            return outOfRange(fieldrange::LevelPercent);
    if (!isConnected())
        return noBoardOutcome();
    if (rule == LevelRule::ManualOnly && !info().inMode(BoardMode::Manual))
        return Outcome::failed(OutcomeCode::NotInThisMode,
                               {QStringLiteral("LevelsOnlyInManualMode"), {}});
    return Outcome::done();
}

Outcome BoardService::setLevel(int channel, int level, LevelRule rule, const Origin& origin) {
    if (channel < 0 || channel >= ChannelCount) {
        const FieldRange channels{0, ChannelCount - 1, 1, "", fieldrange::InvalidValue};
        return end(Operation::SetLevels, QString(), origin, outOfRange(channels));
    }
    std::array<int, ChannelCount> levels{};
    for (std::size_t c = 0; c < levels.size(); ++c)
        levels[c] = info().Level[c];
    levels[std::size_t(channel)] = level;
    return setLevels(levels, rule, origin);
}

Outcome BoardService::setLevels(const std::array<int, ChannelCount>& levels, LevelRule rule,
                                const Origin& origin) {
    const QString detail = levelsText(levels);
    if (Outcome refusal = checkLevels(levels, rule); !refusal.ok())
        return end(Operation::SetLevels, detail, origin, refusal);
    BoardLink& link = session_.link();
    for (std::size_t channel = 0; channel < levels.size(); ++channel)
        link.info.Level[channel] = std::int16_t(levels[channel]);
    const bool ok = link.SetInfo(false, false, true);
    emit recordChanged(BoardRecord::Info, ChangeCause::Write);
    return end(Operation::SetLevels, detail, origin, written(ok));
}

Outcome BoardService::setClock(const QDateTime& when, const Origin& origin) {
    const QString detail = when.toString(Qt::ISODate);
    if (Outcome refusal = yearRefusal(when.date().year()); !refusal.ok())
        return end(Operation::SetClock, detail, origin, refusal);
    if (!isConnected())
        return end(Operation::SetClock, detail, origin, noBoardOutcome());
    const bool ok = setBoardClockNow(session_.link(), when);
    emit recordChanged(BoardRecord::Info, ChangeCause::Write);
    return end(Operation::SetClock, detail, origin, written(ok));
}

Outcome BoardService::setClockDate(const QDate& date, const Origin& origin) {
    const QString detail = date.toString(Qt::ISODate);
    if (Outcome refusal = yearRefusal(date.year()); !refusal.ok())
        return end(Operation::SetClock, detail, origin, refusal);
    if (!isConnected())
        return end(Operation::SetClock, detail, origin, noBoardOutcome());
    BoardLink& link = session_.link();
    link.info.Day = std::int8_t(date.day());
    link.info.Month = std::int8_t(date.month());
    link.info.setCalendarYear(date.year());
    const bool ok = link.SetInfo(true, false, false);
    emit recordChanged(BoardRecord::Info, ChangeCause::Write);
    return end(Operation::SetClock, detail, origin, written(ok));
}

Outcome BoardService::setClockTime(int hour, int minute, const Origin& origin) {
    const QString detail = QStringLiteral("%1:%2")
                               .arg(hour, 2, 10, QLatin1Char('0'))
                               .arg(minute, 2, 10, QLatin1Char('0'));
    // The board's clock runs within the day: 24:00 is no time of it.
    const FieldRange hours{0, 23, 1, "", "InvalidHour"};
    if (!hours.contains(hour))
        return end(Operation::SetClock, detail, origin, outOfRange(hours));
    if (!fieldrange::LineMinute.contains(minute))
        return end(Operation::SetClock, detail, origin, outOfRange(fieldrange::LineMinute));
    if (!isConnected())
        return end(Operation::SetClock, detail, origin, noBoardOutcome());
    BoardLink& link = session_.link();
    link.info.Hour = std::int8_t(hour);
    link.info.Minute = std::int8_t(minute);
    const bool ok = link.SetInfo(true, false, false);
    emit recordChanged(BoardRecord::Info, ChangeCause::Write);
    return end(Operation::SetClock, detail, origin, written(ok));
}

Outcome BoardService::selectLine(int index, const Origin& origin) {
    const QString detail = QString::number(index);
    if (!isConnected())
        return end(Operation::SelectLine, detail, origin, noBoardOutcome());
    if (Outcome unread = ensureRead({BoardRecord::Schedule}); !unread.ok())
        return end(Operation::SelectLine, detail, origin, unread);
    if (Outcome refusal = checkLine(index); !refusal.ok())
        return end(Operation::SelectLine, detail, origin, refusal);
    BoardLink& link = session_.link();
    link.info.CurrentLine = std::int8_t(index);
    const bool ok = link.SetInfo(false, true, false);
    emit recordChanged(BoardRecord::Info, ChangeCause::Write);
    return end(Operation::SelectLine, detail, origin, written(ok));
}

Outcome BoardService::setConfiguration(const InfoBlock& configuration, const Origin& origin) {
    if (!isConnected())
        return end(Operation::SetConfiguration, QString(), origin, noBoardOutcome());
    InfoBlock& info = session_.link().info;
    // The configuration fields only: what the board reports (clock, levels,
    // measurements, flags) stays as last read.
    info.Mode = configuration.Mode;
    info.FanLow = configuration.FanLow;
    info.FanHigh = configuration.FanHigh;
    info.LCDBLMin = configuration.LCDBLMin;
    info.LCDBLMax = configuration.LCDBLMax;
    info.TimeLapse = configuration.TimeLapse;
    info.ColorName = configuration.ColorName;
    info.CloudP = configuration.CloudP;
    info.CloudD = configuration.CloudD;
    info.StormP = configuration.StormP;
    info.StormD = configuration.StormD;
    const bool ok = session_.link().SetConfig();
    emit recordChanged(BoardRecord::Info, ChangeCause::Write);
    return end(Operation::SetConfiguration, QString(), origin, written(ok));
}

Outcome BoardService::setExpert(const ExpertBlock& expert, const Origin& origin) {
    if (!isConnected())
        return end(Operation::SetExpert, QString(), origin, noBoardOutcome());
    if (Outcome unread = ensureRead({BoardRecord::Expert}); !unread.ok())
        return end(Operation::SetExpert, QString(), origin, unread);
    BoardLink& link = session_.link();
    link.expert = expert;
    const bool ok = link.SetExpert();
    emit recordChanged(BoardRecord::Expert, ChangeCause::Write);
    return end(Operation::SetExpert, QString(), origin, written(ok));
}

Outcome BoardService::sendCommand(Operation operation, BoardCommand command, const Origin& origin) {
    if (!isConnected())
        return end(operation, QString(), origin, noBoardOutcome());
    return end(operation, QString(), origin, written(session_.link().SendCommand(command)));
}

Outcome BoardService::startCloud(const Origin& origin) {
    return sendCommand(Operation::Cloud, BoardCommand::Cloud, origin);
}

Outcome BoardService::startStorm(const Origin& origin) {
    return sendCommand(Operation::Storm, BoardCommand::Storm, origin);
}

Outcome BoardService::saveSettings(const Origin& origin) {
    return sendCommand(Operation::Save, BoardCommand::Save, origin);
}

bool BoardService::readRecord(BoardRecord record) {
    BoardLink& link = session_.link();
    switch (record) {
    case BoardRecord::Info:
        return link.GetInfoConfig();
    case BoardRecord::Expert:
    case BoardRecord::Chart:
        // One report pair carries both.
        return link.GetExpertChart();
    case BoardRecord::Schedule:
        return link.GetSchedule();
    }
    return false;
}

Outcome BoardService::ensureRead(std::initializer_list<BoardRecord> records) {
    bool ok = true;
    for (BoardRecord record : records)
        if (!asked_[std::size_t(record)])
            ok = readRecord(record) && ok;
    if (ok)
        return Outcome::done();
    return Outcome::failed(OutcomeCode::NotAnswered,
                           {QStringLiteral("BoardDidNotAnswerEveryRead"), {}});
}

Outcome BoardService::reread(std::initializer_list<BoardRecord> records, const Origin& origin) {
    if (!isConnected())
        return end(Operation::Reread, QString(), origin, noBoardOutcome());
    bool ok = true;
    bool expertRead = false;
    for (BoardRecord record : records) {
        const bool expertPair = record == BoardRecord::Expert || record == BoardRecord::Chart;
        if (expertPair && expertRead)
            continue;
        expertRead = expertRead || expertPair;
        ok = readRecord(record) && ok;
    }
    if (ok)
        return end(Operation::Reread, QString(), origin, Outcome::done());
    const char* key = records.size() > 1 || *records.begin() == BoardRecord::Schedule
                          ? "BoardDidNotAnswerEveryRead"
                          : "BoardDidNotAnswer";
    return end(Operation::Reread, QString(), origin,
               Outcome::failed(OutcomeCode::NotAnswered, {QString::fromLatin1(key), {}}));
}

} // namespace kv
