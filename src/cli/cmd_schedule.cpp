// The schedule as the schedule tab shows it, and one line changed as the tab
// changes it.
#include "cli/cli_context.h"
#include "cli/commands.h"
#include "cli/schedule_fields.h"
#include "plot/channel_colors.h"
#include "present/schedule_json.h"
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

// The schedule as the board holds it now, complete.
int readSchedule(Context& c) {
    if (int s = c.connectBoard())
        return s;
    return c.end(c.service().reread({BoardRecord::Schedule}));
}

} // namespace

int runSchedule(Context& c) {
    if (!c.words(0, 0))
        return ExitUsage;
    if (int s = readSchedule(c))
        return s;
    const BoardService& board = c.service();
    const Schedule& lines = board.schedule();
    if (c.json()) {
        c.printJson(present::scheduleJson(board.info(), lines));
        return ExitDone;
    }
    const Place place = placeOfMode(board.info().Mode);
    QList<QStringList> rows;
    for (int i = 0; i < int(lines.size()); ++i)
        rows << rowTexts(lines[std::size_t(i)], i, place);
    printTable(c.out(), headerTexts(board.info(), place), rows, board.info().CurrentLine);
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

    // Every field is read and checked before the board is asked: a wrong
    // one sends nothing.
    const FieldWords fields = parseFieldWords(positional.mid(1));
    if (!fields.error.isEmpty())
        return c.fail(ExitUsage, fields.error);
    QString field;
    if (const Outcome refusal = checkLineFields(fields.fields, &field); !refusal.ok())
        return c.fail(ExitUsage,
                      fields.wordOfField.value(field) + QStringLiteral(": ") + refusal.text());
    if (int s = c.connectBoard())
        return s;
    BoardService& board = c.service();
    // Changed on the schedule as the board holds it now.
    const Outcome change = board.changeScheduleLine(index, fields.fields, true);
    if (!change.ok())
        return c.end(change);
    const ScheduleLine& line = board.schedule()[std::size_t(index)];
    if (c.json()) {
        c.printJson({{QStringLiteral("ok"), true},
                     {QStringLiteral("line"), present::lineJson(line, index)}});
        return ExitDone;
    }
    const Place place = placeOfMode(board.info().Mode);
    printTable(c.out(), headerTexts(board.info(), place), {rowTexts(line, index, place)}, -1);
    return ExitDone;
}

} // namespace kv::cli
