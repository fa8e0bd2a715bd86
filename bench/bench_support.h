#pragma once

// What the device benchmarks share: a reporter that keeps nothing and the Qt
// application object the device layer's timers and signals need (made by
// bench_main.cpp).

#include "text/reporter.h"

#include <QCoreApplication>

namespace kv::bench {

class SilentReporter : public Reporter {
public:
    void announce(const QString&) override {}
    void log(const QString&) override {}
};

inline QCoreApplication& app() {
    return *QCoreApplication::instance();
}

} // namespace kv::bench
