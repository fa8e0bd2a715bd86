#include "app/command_line.h"

namespace kv {

namespace {

const QLatin1String HistoryOption("--history");

} // namespace

QString commandWord(const QString& argument) {
    QString word = argument.mid(1);
    for (QChar& c : word)
        if (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))
            c = QChar(c.unicode() + ('a' - 'A'));
    return word;
}

CommandLine parseCommandLine(const QStringList& arguments) {
    CommandLine result;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        result.parameters << argument;
        // The history's file is a name, never a word of the list below.
        if (argument == HistoryOption) {
            if (i + 1 < arguments.size()) {
                result.historyFile = arguments[++i];
                result.parameters << result.historyFile;
            } else {
                result.historyWithoutFile = true;
            }
            continue;
        }
        if (argument.startsWith(HistoryOption + QLatin1Char('='))) {
            result.historyFile = argument.mid(HistoryOption.size() + 1);
            result.historyWithoutFile = result.historyFile.isEmpty();
            continue;
        }
        const QString word = commandWord(argument);
        if (word == QLatin1String("expert"))
            result.expert = true;
        else if (word == QLatin1String("debug"))
            result.debug = true;
        // The program's switches are not words of the list above: they are
        // recognised as typed.
        if (argument == QLatin1String("--simulate"))
            result.simulate = true;
        else if (argument == QLatin1String("--no-history"))
            result.noHistory = true;
    }
    return result;
}

QString parameterLogLine(const QString& argument) {
    return QStringLiteral("Parameter: ") + argument;
}

QString historyFileOf(const CommandLine& commandLine, const QString& defaultFile) {
    if (commandLine.noHistory)
        return QString();
    if (!commandLine.historyFile.isEmpty())
        return commandLine.historyFile;
    return defaultFile;
}

} // namespace kv
