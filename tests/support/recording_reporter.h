#pragma once

// A reporter that keeps what it was told, for tests of any part that
// reports: no widgets, only the texts.

#include "text/reporter.h"

#include <QStringList>

namespace kv::testing {

class RecordingReporter : public Reporter {
public:
    void announce(const QString& text) override {
        announced << text;
        logged << text;
    }
    void log(const QString& text) override { logged << text; }
    void clear() {
        announced.clear();
        logged.clear();
    }

    QStringList announced;
    QStringList logged; // announced texts are logged too, as the window logs them
};

} // namespace kv::testing
