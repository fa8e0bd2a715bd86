#include "cli/cli_args.h"

namespace kv::cli {

namespace {

// Options of commands that take a value; they may stand before the command
// too, so their value is never taken for the command.
bool takesValue(const QString& arg) {
    static const QStringList options = {"--lat",  "--lon",        "--date",
                                        "--time", "--utc-offset", "--tz"};
    return options.contains(arg);
}

} // namespace

Arguments parseArguments(const QStringList& arguments) {
    Arguments result;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& arg = arguments[i];
        if (takesValue(arg) && i + 1 < arguments.size()) {
            result.words << arg << arguments[++i];
            continue;
        }
        if (arg == QLatin1String("--simulate"))
            result.simulate = true;
        else if (arg == QLatin1String("--json"))
            result.json = true;
        else if (arg == QLatin1String("--help") || arg == QLatin1String("-h"))
            result.help = true;
        else if (arg == QLatin1String("--version"))
            result.version = true;
        else if (arg == QLatin1String("--verbose") || arg == QLatin1String("-v"))
            result.verbose = true;
        else if (result.command.isEmpty() && !arg.startsWith(QLatin1Char('-')))
            result.command = arg;
        else
            result.words << arg;
    }
    return result;
}

CommandWords::CommandWords(const QStringList& words, const QStringList& valueOptions,
                           const QStringList& flagOptions) {
    for (qsizetype i = 0; i < words.size(); ++i) {
        const QString& word = words[i];
        if (!word.startsWith(QLatin1String("--"))) {
            if (word.startsWith(QLatin1Char('-')) && word.size() > 1 && !word[1].isDigit()) {
                error_ = QStringLiteral("unknown option %1").arg(word);
                return;
            }
            positional_ << word;
            continue;
        }
        QString name = word;
        std::optional<QString> inlineValue;
        const qsizetype eq = word.indexOf(QLatin1Char('='));
        if (eq > 0) {
            name = word.left(eq);
            inlineValue = word.mid(eq + 1);
        }
        if (flagOptions.contains(name) && !inlineValue) {
            flags_ << name;
        } else if (valueOptions.contains(name)) {
            if (inlineValue) {
                values_.append({name, *inlineValue});
            } else if (i + 1 < words.size()) {
                values_.append({name, words[++i]});
            } else {
                error_ = QStringLiteral("option %1 needs a value").arg(name);
                return;
            }
        } else {
            error_ = QStringLiteral("unknown option %1").arg(name);
            return;
        }
    }
}

std::optional<QString> CommandWords::value(const QString& option) const {
    for (auto it = values_.crbegin(); it != values_.crend(); ++it)
        if (it->first == option)
            return it->second;
    return std::nullopt;
}

} // namespace kv::cli
