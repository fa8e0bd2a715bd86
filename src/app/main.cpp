#include "app/app_icon.h"
#include "app/guarded_application.h"
#include "app/main_window.h"
#include "app/qt_translation.h"
#include "app/single_instance.h"
#include "device/device_session.h"
#include "sim/sim_backend.h"
#include "text/text_catalogue.h"

#include <QStringList>

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
    options.arguments = QApplication::arguments().mid(1);
    kv::MainWindow window(options);
    if (auto* simulator = window.session().simulator()) {
        // A long session would otherwise keep every report in memory.
        simulator->board().setRecording(false);
        simulator->bootloader().setRecording(false);
    }
    kv::GuardedApplication::setErrorHook(
        [&window](const QString& message) { window.LogMessage(message); });
    window.show();
    const int result = app.exec();
    kv::GuardedApplication::setErrorHook({});
    return result;
}
