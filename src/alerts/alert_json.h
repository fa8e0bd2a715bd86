#pragma once

#include "alerts/alert_rules.h"
#include "alerts/alert_status.h"

#include <QJsonArray>
#include <QJsonObject>

#include <vector>

namespace kv {

// The documents of `kestvelqorctl alerts --json` and GET /api/v1/alerts:
// {"rules": {...}, "active": [...], "recent": [...]}. Rules by the file's
// sections and keys (a bound that is off is null); an active alert as
// {"kind", "level", "since", "value", "text"}; times in ISO 8601 with the
// computer's offset.
QJsonObject alertRulesJson(const AlertRules& rules);
QJsonObject alertStatusJson(const AlertStatus& status);
QJsonArray alertStatusesJson(const std::vector<AlertStatus>& statuses);
QJsonObject alertsDocument(const AlertRules& rules, const std::vector<AlertStatus>& active,
                           const QJsonArray& recent);
// The live feed's event: {"event": "alert", "kind", "level" (warning,
// critical or cleared), "change", "value", "text", "since", "computerTime"}.
QJsonObject alertEventJson(const AlertReport& report);
// An active alert read back from its JSON; nothing when it is not one.
std::optional<AlertStatus> alertStatusOf(const QJsonObject& object);

QString alertTimeText(qint64 utcMs);
QString alertChangeName(AlertChange change);

} // namespace kv
