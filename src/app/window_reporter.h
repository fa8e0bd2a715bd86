#pragma once

#include "text/reporter.h"

class QWidget;

namespace kv {

class MessageLog;
class StatusPanels;

// Where everything the window's parts tell ends up: the message log and the
// status bar, which this reporter creates. It is the first thing the window
// makes, so every part made after it can report while it starts and stops.
class WindowReporter : public Reporter {
public:
    // The widgets become children of the window.
    explicit WindowReporter(QWidget* window);

    // StatusMessage: the text in the first status panel, then logged.
    void announce(const QString& text) override;
    // LogMessage: a time-stamped entry in the message log.
    void log(const QString& text) override;

    MessageLog* messageLog() const { return log_; }
    StatusPanels* statusPanels() const { return panels_; }

private:
    MessageLog* log_;
    StatusPanels* panels_;
};

} // namespace kv
