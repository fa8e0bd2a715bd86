#pragma once

#include "alerts/alert_evaluator.h"

#include <QString>

namespace kv {

// The German texts of an alert, from the catalogue: the summary of a
// notification, and the text (value, band and time) that every way of
// delivery carries. Times are the computer's local time of the UTC
// milliseconds; serial is the board's.
QString alertSummary(const AlertNotice& notice);
QString alertText(const AlertNotice& notice, const AlertRules& rules, const QString& serial);
// The text of an active alert, as the window and the web page show it.
QString activeAlertText(const ActiveAlert& alert, const AlertRules& rules, const QString& serial);
// A value as the texts write it (German decimal comma, one decimal).
QString alertValueText(double value);

} // namespace kv
