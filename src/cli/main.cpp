// kestvelqorctl: the command-line tool over the program's core.
#include "cli/cli_args.h"
#include "cli/cli_context.h"
#include "cli/commands.h"
#include "device/version_info.h"
#include "text/product.h"
#include "text/text_catalogue.h"

#include <QCoreApplication>
#include <QTextStream>

namespace {

using namespace kv::cli;

void printOverview(QTextStream& out) {
    out << "Usage: kestvelqorctl [--simulate] [--json] COMMAND [ARGS]\n\n"
           "Command-line companion of the KestVELQOR aquarium-light controller.\n\n"
           "Commands:\n";
    for (const Command& command : commands())
        out << "  " << QString::fromLatin1(command.name).leftJustified(16) << command.summary
            << '\n';
    out << "\nOptions (before or after the command):\n"
           "  --simulate   put the simulated board on the device list\n"
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
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("kestvelqorctl"));
    kv::LoadTextCatalogue();
    QTextStream out(stdout);
    QTextStream err(stderr);

    const Arguments args = parseArguments(QCoreApplication::arguments().mid(1));
    if (args.version) {
        out << kv::versionLine(QStringLiteral("kestvelqorctl")) << '\n';
        return ExitDone;
    }
    const Command* command = args.command.isEmpty() ? nullptr : findCommand(args.command);
    if (args.help) {
        if (command)
            printCommandHelp(out, *command);
        else
            printOverview(out);
        return ExitDone;
    }
    if (args.command.isEmpty()) {
        printOverview(err);
        return ExitUsage;
    }
    if (!command) {
        err << "kestvelqorctl: unknown command " << args.command << " (see --help)\n";
        return ExitUsage;
    }
    Context context(args);
    const int status = command->run(context);
    context.finish();
    return status;
}
