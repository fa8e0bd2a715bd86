#pragma once

// What the device benchmarks share: a reporter that keeps nothing and the Qt
// application object the device layer's timers and signals need.

#include "text/reporter.h"

#include <QCoreApplication>

namespace kv::bench {

class SilentReporter : public Reporter {
public:
    void announce(const QString&) override {}
    void log(const QString&) override {}
};

inline QCoreApplication& app() {
    static int argc = 1;
    static char name[] = "bench";
    static char* argv[] = {name, nullptr};
    static QCoreApplication instance(argc, argv);
    return instance;
}

} // namespace kv::bench
