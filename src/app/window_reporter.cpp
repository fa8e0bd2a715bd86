#include "app/window_reporter.h"

#include "app/status_panels.h"
#include "views/message_log.h"

namespace kv {

WindowReporter::WindowReporter(QWidget* window)
    : log_(new MessageLog(window)), panels_(new StatusPanels(window)) {}

void WindowReporter::announce(const QString& text) {
    panels_->setPanelText(StatusPanels::Text, text);
    log(text);
}

void WindowReporter::log(const QString& text) {
    log_->LogMessage(text);
}

} // namespace kv
