#include "app/command_line.h"

namespace kv {

QString commandWord(const QString& argument) {
    QString word = argument.mid(1);
    for (QChar& c : word)
        if (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))
            c = QChar(c.unicode() + ('a' - 'A'));
    return word;
}

CommandLine parseCommandLine(const QStringList& arguments) {
    CommandLine result;
    for (const QString& argument : arguments) {
        result.parameters << argument;
        const QString word = commandWord(argument);
        if (word == QLatin1String("expert"))
            result.expert = true;
        else if (word == QLatin1String("debug"))
            result.debug = true;
        // The simulator is a switch of this program, not a word of the list
        // above: it is recognised as typed.
        if (argument == QLatin1String("--simulate"))
            result.simulate = true;
    }
    return result;
}

QString parameterLogLine(const QString& argument) {
    return QStringLiteral("Parameter: ") + argument;
}

} // namespace kv
