// The operations on the schedule: a line by its fields or whole, every line,
// and a line moved. The board takes the schedule whole: every operation
// writes every line.
#include "board/board_service.h"

#include "device/board_link.h"
#include "schedule/schedule_edits.h"

namespace kv {

Outcome BoardService::checkLine(int index) const {
    const int count = int(schedule().size());
    if (index < 0 || index >= count) {
        if (count == 0)
            return Outcome::failed(OutcomeCode::NoSuchLine,
                                   {QStringLiteral("NoLinesAtAll"), {index}});
        return Outcome::failed(OutcomeCode::NoSuchLine,
                               {QStringLiteral("NoSuchLine"), {count, count - 1, index}});
    }
    if (index >= int(FirstCommandCode))
        return Outcome::failed(OutcomeCode::NotWritable,
                               {QStringLiteral("LineNotWritable"), {int(FirstCommandCode)}});
    return Outcome::done();
}

Outcome BoardService::changeScheduleLine(int index, const LineFields& fields, bool reReadFirst,
                                         const Origin& origin) {
    const QString detail = QStringLiteral("%1: %2").arg(index).arg(lineFieldsText(fields));
    if (Outcome refusal = checkLineFields(fields); !refusal.ok())
        return end(Operation::SetScheduleLine, detail, origin, refusal);
    if (!isConnected())
        return end(Operation::SetScheduleLine, detail, origin, noBoardOutcome());
    BoardLink& link = session_.link();
    // What is changed must be what the board holds now, and complete.
    if ((reReadFirst || !asked_[std::size_t(BoardRecord::Schedule)]) && !link.GetSchedule())
        return end(Operation::SetScheduleLine, detail, origin,
                   Outcome::failed(OutcomeCode::NotAnswered,
                                   {QStringLiteral("BoardDidNotAnswerEveryRead"), {}}));
    if (Outcome refusal = checkLine(index); !refusal.ok())
        return end(Operation::SetScheduleLine, detail, origin, refusal);
    applyLineFields(link.schedule[std::size_t(index)], fields);
    const bool ok = link.SetSchedule();
    emit recordChanged(BoardRecord::Schedule, ChangeCause::Write);
    return end(Operation::SetScheduleLine, detail, origin, written(ok));
}

Outcome BoardService::setScheduleLine(int index, const ScheduleLine& line, const Origin& origin) {
    const QString detail = QString::number(index);
    if (!isConnected())
        return end(Operation::SetScheduleLine, detail, origin, noBoardOutcome());
    if (Outcome unread = ensureRead({BoardRecord::Schedule}); !unread.ok())
        return end(Operation::SetScheduleLine, detail, origin, unread);
    if (Outcome refusal = checkLine(index); !refusal.ok())
        return end(Operation::SetScheduleLine, detail, origin, refusal);
    BoardLink& link = session_.link();
    link.schedule[std::size_t(index)] = line;
    const bool ok = link.SetSchedule();
    emit recordChanged(BoardRecord::Schedule, ChangeCause::Write);
    return end(Operation::SetScheduleLine, detail, origin, written(ok));
}

Outcome BoardService::setSchedule(const Schedule& lines, const Origin& origin) {
    if (!isConnected())
        return end(Operation::SetSchedule, QString(), origin, noBoardOutcome());
    if (Outcome unread = ensureRead({BoardRecord::Schedule}); !unread.ok())
        return end(Operation::SetSchedule, QString(), origin, unread);
    BoardLink& link = session_.link();
    // The board decides how many lines there are.
    if (lines.size() != link.schedule.size())
        return end(Operation::SetSchedule, QString(), origin,
                   Outcome::failed(OutcomeCode::NoSuchLine,
                                   {QStringLiteral("NoSuchLine"),
                                    {int(link.schedule.size()), int(link.schedule.size()) - 1,
                                     int(lines.size()) - 1}}));
    link.schedule = lines;
    const bool ok = link.SetSchedule();
    emit recordChanged(BoardRecord::Schedule, ChangeCause::Write);
    return end(Operation::SetSchedule, QString(), origin, written(ok));
}

Outcome BoardService::moveLine(int from, int to, const Origin& origin) {
    const QString detail = QStringLiteral("%1 -> %2").arg(from).arg(to);
    if (!isConnected())
        return end(Operation::MoveLine, detail, origin, noBoardOutcome());
    if (Outcome unread = ensureRead({BoardRecord::Schedule}); !unread.ok())
        return end(Operation::MoveLine, detail, origin, unread);
    for (int index : {from, to})
        if (Outcome refusal = checkLine(index); !refusal.ok())
            return end(Operation::MoveLine, detail, origin, refusal);
    BoardLink& link = session_.link();
    schedule::moveLine(link.schedule, from, to);
    // Once per line between, as the grid always wrote it.
    bool ok = true;
    for (int row = std::min(from, to); row <= std::max(from, to); ++row)
        ok = link.SetSchedule() && ok;
    emit recordChanged(BoardRecord::Schedule, ChangeCause::Write);
    return end(Operation::MoveLine, detail, origin, written(ok));
}

} // namespace kv
