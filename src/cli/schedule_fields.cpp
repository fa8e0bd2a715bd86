#include "cli/schedule_fields.h"

#include "cli/cli_args.h"
#include "device/board_link.h"

#include <QLocale>

namespace kv::cli {

namespace {

using namespace schedule;

// Scripts write a decimal point, people often a comma: the cell is read in
// the C locale after a comma became a point.
QString decimalText(QString value) {
    return value.replace(QLatin1Char(','), QLatin1Char('.'));
}

QString expected(const FieldEdit& edit) {
    if (edit.column == PlaceColumn)
        return edit.place == Place::Time ? QStringLiteral("a time HH:MM from 00:00 to 24:00")
                                         : QStringLiteral("an altitude in degrees from -90 to 90");
    if (channelOfColumn(edit.column) >= 0)
        return QStringLiteral("a level in percent from 0 to 100");
    if (isFlagColumn(edit.column))
        return QStringLiteral("on or off");
    return QStringLiteral("a whole number from 0 to 65535");
}

} // namespace

FieldEdit parseFieldEdit(const QString& word) {
    FieldEdit edit;
    edit.word = word;
    const qsizetype eq = word.indexOf(QLatin1Char('='));
    if (eq <= 0) {
        edit.error = QStringLiteral("\"%1\" is no FIELD=VALUE").arg(word);
        return edit;
    }
    const QString name = word.left(eq);
    const QString value = word.mid(eq + 1);
    const QString lower = name.toLower();
    if (lower == QLatin1String("time")) {
        edit.column = PlaceColumn;
        edit.place = Place::Time;
        edit.text = value;
        // The tab takes a lone number for the minute; on the command line
        // that would surprise, so the colon is required.
        if (!value.contains(QLatin1Char(':')))
            edit.error = QStringLiteral("%1: expected %2").arg(word, expected(edit));
    } else if (lower == QLatin1String("alt")) {
        edit.column = PlaceColumn;
        edit.place = Place::Altitude;
        edit.text = decimalText(value);
    } else if (const int channel = channelOfWord(name); channel >= 0) {
        edit.column = columnOfChannel(channel);
        QString percent = value;
        if (percent.endsWith(QLatin1Char('%')))
            percent.chop(1);
        edit.text = decimalText(percent);
    } else if (lower == QLatin1String("display") || lower == QLatin1String("clouds") ||
               lower == QLatin1String("storms")) {
        edit.column = lower == QLatin1String("display")  ? DisplayColumn
                      : lower == QLatin1String("clouds") ? CloudsColumn
                                                         : StormsColumn;
        const QString state = value.toLower();
        if (state == QLatin1String("on") || state == QLatin1String("off"))
            edit.text = flagText(state == QLatin1String("on"));
        else
            edit.error = QStringLiteral("%1: expected %2").arg(word, expected(edit));
    } else if (lower == QLatin1String("timer")) {
        edit.column = TimerColumn;
        edit.text = value;
    } else {
        edit.error = QStringLiteral("unknown field \"%1\" (time, alt, W, R, G, B, 0 to 3, display, "
                                    "clouds, storms, timer)")
                         .arg(name);
    }
    return edit;
}

QString applyFieldEdit(ScheduleLine& line, const FieldEdit& edit) {
    ScheduleLine changed = line;
    const CellInput input =
        applyCellText(changed, edit.column, edit.text, edit.place, QLocale::c());
    switch (input.outcome) {
    case CellInput::Accepted:
        line = changed;
        return {};
    case CellInput::Refused:
        return QStringLiteral("%1: %2").arg(edit.word, input.reason);
    case CellInput::Ignored:
        break;
    }
    return QStringLiteral("%1: expected %2").arg(edit.word, expected(edit));
}

FieldEdits parseFieldEdits(const QStringList& words) {
    FieldEdits result;
    for (const QString& word : words) {
        const FieldEdit edit = parseFieldEdit(word);
        if (!edit.error.isEmpty()) {
            result.error = edit.error;
            return result;
        }
        ScheduleLine scratch;
        if (const QString refusal = applyFieldEdit(scratch, edit); !refusal.isEmpty()) {
            result.error = refusal;
            return result;
        }
        result.edits.push_back(edit);
    }
    return result;
}

LineChange changeScheduleLine(BoardLink& link, int index, const std::vector<FieldEdit>& edits) {
    LineChange change;
    // A fresh copy: what is changed must be what the board holds now, and
    // complete.
    if (!link.GetSchedule()) {
        change.outcome = LineChange::ReadFailed;
        change.message = QStringLiteral("the board did not answer every schedule read");
        return change;
    }
    const int count = int(link.schedule.size());
    if (index < 0 || index >= count) {
        change.outcome = LineChange::NoSuchLine;
        change.message = QStringLiteral("the board has %1 lines (0 to %2); there is no line %3")
                             .arg(count)
                             .arg(count - 1)
                             .arg(index);
        return change;
    }
    if (index >= int(FirstCommandCode)) {
        change.outcome = LineChange::NotWritable;
        change.message = QStringLiteral("lines from %1 on cannot be written: the board takes "
                                        "their number for a command")
                             .arg(FirstCommandCode);
        return change;
    }
    change.line = link.schedule[std::size_t(index)];
    for (const FieldEdit& edit : edits)
        applyFieldEdit(change.line, edit);
    // As the tab after an edit: the line into the schedule, the whole
    // schedule to the board.
    link.schedule[std::size_t(index)] = change.line;
    if (!link.SetSchedule()) {
        change.outcome = LineChange::WriteFailed;
        change.message = QStringLiteral("the board did not take the schedule");
    }
    return change;
}

} // namespace kv::cli
