// The tank's history as the history file holds it: the samples of a range in
// buckets, and the events.
#include "board/value_words.h"
#include "cli/cli_context.h"
#include "cli/commands.h"
#include "cli/history_reading.h"
#include "history/history_range.h"
#include "history/history_store.h"
#include "present/history_output.h"

#include <QDateTime>

#include <algorithm>
#include <limits>

namespace kv::cli {

namespace {

const QStringList RangeOptions = {QStringLiteral("--history"), QStringLiteral("--from"),
                                  QStringLiteral("--to")};

// Times for people: the computer's local time, to the second.
QString localTimeText(qint64 utcMilliseconds) {
    return QDateTime::fromMSecsSinceEpoch(utcMilliseconds)
        .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

// Numbers as every output of the tool writes them: a point, never a comma.
QString decimalText(const std::optional<double>& value, int decimals) {
    return value ? QString::number(*value, 'f', decimals) : QStringLiteral("-");
}

void printTable(QTextStream& out, const std::vector<HistoryPoint>& points) {
    const QStringList header = {QStringLiteral("Zeit"),       QStringLiteral("Wasser °C"),
                                QStringLiteral("min °C"),     QStringLiteral("max °C"),
                                QStringLiteral("Spannung V"), QStringLiteral("W %"),
                                QStringLiteral("R %"),        QStringLiteral("G %"),
                                QStringLiteral("B %"),        QStringLiteral("Modus")};
    QList<QStringList> rows{header};
    for (const HistoryPoint& p : points) {
        QStringList row = {localTimeText(p.time), decimalText(p.water, 2),
                           decimalText(p.waterMin, 1), decimalText(p.waterMax, 1),
                           decimalText(p.voltage, 2)};
        for (double percent : p.percent)
            row << decimalText(percent, 1);
        row << words::modeName(std::uint8_t(p.mode));
        rows << row;
    }
    // The time to the left, the numbers right-aligned under their heads.
    QList<qsizetype> widths(header.size(), 0);
    for (const QStringList& row : rows)
        for (qsizetype column = 0; column < row.size(); ++column)
            widths[column] = std::max(widths[column], row[column].size());
    for (const QStringList& row : rows) {
        QString line = row[0].leftJustified(widths[0]);
        for (qsizetype column = 1; column < row.size(); ++column)
            line += QStringLiteral("  ") + (column == row.size() - 1
                                                ? row[column]
                                                : row[column].rightJustified(widths[column]));
        out << line << '\n';
    }
}

// --points: a whole number from 1; more than the readers' most give that
// many (a bucket per sample at most).
std::optional<int> pointsOf(const CommandWords& words) {
    const auto word = words.value(QStringLiteral("--points"));
    if (!word)
        return historyrange::DefaultPoints;
    const auto count = words::wholeNumberOf(*word);
    if (!count || *count < 1)
        return std::nullopt;
    return int(std::min<qint64>(*count, historyrange::MaxPoints));
}

} // namespace

int runHistory(Context& c) {
    const auto words =
        c.words(0, 0, RangeOptions + QStringList{QStringLiteral("--points")}, {"--csv"});
    if (!words)
        return ExitUsage;
    const bool csv = words->flag(QStringLiteral("--csv"));
    if (csv && c.json())
        return c.fail(ExitUsage, QStringLiteral("--csv and --json cannot be given together"));
    const QDateTime now = QDateTime::currentDateTime();
    QString error;
    const auto range = historyRangeOf(*words, now, &error);
    if (!range)
        return c.fail(ExitUsage, error);
    const auto points = pointsOf(*words);
    if (!points)
        return c.fail(ExitUsage, QStringLiteral("--points must be a whole number from 1"));

    HistorySource source;
    if (int s = openHistoryForReading(c, *words, source))
        return s;
    const std::vector<HistoryPoint> read = historyPoints(
        *source.file, source.board, range->from, range->to, *points, now.toMSecsSinceEpoch());
    if (c.json())
        c.printJson(present::historyJson(read, range->from, range->to));
    else if (csv)
        c.out() << QString::fromUtf8(present::historyCsv(read));
    else
        printTable(c.out(), read);
    return ExitDone;
}

int runHistoryEvents(Context& c) {
    const auto words = c.words(0, 0, RangeOptions);
    if (!words)
        return ExitUsage;
    QString error;
    const auto range = historyRangeOf(*words, QDateTime::currentDateTime(), &error);
    if (!range)
        return c.fail(ExitUsage, error);
    HistorySource source;
    if (int s = openHistoryForReading(c, *words, source))
        return s;
    const std::vector<HistoryEvent> events =
        historyEvents(*source.file, source.board, range->from, range->to);
    if (c.json()) {
        c.printJson(present::historyEventsJson(events));
        return ExitDone;
    }
    // One line each: time, kind, who asked, what.
    for (const HistoryEvent& e : events) {
        QString line = localTimeText(e.time) + QStringLiteral("  ") + e.kind.leftJustified(9) +
                       QStringLiteral("  ") + e.origin.leftJustified(7);
        if (!e.detail.isEmpty())
            line += QStringLiteral("  ") + e.detail;
        c.out() << line.trimmed() << '\n';
    }
    return ExitDone;
}

} // namespace kv::cli
