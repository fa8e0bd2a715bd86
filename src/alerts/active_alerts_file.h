#pragma once

#include "alerts/alert_status.h"

#include <QString>

#include <vector>

namespace kv {

// The active alerts of the process that evaluates a board, published in the
// runtime folder (kestvelqor-alerts-SERIAL.json, with the process id) for
// the commands that show them. A file whose process is gone is ignored.
QString activeAlertsPath(const QString& serial);
void writeActiveAlerts(const QString& serial, const std::vector<AlertStatus>& active);
void removeActiveAlerts(const QString& serial);
// Every board's active alerts, or those of the board with this serial
// number, of the processes still running.
std::vector<AlertStatus> readActiveAlerts(const QString& serial = {});

} // namespace kv
