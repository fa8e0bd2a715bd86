// Commands that read or set the board's records.
#include "board/value_words.h"
#include "cli/cli_context.h"
#include "cli/commands.h"
#include "device/records/field_range.h"
#include "device/records/record_fields.h"
#include "present/status_output.h"
#include "text/range_reason.h"
#include "text/text_catalogue.h"

#include <QJsonArray>
#include <QJsonValue>

namespace kv::cli {

namespace {

// Ends a command that wrote to the board: 0, or the outcome's status with
// its message.
int written(Context& c, const Outcome& outcome) {
    if (!outcome.ok())
        return c.end(outcome);
    if (c.json())
        c.printJson({{QStringLiteral("ok"), true}});
    return ExitDone;
}

template <typename Record> QJsonObject recordJson(const Record& record) {
    QJsonObject object;
    fields::visit(record, [&](const char* name, const auto& value) {
        if constexpr (std::is_same_v<std::decay_t<decltype(value)>, long long>) {
            object.insert(QLatin1String(name), double(value));
        } else {
            QJsonArray array;
            for (long long v : value)
                array.append(double(v));
            object.insert(QLatin1String(name), array);
        }
    });
    return object;
}

template <typename Record> void printRecord(QTextStream& out, const Record& record) {
    fields::visit(record, [&](const char* name, const auto& value) {
        out << name << '=';
        if constexpr (std::is_same_v<std::decay_t<decltype(value)>, long long>) {
            out << value;
        } else {
            for (std::size_t i = 0; i < value.size(); ++i)
                out << (i ? " " : "") << value[i];
        }
        out << '\n';
    });
}

int sendCommand(Context& c, Outcome (BoardService::*command)(const Origin&)) {
    if (!c.words(0, 0))
        return ExitUsage;
    if (int s = c.connectBoard())
        return s;
    return written(c, (c.service().*command)({}));
}

} // namespace

int runStatus(Context& c) {
    if (!c.words(0, 0))
        return ExitUsage;
    // The connection read the InfoBlock a moment ago: that is the status.
    if (int s = c.connectBoard())
        return s;
    const InfoBlock& info = c.service().info();
    if (c.json())
        c.printJson(present::statusJson(info));
    else
        present::printStatus(c.out(), info);
    return ExitDone;
}

int runDump(Context& c) {
    if (!c.words(0, 0))
        return ExitUsage;
    // The connection read the InfoBlock; the schedule (which reads the
    // InfoBlock again for its line count) and the expert and chart reports
    // once each.
    if (int s = c.connectBoard())
        return s;
    BoardService& board = c.service();
    if (const Outcome read = board.reread({BoardRecord::Schedule, BoardRecord::Expert}); !read.ok())
        return c.end(read);
    if (c.json()) {
        QJsonArray lines;
        for (const ScheduleLine& line : board.schedule())
            lines.append(recordJson(line));
        c.printJson({{QStringLiteral("InfoBlock"), recordJson(board.info())},
                     {QStringLiteral("ExpertBlock"), recordJson(board.expert())},
                     {QStringLiteral("Schedule"), lines},
                     {QStringLiteral("ChartBlock"), recordJson(board.chart())}});
        return ExitDone;
    }
    QTextStream& out = c.out();
    out << "[InfoBlock]\n";
    printRecord(out, board.info());
    out << "\n[ExpertBlock]\n";
    printRecord(out, board.expert());
    for (std::size_t i = 0; i < board.schedule().size(); ++i) {
        out << "\n[Schedule " << i << "]\n";
        printRecord(out, board.schedule()[i]);
    }
    out << "\n[ChartBlock]\n";
    printRecord(out, board.chart());
    return ExitDone;
}

int runMode(Context& c) {
    const auto words = c.words(1, 1);
    if (!words)
        return ExitUsage;
    const auto mode = words::modeOf(words->positional()[0]);
    if (!mode)
        return c.fail(ExitUsage, QStringLiteral("mode must be manual, auto or geo"));
    if (int s = c.connectBoard())
        return s;
    return written(c, c.service().setMode(*mode));
}

int runLevel(Context& c) {
    const auto words = c.words(2, 2);
    if (!words)
        return ExitUsage;
    const int channel = words::channelOf(words->positional()[0]);
    if (channel < 0)
        return c.fail(ExitUsage, QStringLiteral("CHANNEL must be W, R, G, B or 0 to 3"));
    const auto percent = words::percentOf(words->positional()[1]);
    if (!percent)
        return c.fail(ExitUsage, QStringLiteral("PERCENT must be a number from 0 to 100"));
    // Refused before the board is looked for, by the field's own rule.
    const FieldRange& range = fieldrange::LevelPercent;
    if (!range.contains(*percent))
        return c.fail(ExitUsage, rangeReason(range));
    if (int s = c.connectBoard())
        return s;
    return written(c, c.service().setLevel(channel, int(storedValue(range, *percent))));
}

int runSetTime(Context& c) {
    const auto words = c.words(0, 1);
    if (!words)
        return ExitUsage;
    QDateTime when = QDateTime::currentDateTime();
    const QString given = words->positional().value(0, QStringLiteral("now"));
    if (given != QLatin1String("now")) {
        when = QDateTime::fromString(given, QStringLiteral("yyyy-MM-ddTHH:mm:ss"));
        if (!when.isValid())
            return c.fail(ExitUsage, QStringLiteral("the time must be now or YYYY-MM-DDTHH:MM:SS"));
        // Refused before the board is looked for: nothing is sent.
        if (!fieldrange::Year.contains(when.date().year()))
            return c.fail(ExitUsage, rangeReason(fieldrange::Year));
    }
    if (int s = c.connectBoard())
        return s;
    return written(c, c.service().setClock(when));
}

int runCloud(Context& c) {
    return sendCommand(c, &BoardService::startCloud);
}

int runStorm(Context& c) {
    return sendCommand(c, &BoardService::startStorm);
}

int runSave(Context& c) {
    return sendCommand(c, &BoardService::saveSettings);
}

} // namespace kv::cli
