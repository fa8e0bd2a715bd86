#pragma once

#include "alerts/alert_evaluator.h"

#include <QString>

#include <optional>

namespace kv {

// An active alert as the fronts show it: what, how bad, since when (UTC
// milliseconds), the latest value and the German text.
struct AlertStatus {
    AlertKind kind = AlertKind::Temperature;
    AlertLevel level = AlertLevel::Warning;
    qint64 since = 0;
    std::optional<double> value;
    QString text;
};

// One raise, change, reminder or clear as it is delivered.
struct AlertReport {
    AlertNotice notice;
    QString serial;
    QString summary; // the notification's summary
    QString text;    // what every way of delivery says
};

} // namespace kv
