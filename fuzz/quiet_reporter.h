#pragma once

#include "text/reporter.h"

#include <QStringList>

namespace kv::fuzz {

// Keeps what the program reports, for rules about it.
class QuietReporter : public Reporter {
public:
    void announce(const QString& text) override {
        announced << text;
        logged << text;
    }
    void log(const QString& text) override { logged << text; }

    QStringList announced;
    QStringList logged;
};

} // namespace kv::fuzz
