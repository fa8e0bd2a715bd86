#pragma once

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

#include <optional>

namespace kv {

// The rules of alerts.ini. A temperature bound or the low voltage left out
// is off: tanks run anywhere from 18 °C to 30 °C, so only the keeper sets
// the bands. Delays are seconds.
struct AlertRules {
    std::optional<double> warnLow;      // °C
    std::optional<double> warnHigh;     // °C
    std::optional<double> criticalLow;  // °C
    std::optional<double> criticalHigh; // °C
    double hysteresis = 0.2;            // °C back inside a band before it clears
    double delay = 60;                  // seconds outside before an alert is raised
    double missingDelay = 60;           // seconds without a reading: sensor lost
    double unpluggedDelay = 120;        // seconds without the board: board gone
    std::optional<double> voltageLow;   // V
    double voltageDelay = 60;
    bool desktop = true;
    double reminderHours = 6; // a critical alert still active is told again; 0: never
    QString command;          // run on every raise and clear; empty: none

    bool temperatureOn() const { return warnLow || warnHigh || criticalLow || criticalHigh; }
    bool operator==(const AlertRules&) const = default;
};

// The voltage must rise this far above its low mark before its alert clears.
inline constexpr double VoltageHysteresis = 0.2;

// One wrong key: the keys it names ("temperature.warn_low") and the German
// line that tells it.
struct AlertRuleProblem {
    QStringList keys;
    QString text;
};

// The values of a rules file as written, by "section.key".
using AlertRuleValues = QMap<QString, QString>;

// Every key a rules file may hold, in the file's order.
const QStringList& alertRuleKeys();

// The rules of these values. Each wrong key is one problem and is left out;
// the rest still work.
AlertRules alertRulesOf(const AlertRuleValues& values, QList<AlertRuleProblem>* problems);

// The rules file: $XDG_CONFIG_HOME/kestvelqor/alerts.ini.
QString defaultAlertRulesPath();

struct AlertRulesFile {
    bool exists = false;
    AlertRuleValues values;
    AlertRules rules;
    QList<AlertRuleProblem> problems;
};

// Reads the file (QSettings' INI format). A missing file has the defaults:
// only "sensor lost" and "board gone" are on.
AlertRulesFile readAlertRules(const QString& path);

// Changes keys ("temperature.warn_high" = "27.5") of the file. Every value
// is checked first: when one is wrong the problems are given and the file is
// left as it was. The file is replaced at once (a new file renamed over it),
// so a process watching it never reads half of it. An empty value removes
// the key; the file's unknown keys are left out.
bool changeAlertRules(const QString& path, const AlertRuleValues& changes,
                      QList<AlertRuleProblem>* problems);

// Writes these values as the whole file, the same way.
bool writeAlertRules(const QString& path, const AlertRuleValues& values, QString* error);

} // namespace kv
