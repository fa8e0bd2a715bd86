#include "alerts/alert_kind.h"

namespace kv {

QString alertKindName(AlertKind kind) {
    switch (kind) {
    case AlertKind::Temperature:
        return QStringLiteral("temperature");
    case AlertKind::SensorLost:
        return QStringLiteral("sensor_lost");
    case AlertKind::BoardGone:
        return QStringLiteral("board_gone");
    case AlertKind::VoltageLow:
        return QStringLiteral("voltage_low");
    }
    return {};
}

std::optional<AlertKind> alertKindOf(const QString& name) {
    for (AlertKind kind : AllAlertKinds)
        if (alertKindName(kind) == name)
            return kind;
    return std::nullopt;
}

QString alertLevelName(AlertLevel level) {
    switch (level) {
    case AlertLevel::Warning:
        return QStringLiteral("warning");
    case AlertLevel::Critical:
        return QStringLiteral("critical");
    case AlertLevel::None:
        break;
    }
    return QStringLiteral("cleared");
}

} // namespace kv
