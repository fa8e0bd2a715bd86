// kestvelqorctl: the command-line tool over the program's core.
#include "cli/cli_args.h"
#include "cli/tool.h"
#include "text/text_catalogue.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QTextStream>

#include <memory>

namespace {
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
    const QStringList arguments = argumentsOf(argc, argv);
    if (!kv::cli::parseArguments(arguments).verbose)
        qInstallMessageHandler(quietQtNotes);
    const auto app = makeApplication(argc, argv, kv::cli::drawsPictures(arguments));
    QCoreApplication::setApplicationName(QStringLiteral("kestvelqorctl"));
    kv::LoadTextCatalogue();
    return kv::cli::runTool(arguments);
}
