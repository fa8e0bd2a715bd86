// The schedule as the schedule tab shows it, and one line changed as the tab
// changes it.
#include "cli/cli_context.h"
#include "cli/commands.h"
#include "cli/schedule_fields.h"
#include "cli/schedule_json.h"
#include "cli/status_output.h"
#include "device/board_link.h"
#include "plot/channel_colors.h"
#include "schedule/schedule_cells.h"

#include <algorithm>

namespace kv::cli {

namespace {

using namespace schedule;

// The tab's header texts: the level columns carry the channels' names.
QStringList headerTexts(const InfoBlock& info, Place place) {
    QStringList texts;
    for (int column = 0; column < ColumnCount; ++column) {
        const int channel = channelOfColumn(column);
        texts << (channel >= 0
                      ? channelName(channel, colorTableIndex(info.ColorName[std::size_t(channel)]))
                      : headerText(column, place));
    }
    return texts;
}

QStringList rowTexts(const ScheduleLine& line, int index, Place place) {
    QStringList texts;
    for (int column = 0; column < ColumnCount; ++column)
        texts << cellText(line, index, column, place);
    return texts;
}

// The table in aligned columns; the line the board is on is marked with ">"
// (the tab highlights it).
void printTable(QTextStream& out, const QStringList& header, const QList<QStringList>& rows,
                int currentRow) {
    QList<qsizetype> widths(ColumnCount, 0);
    for (const QStringList& row : QList<QStringList>{header} + rows)
        for (int column = 0; column < ColumnCount; ++column)
            widths[column] = std::max(widths[column], row[column].size());
    auto print = [&](const QStringList& row, bool current) {
        QString text = QLatin1String(current ? "> " : "  ");
        for (int column = 0; column < ColumnCount; ++column) {
            const bool last = column == ColumnCount - 1;
            text += last ? row[column] : row[column].leftJustified(widths[column] + 2);
        }
        out << text << '\n';
    };
    print(header, false);
    for (int row = 0; row < rows.size(); ++row)
        print(rows[row], row == currentRow);
}

// A fresh copy of the schedule; the connection read it, but what is shown or
// changed must be what the board holds now, and complete.
int readSchedule(Context& c) {
    if (int s = c.connectBoard())
        return s;
    if (!c.link().GetSchedule())
        return c.fail(ExitFailed, QStringLiteral("the board did not answer every schedule read"));
    return ExitDone;
}

} // namespace

int runSchedule(Context& c) {
    if (!c.words(0, 0))
        return ExitUsage;
    if (int s = readSchedule(c))
        return s;
    const BoardLink& link = c.link();
    const Schedule& lines = link.schedule;
    if (c.json()) {
        c.printJson(scheduleJson(link));
        return ExitDone;
    }
    const Place place = placeOfMode(link.info.Mode);
    QList<QStringList> rows;
    for (int i = 0; i < int(lines.size()); ++i)
        rows << rowTexts(lines[std::size_t(i)], i, place);
    printTable(c.out(), headerTexts(link.info, place), rows, link.info.CurrentLine);
    return ExitDone;
}

int runScheduleSet(Context& c) {
    const auto words = c.words(2, 256);
    if (!words)
        return ExitUsage;
    const QStringList& positional = words->positional();
    bool isNumber = false;
    const int index = positional[0].toInt(&isNumber);
    if (!isNumber || index < 0)
        return c.fail(ExitUsage, QStringLiteral("LINE must be a line number from 0"));

    // Every field is read before the board is asked: a wrong one sends nothing.
    const FieldEdits fields = parseFieldEdits(positional.mid(1));
    if (!fields.error.isEmpty())
        return c.fail(ExitUsage, fields.error);
    if (int s = c.connectBoard())
        return s;
    BoardLink& link = c.link();
    const LineChange change = changeScheduleLine(link, index, fields.edits);
    switch (change.outcome) {
    case LineChange::Written:
        break;
    case LineChange::NoSuchLine:
    case LineChange::NotWritable:
        return c.fail(ExitUsage, change.message);
    case LineChange::ReadFailed:
    case LineChange::WriteFailed:
        return c.fail(ExitFailed, change.message);
    }
    const ScheduleLine& line = change.line;
    if (c.json()) {
        c.printJson(
            {{QStringLiteral("ok"), true}, {QStringLiteral("line"), lineJson(line, index)}});
        return ExitDone;
    }
    const Place place = placeOfMode(link.info.Mode);
    printTable(c.out(), headerTexts(link.info, place), {rowTexts(line, index, place)}, -1);
    return ExitDone;
}

} // namespace kv::cli
