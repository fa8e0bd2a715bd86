#pragma once

#include <QString>

#include <array>
#include <optional>

namespace kv {

// What an alert is about.
enum class AlertKind {
    Temperature, // the water left its band (warning or critical)
    SensorLost,  // the board gives no water temperature
    BoardGone,   // the board left the bus
    VoltageLow,  // the board's input voltage is low
};

inline constexpr std::array<AlertKind, 4> AllAlertKinds = {
    AlertKind::Temperature, AlertKind::SensorLost, AlertKind::BoardGone, AlertKind::VoltageLow};

// How bad an alert is; None is no alert.
enum class AlertLevel { None, Warning, Critical };

// What happened to an alert when it is told.
enum class AlertChange {
    Raised,   // newly active, or worse than before (warning to critical)
    Lowered,  // still active, less bad (critical to warning)
    Reminder, // a critical alert still active, told again
    Cleared,  // no longer active
};

// The words of files, JSON and the command's environment:
// "temperature", "sensor_lost", "board_gone", "voltage_low".
QString alertKindName(AlertKind kind);
std::optional<AlertKind> alertKindOf(const QString& name);
// "warning", "critical"; "cleared" for None.
QString alertLevelName(AlertLevel level);

} // namespace kv
