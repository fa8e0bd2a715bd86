#pragma once

#include "alerts/alert_status.h"

#include <QJsonArray>
#include <QString>

namespace kv {

// Alerts in the history file: an event of kind "alert" whose detail is
// "KIND LEVEL VALUE: TEXT" (LEVEL warning, critical or cleared; VALUE "-"
// without one).
inline const QString AlertEventKind = QStringLiteral("alert");
QString alertEventDetail(const AlertReport& report);

// The newest alert events of the file (of the board with the newest
// sample), oldest first, as {"time", "kind", "level", "value", "text"};
// empty when the file is missing or holds none.
QJsonArray recentAlertEvents(const QString& historyPath, int count);

} // namespace kv
