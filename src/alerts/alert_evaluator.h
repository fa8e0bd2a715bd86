#pragma once

#include "alerts/alert_kind.h"
#include "alerts/alert_rules.h"

#include <QtGlobal>

#include <array>
#include <optional>
#include <vector>

namespace kv {

// What the evaluator is given at a moment: whether the board is there, and
// what it read (none: no reading, the sensor is missing or the voltage
// unknown). Times are milliseconds of any steady clock.
struct AlertReading {
    qint64 time = 0;
    bool boardPresent = false;
    std::optional<double> water;   // °C
    std::optional<double> voltage; // V
};

// One raise, change or clear, as it is told.
struct AlertNotice {
    AlertKind kind = AlertKind::Temperature;
    AlertChange change = AlertChange::Raised;
    AlertLevel level = AlertLevel::None; // None when cleared
    std::optional<double> value;         // °C or V; none for the sensor and the board
    qint64 time = 0;                     // when it is told
    qint64 since = 0;                    // when the alert became active
};

// An alert that is active now.
struct ActiveAlert {
    AlertKind kind = AlertKind::Temperature;
    AlertLevel level = AlertLevel::Warning;
    std::optional<double> value; // the latest
    qint64 since = 0;            // raised
    qint64 toldAt = 0;           // last told (raise, change or reminder)
};

// The rules applied to readings over time: pure logic, the time is the
// reading's.
//
// An alert is raised when its condition held for its delay without a break,
// and cleared at once when the value is back inside its band by the
// hysteresis. The temperature goes from warning to critical (a raise, after
// the delay outside the critical band) and back (told as well). A critical
// alert still active is told again every reminder_hours. The evaluator
// starts clean: nothing is active and nothing is raised before a delay
// passed from the first reading.
class AlertEvaluator {
public:
    explicit AlertEvaluator(AlertRules rules = {}) : rules_(std::move(rules)) {}

    // New rules take effect at the next reading; an alert whose rule is now
    // off is cleared then.
    void setRules(const AlertRules& rules) { rules_ = rules; }
    const AlertRules& rules() const { return rules_; }

    // The notices of this moment, in the order of the kinds.
    std::vector<AlertNotice> step(const AlertReading& reading);
    // Forgets everything, as at start.
    void reset();

    // The active alerts, in the order of the kinds.
    std::vector<ActiveAlert> active() const;

private:
    struct State {
        AlertLevel level = AlertLevel::None;
        std::optional<double> value;
        qint64 since = 0;
        qint64 toldAt = 0;
        // When the condition of each level began to hold, without a break.
        std::optional<qint64> warningSince;
        std::optional<qint64> criticalSince;
    };

    // The level the readings call for now, and the moment each level's
    // condition holds from; the state's level decides whether leaving a band
    // needs the hysteresis.
    AlertLevel temperatureLevel(double water, AlertLevel current) const;
    AlertLevel voltageLevel(double voltage, AlertLevel current) const;
    // Moves a state to what the observed level calls for after its delay.
    void advance(AlertKind kind, AlertLevel observed, std::optional<double> value, double delay,
                 qint64 now, std::vector<AlertNotice>& notices);
    // Holds the state where it is, its timers stopped (nothing is known).
    static void hold(State& state);

    AlertRules rules_;
    std::array<State, 4> states_{};
};

} // namespace kv
