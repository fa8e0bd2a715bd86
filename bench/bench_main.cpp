// The main of every benchmark program: the Qt application lives on main's
// stack and goes before main returns, so it is never destroyed after Qt's own
// statics at exit. Text needs fonts and fonts a GUI application; the
// offscreen platform needs no display.
#include "text/text_catalogue.h"

#include <QGuiApplication>
#include <benchmark/benchmark.h>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    kv::LoadTextCatalogue();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
