// kestvelqorctl's command line: the input's lines are the arguments, run in
// this process through the whole tool against the simulated board only (the
// operating system's devices are never looked at). A line "[state]" ends the
// arguments; what follows is the simulated board's state file, which the tool
// reads at start. Files the commands name live in a private folder emptied
// before every run; no argument can name a file outside it (no absolute
// paths, no ".."). Rule: every command line ends with one of the documented
// exit statuses.
#include "fuzz_input.h"
#include "fuzz_target.h"

#include "cli/cli_args.h"
#include "cli/tool.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

namespace {

using namespace kv;

constexpr int MaxArguments = 24;

struct Sandbox {
    QString work;  // the current folder while a command runs
    QString state; // the simulated board's state file
};

const Sandbox& sandbox() {
    static const Sandbox folders = [] {
        Sandbox s{fuzz::scratchPath(QStringLiteral("work")),
                  fuzz::scratchPath(QStringLiteral("sim-state.ini"))};
        const QString data = fuzz::scratchPath(QStringLiteral("data"));
        QDir().mkpath(data);
        // Backups before a firmware update and the state file stay inside.
        qputenv("HOME", data.toUtf8());
        qputenv("XDG_DATA_HOME", data.toUtf8());
        qputenv("XDG_CONFIG_HOME", data.toUtf8());
        qputenv("KESTVELQOR_SIM_STATE", s.state.toUtf8());
        return s;
    }();
    return folders;
}

int fuzzCliArguments(const std::uint8_t* data, std::size_t size) {
    fuzz::setUpOnce();
    const Sandbox& folders = sandbox();
    QDir(folders.work).removeRecursively();
    QDir().mkpath(folders.work);
    QFile::remove(folders.state);

    fuzz::FuzzInput input(data, size);
    QStringList arguments;
    while (!input.empty() && arguments.size() < MaxArguments) {
        const QByteArray line = input.line(256);
        if (line == "[state]") {
            fuzz::writeScratchFile(QStringLiteral("sim-state.ini"), input.rest());
            break;
        }
        // No way out of the private folder: no absolute path, no "..".
        QString word = QString::fromUtf8(line);
        word.replace(QLatin1String(".."), QLatin1String("__"));
        if (word.startsWith(QLatin1Char('/')))
            word.prepend(QLatin1Char('_'));
        arguments << word;
    }

    const QString previous = QDir::currentPath();
    QDir::setCurrent(folders.work);
    const int status = cli::runTool(arguments, false);
    QDir::setCurrent(previous);
    QCoreApplication::sendPostedEvents();

    KV_FUZZ_CHECK(status == cli::ExitDone || status == cli::ExitFailed ||
                  status == cli::ExitUsage || status == cli::ExitNoDevice);
    return 0;
}

} // namespace

KV_FUZZ_TARGET("cli_arguments", fuzzCliArguments)
