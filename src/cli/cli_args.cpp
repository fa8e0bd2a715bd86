#include "cli/cli_args.h"

#include "device/records/info_block.h"
#include "text/text_catalogue.h"

namespace kv::cli {

ExitStatus exitStatusOf(OutcomeCode code) {
    switch (code) {
    case OutcomeCode::Done:
        return ExitDone;
    case OutcomeCode::OutOfRange:
    case OutcomeCode::NoSuchLine:
    case OutcomeCode::NotWritable:
        // Nothing was sent: the words asked for what cannot be.
        return ExitUsage;
    case OutcomeCode::NoBoard:
        return ExitNoDevice;
    case OutcomeCode::NotInThisMode:
    case OutcomeCode::NotAnswered:
    case OutcomeCode::NotTaken:
    case OutcomeCode::FileRefused:
    case OutcomeCode::Busy:
    case OutcomeCode::Cancelled:
    case OutcomeCode::UpdateFailed:
        break;
    }
    return ExitFailed;
}

namespace {

// Options of commands that take a value; they may stand before the command
// too, so their value is never taken for the command.
bool takesValue(const QString& arg) {
    static const QStringList options = {"--lat",        "--lon",   "--date",   "--time",
                                        "--utc-offset", "--tz",    "--size",   "--channel",
                                        "--interval",   "--count", "--listen", "--token-file",
                                        "--history",    "--from",  "--to",     "--points"};
    return options.contains(arg);
}

const QLatin1String DeviceOption("--device");

} // namespace

bool Arguments::takeSubcommand(const QStringList& names) {
    for (qsizetype i = 0; i < words.size(); ++i) {
        const QString& word = words[i];
        if (takesValue(word)) {
            ++i; // its value
            continue;
        }
        if (word.startsWith(QLatin1Char('-')))
            continue;
        if (!names.contains(word))
            return false;
        command += QLatin1Char(' ') + word;
        words.removeAt(i);
        return true;
    }
    return false;
}

Arguments parseArguments(const QStringList& arguments) {
    Arguments result;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& arg = arguments[i];
        if (takesValue(arg) && i + 1 < arguments.size()) {
            result.words << arg << arguments[++i];
            continue;
        }
        if (arg == DeviceOption || arg.startsWith(DeviceOption + QLatin1Char('='))) {
            if (arg != DeviceOption)
                result.device = arg.mid(DeviceOption.size() + 1);
            else if (i + 1 < arguments.size())
                result.device = arguments[++i];
            if (result.device.isEmpty())
                result.error = QStringLiteral("option --device needs a serial number or HID path");
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
