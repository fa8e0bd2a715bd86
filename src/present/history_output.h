#pragma once

#include "history/history_records.h"

#include <QByteArray>
#include <QJsonObject>
#include <QString>

#include <vector>

// The history as the command line and the web API give it, in one shape.
namespace kv::present {

// {"from", "to", "points": [{"time", "waterTemperature", "waterTemperatureMin",
// "waterTemperatureMax", "inputVoltage", "W", "R", "G", "B", "mode"}]}: levels
// in percent, times in local ISO 8601 with the offset, null for missing
// values.
QJsonObject historyJson(const std::vector<HistoryPoint>& points, qint64 from, qint64 to);
// The same columns with a header line, one line per point; missing values
// are empty fields.
QByteArray historyCsv(const std::vector<HistoryPoint>& points);
// {"events": [{"time", "kind", "detail", "origin"}]}.
QJsonObject historyEventsJson(const std::vector<HistoryEvent>& events);

} // namespace kv::present
