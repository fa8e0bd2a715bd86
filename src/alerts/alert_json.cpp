#include "alerts/alert_json.h"

#include <QDateTime>
#include <QTimeZone>

namespace kv {

namespace {

QJsonValue optionalNumber(const std::optional<double>& value) {
    return value ? QJsonValue(*value) : QJsonValue(QJsonValue::Null);
}

} // namespace

QString alertTimeText(qint64 utcMs) {
    return QDateTime::fromMSecsSinceEpoch(utcMs, QTimeZone::systemTimeZone()).toString(Qt::ISODate);
}

QString alertChangeName(AlertChange change) {
    switch (change) {
    case AlertChange::Raised:
        return QStringLiteral("raised");
    case AlertChange::Lowered:
        return QStringLiteral("lowered");
    case AlertChange::Reminder:
        return QStringLiteral("reminder");
    case AlertChange::Cleared:
        return QStringLiteral("cleared");
    }
    return {};
}

QJsonObject alertRulesJson(const AlertRules& r) {
    return {
        {QStringLiteral("temperature"),
         QJsonObject{{QStringLiteral("warn_low"), optionalNumber(r.warnLow)},
                     {QStringLiteral("warn_high"), optionalNumber(r.warnHigh)},
                     {QStringLiteral("critical_low"), optionalNumber(r.criticalLow)},
                     {QStringLiteral("critical_high"), optionalNumber(r.criticalHigh)},
                     {QStringLiteral("hysteresis"), r.hysteresis},
                     {QStringLiteral("delay"), r.delay}}},
        {QStringLiteral("sensor"), QJsonObject{{QStringLiteral("missing_delay"), r.missingDelay}}},
        {QStringLiteral("board"),
         QJsonObject{{QStringLiteral("unplugged_delay"), r.unpluggedDelay}}},
        {QStringLiteral("voltage"),
         QJsonObject{{QStringLiteral("low"), optionalNumber(r.voltageLow)},
                     {QStringLiteral("delay"), r.voltageDelay}}},
        {QStringLiteral("notify"), QJsonObject{{QStringLiteral("desktop"), r.desktop},
                                               {QStringLiteral("reminder_hours"), r.reminderHours},
                                               {QStringLiteral("command"), r.command}}},
    };
}

QJsonObject alertStatusJson(const AlertStatus& s) {
    return {{QStringLiteral("kind"), alertKindName(s.kind)},
            {QStringLiteral("level"), alertLevelName(s.level)},
            {QStringLiteral("since"), alertTimeText(s.since)},
            {QStringLiteral("value"), optionalNumber(s.value)},
            {QStringLiteral("text"), s.text}};
}

QJsonArray alertStatusesJson(const std::vector<AlertStatus>& statuses) {
    QJsonArray array;
    for (const AlertStatus& s : statuses)
        array.append(alertStatusJson(s));
    return array;
}

std::optional<AlertStatus> alertStatusOf(const QJsonObject& object) {
    const auto kind = alertKindOf(object.value(QStringLiteral("kind")).toString());
    const QString level = object.value(QStringLiteral("level")).toString();
    const QDateTime since =
        QDateTime::fromString(object.value(QStringLiteral("since")).toString(), Qt::ISODate);
    if (!kind || !since.isValid())
        return std::nullopt;
    AlertStatus status;
    status.kind = *kind;
    if (level == alertLevelName(AlertLevel::Critical))
        status.level = AlertLevel::Critical;
    else if (level == alertLevelName(AlertLevel::Warning))
        status.level = AlertLevel::Warning;
    else
        return std::nullopt;
    status.since = since.toMSecsSinceEpoch();
    const QJsonValue value = object.value(QStringLiteral("value"));
    if (value.isDouble())
        status.value = value.toDouble();
    status.text = object.value(QStringLiteral("text")).toString();
    return status;
}

QJsonObject alertsDocument(const AlertRules& rules, const std::vector<AlertStatus>& active,
                           const QJsonArray& recent) {
    return {{QStringLiteral("rules"), alertRulesJson(rules)},
            {QStringLiteral("active"), alertStatusesJson(active)},
            {QStringLiteral("recent"), recent}};
}

QJsonObject alertEventJson(const AlertReport& report) {
    const AlertNotice& n = report.notice;
    return {{QStringLiteral("event"), QStringLiteral("alert")},
            {QStringLiteral("kind"), alertKindName(n.kind)},
            {QStringLiteral("level"), alertLevelName(n.level)},
            {QStringLiteral("change"), alertChangeName(n.change)},
            {QStringLiteral("value"), optionalNumber(n.value)},
            {QStringLiteral("text"), report.text},
            {QStringLiteral("serial"), report.serial},
            {QStringLiteral("since"), alertTimeText(n.since)},
            {QStringLiteral("computerTime"), alertTimeText(n.time)}};
}

} // namespace kv
