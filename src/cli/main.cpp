// kestvelqorctl: the command-line tool over the program's core.
#include "cli/cli_args.h"
#include "cli/cli_context.h"
#include "cli/commands.h"
#include "device/version_info.h"
#include "text/product.h"
#include "text/text_catalogue.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QTextStream>

#include <memory>

namespace {

using namespace kv::cli;

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

// Qt's own notes (such as a missing runtime folder on a headless machine)
// would stand between the program's one-line errors; they show with
// --verbose only.
void quietQtNotes(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg) {
        QTextStream err(stderr);
        err << message << '\n';
    }
}

QStringList argumentsOf(int argc, char* argv[]) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

// Commands that draw pictures get a GUI application on the offscreen
// platform: fonts and painting without a display. Every other command runs
// with Qt Core alone, anywhere.
std::unique_ptr<QCoreApplication> makeApplication(int& argc, char* argv[], bool drawsPictures) {
    if (!drawsPictures)
        return std::make_unique<QCoreApplication>(argc, argv);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    return std::make_unique<QGuiApplication>(argc, argv);
}

} // namespace

int main(int argc, char* argv[]) {
    Arguments args = parseArguments(argumentsOf(argc, argv));
    if (!args.verbose)
        qInstallMessageHandler(quietQtNotes);
    const QStringList subcommands = subcommandsOf(args.command);
    const bool hasSubcommand = args.takeSubcommand(subcommands);
    const Command* command = args.command.isEmpty() ? nullptr : findCommand(args.command);

    const auto app = makeApplication(argc, argv, command && command->drawsPictures && !args.help);
    QCoreApplication::setApplicationName(QStringLiteral("kestvelqorctl"));
    kv::LoadTextCatalogue();
    QTextStream out(stdout);
    QTextStream err(stderr);

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
    Context context(args);
    const int status = command->run(context);
    context.finish();
    return status;
}
