#include "cli/tool.h"

#include "cli/cli_args.h"
#include "cli/cli_context.h"
#include "cli/commands.h"
#include "cli/history_choice.h"
#include "device/version_info.h"
#include "text/product.h"

#include <QTextStream>

namespace kv::cli {

namespace {

void printOverview(QTextStream& out) {
    out << "Usage: kestvelqorctl [--simulate] [--json] [--device SERIAL|PATH] COMMAND [ARGS]\n\n"
           "Command-line companion of the KestVELQOR aquarium-light controller.\n\n"
           "Commands:\n";
    for (const Command& command : commands())
        out << "  " << QString::fromLatin1(command.name).leftJustified(16) << command.summary
            << '\n';
    out << "\nOptions (before or after the command):\n"
           "  --simulate   put the simulated board on the device list\n"
           "  --device SERIAL|PATH\n"
           "               use the board with this USB serial number or HID path (see devices)\n"
           "  --json       print one JSON document on standard output\n"
           "  --verbose    show the program's log on standard error\n"
           "  --help       show help (after a command: that command's help)\n"
           "  --version    show the version\n\n"
           "Exit status: 0 done, 1 the operation failed, 2 wrong usage, 3 no board found.\n";
}

void printCommandHelp(QTextStream& out, const Command& command) {
    out << "Usage: kestvelqorctl [--simulate] [--json] " << command.usage << "\n\n"
        << command.summary << ".\n\n"
        << command.details;
    if (recordsChanges(QLatin1String(command.name)))
        out << ChangeHistoryHelp;
}

// The help of every subcommand of a command that has no run of its own.
void printSubcommandsHelp(QTextStream& out, const QString& command) {
    bool first = true;
    for (const QString& name : subcommandsOf(command)) {
        if (!first)
            out << '\n';
        first = false;
        printCommandHelp(out, *findCommand(command + QLatin1Char(' ') + name));
    }
}

} // namespace

bool drawsPictures(const QStringList& arguments) {
    Arguments args = parseArguments(arguments);
    args.takeSubcommand(subcommandsOf(args.command));
    const Command* command = args.command.isEmpty() ? nullptr : findCommand(args.command);
    return command && command->drawsPictures && !args.help;
}

int runTool(const QStringList& arguments, bool systemDevices) {
    QTextStream out(stdout);
    QTextStream err(stderr);

    Arguments args = parseArguments(arguments);
    const QStringList subcommands = subcommandsOf(args.command);
    const bool hasSubcommand = args.takeSubcommand(subcommands);
    const Command* command = args.command.isEmpty() ? nullptr : findCommand(args.command);

    if (args.version) {
        out << kv::versionLine(QStringLiteral("kestvelqorctl")) << '\n';
        return ExitDone;
    }
    if (args.help) {
        if (command)
            printCommandHelp(out, *command);
        else if (!subcommands.isEmpty())
            printSubcommandsHelp(out, args.command);
        else
            printOverview(out);
        return ExitDone;
    }
    if (args.command.isEmpty()) {
        printOverview(err);
        return ExitUsage;
    }
    if (!command && !subcommands.isEmpty() && !hasSubcommand) {
        err << "kestvelqorctl: " << args.command << " needs one of: " << subcommands.join(", ")
            << " (see kestvelqorctl " << args.command << " --help)\n";
        return ExitUsage;
    }
    if (!command) {
        err << "kestvelqorctl: unknown command " << args.command << " (see --help)\n";
        return ExitUsage;
    }
    if (!args.error.isEmpty()) {
        err << "kestvelqorctl: " << args.error << '\n';
        return ExitUsage;
    }
    Context context(args, systemDevices);
    const int status = command->run(context);
    context.finish();
    return status;
}

} // namespace kv::cli
