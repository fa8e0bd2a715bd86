#include "app/app_icon.h"
#include "app/command_line.h"
#include "app/guarded_application.h"
#include "app/main_window.h"
#include "app/qt_translation.h"
#include "app/single_instance.h"
#include "device/system_devices.h"
#include "history/history_file.h"
#include "sim/simulation.h"
#include "text/text_catalogue.h"

#include <QStringList>

#include <memory>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

int main(int argc, char* argv[]) {
#ifdef Q_OS_WIN
    // No system error boxes for critical errors and protection faults.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
#endif
    kv::GuardedApplication app(argc, argv);
    kv::installQtGermanTranslation(app);

    // One copy per user: a second start ends at once, without a word.
    kv::SingleInstance instance;
    if (!instance.acquire())
        return 0;

    QApplication::setApplicationName(QStringLiteral("kestvelqor"));
    QGuiApplication::setDesktopFileName(QStringLiteral("kestvelqor"));
    QApplication::setWindowIcon(kv::applicationIcon());
    kv::LoadTextCatalogue();

    kv::WindowOptions options;
    options.commandLine = kv::parseCommandLine(QApplication::arguments().mid(1));
    // The window records into the user's history file unless told otherwise.
    options.defaultHistoryFile = kv::defaultHistoryPath();
    kv::SystemDevices systemDevices;
    options.deviceSources.push_back(systemDevices.source());
    // --simulate: the simulated board on the device list beside the real ones,
    // the same board the command-line tool sees (it keeps its settings).
    std::unique_ptr<kv::sim::Simulation> simulation;
    if (options.commandLine.simulate) {
        simulation = std::make_unique<kv::sim::Simulation>(kv::sim::Simulation::State::Keep);
        // A long session would otherwise keep every report in memory.
        simulation->setRecording(false);
        options.deviceSources.push_back(simulation->source());
    }

    kv::MainWindow window(options);
    if (simulation)
        QObject::connect(&window.service(), &kv::BoardService::boardEnteringBootloader,
                         [&simulation] { simulation->enterBootloaderOnNextSave(); });
    kv::GuardedApplication::setErrorHook(
        [&window](const QString& message) { window.reporter().log(message); });
    // For the start-up benchmark (bench/startup.sh): end once connected.
    if (qEnvironmentVariableIsSet("KESTVELQOR_EXIT_WHEN_CONNECTED"))
        QObject::connect(&window.service(), &kv::BoardService::connected, &app,
                         &QCoreApplication::quit, Qt::QueuedConnection);
    window.show();
    const int result = app.exec();
    kv::GuardedApplication::setErrorHook({});
    if (simulation)
        simulation->save();
    return result;
}
