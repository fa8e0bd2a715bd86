#include "alerts/alert_texts.h"

#include "text/text_catalogue.h"

#include <QDateTime>

namespace kv {

namespace {

QString clockText(qint64 utcMs) {
    return QDateTime::fromMSecsSinceEpoch(utcMs).toString(QStringLiteral("HH:mm"));
}

// The band an alert of this level is about: "24,0 bis 27,0 °C", "über
// 27,0 °C" or "unter 24,0 °C".
QString bandText(const std::optional<double>& low, const std::optional<double>& high) {
    if (low && high)
        return MsgFmt(QStringLiteral("AlertBandBetween"),
                      {alertValueText(*low), alertValueText(*high)});
    if (high)
        return MsgFmt(QStringLiteral("AlertBandAtMost"), {alertValueText(*high)});
    if (low)
        return MsgFmt(QStringLiteral("AlertBandAtLeast"), {alertValueText(*low)});
    return {};
}

QString temperatureBand(AlertLevel level, const AlertRules& rules) {
    return level == AlertLevel::Critical ? bandText(rules.criticalLow, rules.criticalHigh)
                                         : bandText(rules.warnLow, rules.warnHigh);
}

QString valueOr(const std::optional<double>& value) {
    return value ? alertValueText(*value) : QStringLiteral("-");
}

QString raisedText(AlertKind kind, AlertLevel level, const std::optional<double>& value,
                   qint64 since, const AlertRules& rules, const QString& serial) {
    switch (kind) {
    case AlertKind::Temperature:
        return MsgFmt(level == AlertLevel::Critical ? QStringLiteral("AlertTextTemperatureCritical")
                                                    : QStringLiteral("AlertTextTemperatureWarning"),
                      {valueOr(value), temperatureBand(level, rules), clockText(since)});
    case AlertKind::SensorLost:
        return MsgFmt(QStringLiteral("AlertTextSensorLost"), {clockText(since)});
    case AlertKind::BoardGone:
        return MsgFmt(QStringLiteral("AlertTextBoardGone"), {serial, clockText(since)});
    case AlertKind::VoltageLow:
        return MsgFmt(
            QStringLiteral("AlertTextVoltageLow"),
            {valueOr(value), alertValueText(rules.voltageLow.value_or(0)), clockText(since)});
    }
    return {};
}

QString clearedText(const AlertNotice& n, const AlertRules& rules, const QString& serial) {
    switch (n.kind) {
    case AlertKind::Temperature:
        return MsgFmt(QStringLiteral("AlertTextTemperatureCleared"),
                      {valueOr(n.value), clockText(n.time)});
    case AlertKind::SensorLost:
        return MsgFmt(QStringLiteral("AlertTextSensorBack"), {clockText(n.time)});
    case AlertKind::BoardGone:
        return MsgFmt(QStringLiteral("AlertTextBoardBack"), {serial, clockText(n.time)});
    case AlertKind::VoltageLow:
        return MsgFmt(QStringLiteral("AlertTextVoltageBack"),
                      {valueOr(n.value), clockText(n.time)});
    }
    Q_UNUSED(rules);
    return {};
}

} // namespace

QString alertValueText(double value) {
    return QString::number(value, 'f', 1).replace(QLatin1Char('.'), QLatin1Char(','));
}

QString alertSummary(const AlertNotice& notice) {
    if (notice.change == AlertChange::Cleared)
        return Msg(QStringLiteral("AlertSummaryCleared"));
    switch (notice.kind) {
    case AlertKind::Temperature:
        return Msg(notice.level == AlertLevel::Critical
                       ? QStringLiteral("AlertSummaryTemperatureCritical")
                       : QStringLiteral("AlertSummaryTemperatureWarning"));
    case AlertKind::SensorLost:
        return Msg(QStringLiteral("AlertSummarySensorLost"));
    case AlertKind::BoardGone:
        return Msg(QStringLiteral("AlertSummaryBoardGone"));
    case AlertKind::VoltageLow:
        return Msg(QStringLiteral("AlertSummaryVoltageLow"));
    }
    return {};
}

QString alertText(const AlertNotice& notice, const AlertRules& rules, const QString& serial) {
    if (notice.change == AlertChange::Cleared)
        return clearedText(notice, rules, serial);
    const QString text =
        raisedText(notice.kind, notice.level, notice.value, notice.since, rules, serial);
    return notice.change == AlertChange::Reminder
               ? MsgFmt(QStringLiteral("AlertTextReminder"), {text})
               : text;
}

QString activeAlertText(const ActiveAlert& alert, const AlertRules& rules, const QString& serial) {
    return raisedText(alert.kind, alert.level, alert.value, alert.since, rules, serial);
}

} // namespace kv
