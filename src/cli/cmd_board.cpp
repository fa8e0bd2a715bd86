// Commands that read or set the board's records.
#include "cli/board_actions.h"
#include "cli/cli_context.h"
#include "cli/commands.h"
#include "cli/status_output.h"
#include "device/board_link.h"
#include "device/clock_sync.h"
#include "device/records/record_fields.h"
#include "text/text_catalogue.h"

#include <QJsonArray>
#include <QJsonValue>

namespace kv::cli {

namespace {

// Ends a command that wrote to the board: 0, or 1 with a clear line.
int written(Context& c, bool ok) {
    if (!ok)
        return c.fail(ExitFailed, QStringLiteral("the board did not take the change"));
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

int sendCommand(Context& c, BoardCommand command) {
    if (!c.words(0, 0))
        return ExitUsage;
    if (int s = c.connectBoard())
        return s;
    return written(c, c.link().SendCommand(command));
}

} // namespace

int runStatus(Context& c) {
    if (!c.words(0, 0))
        return ExitUsage;
    if (int s = c.connectBoard())
        return s;
    BoardLink& link = c.link();
    if (!link.GetInfoConfig())
        return c.fail(ExitFailed, QStringLiteral("the board did not answer"));
    if (c.json())
        c.printJson(statusJson(link.info));
    else
        printStatus(c.out(), link.info);
    return ExitDone;
}

int runDump(Context& c) {
    if (!c.words(0, 0))
        return ExitUsage;
    if (int s = c.connectBoard())
        return s;
    BoardLink& link = c.link();
    // Fresh copies of every record; the connection read them a moment ago,
    // but a dump should show what the board holds now.
    const bool ok = link.GetInfoConfig() && link.GetExpertChart() && link.GetSchedule();
    if (!ok)
        return c.fail(ExitFailed, QStringLiteral("the board did not answer every read"));
    if (c.json()) {
        QJsonArray lines;
        for (const ScheduleLine& line : link.schedule)
            lines.append(recordJson(line));
        c.printJson({{QStringLiteral("InfoBlock"), recordJson(link.info)},
                     {QStringLiteral("ExpertBlock"), recordJson(link.expert)},
                     {QStringLiteral("Schedule"), lines},
                     {QStringLiteral("ChartBlock"), recordJson(link.chart)}});
        return ExitDone;
    }
    QTextStream& out = c.out();
    out << "[InfoBlock]\n";
    printRecord(out, link.info);
    out << "\n[ExpertBlock]\n";
    printRecord(out, link.expert);
    for (std::size_t i = 0; i < link.schedule.size(); ++i) {
        out << "\n[Schedule " << i << "]\n";
        printRecord(out, link.schedule[i]);
    }
    out << "\n[ChartBlock]\n";
    printRecord(out, link.chart);
    return ExitDone;
}

int runMode(Context& c) {
    const auto words = c.words(1, 1);
    if (!words)
        return ExitUsage;
    const auto mode = modeOfWord(words->positional()[0]);
    if (!mode)
        return c.fail(ExitUsage, QStringLiteral("mode must be manual, auto or geo"));
    if (int s = c.connectBoard())
        return s;
    return written(c, setBoardMode(c.link(), *mode));
}

int runLevel(Context& c) {
    const auto words = c.words(2, 2);
    if (!words)
        return ExitUsage;
    const int channel = channelOfWord(words->positional()[0]);
    if (channel < 0)
        return c.fail(ExitUsage, QStringLiteral("CHANNEL must be W, R, G, B or 0 to 3"));
    const auto percent = percentOfWord(words->positional()[1]);
    if (!percent)
        return c.fail(ExitUsage, QStringLiteral("PERCENT must be a number from 0 to 100"));
    if (int s = c.connectBoard())
        return s;
    return written(c, setChannelLevel(c.link(), channel, *percent));
}

int runSetTime(Context& c) {
    const auto words = c.words(0, 1);
    if (!words)
        return ExitUsage;
    QDateTime when = QDateTime::currentDateTime();
    const QString given = words->positional().value(0, QStringLiteral("now"));
    if (given != QLatin1String("now")) {
        when = QDateTime::fromString(given, QStringLiteral("yyyy-MM-ddTHH:mm:ss"));
        if (!when.isValid() || when.date().year() < 2000 || when.date().year() > 2255)
            return c.fail(
                ExitUsage,
                QStringLiteral("the time must be now or YYYY-MM-DDTHH:MM:SS (2000 to 2255)"));
    }
    if (int s = c.connectBoard())
        return s;
    return written(c, setBoardClockNow(c.link(), when));
}

int runCloud(Context& c) {
    return sendCommand(c, BoardCommand::Cloud);
}

int runStorm(Context& c) {
    return sendCommand(c, BoardCommand::Storm);
}

int runSave(Context& c) {
    return sendCommand(c, BoardCommand::Save);
}

} // namespace kv::cli
