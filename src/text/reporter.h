#pragma once

#include <QString>

namespace kv {

// Where progress and error texts go. The window maps announce() to its status
// bar and log, log() to the log only; the command-line tool to its output.
class Reporter {
public:
    virtual ~Reporter() = default;
    // Shows the text as the current status and logs it.
    virtual void announce(const QString& text) = 0;
    // Adds the text to the log only.
    virtual void log(const QString& text) = 0;
};

} // namespace kv
