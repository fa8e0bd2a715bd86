#include "alerts/alert_evaluator.h"

#include <algorithm>
#include <cmath>

namespace kv {

namespace {

bool outside(double value, const std::optional<double>& low, const std::optional<double>& high) {
    return (low && value < *low) || (high && value > *high);
}

// Readings come in tenths: a value on the mark is on it, whatever the
// rounding of the sum.
constexpr double Tolerance = 1e-9;

// Back inside the band by the hysteresis.
bool insideBy(double value, const std::optional<double>& low, const std::optional<double>& high,
              double margin) {
    return (!low || value >= *low + margin - Tolerance) &&
           (!high || value <= *high - margin + Tolerance);
}

qint64 milliseconds(double seconds) {
    return qint64(std::llround(seconds * 1000.0));
}

} // namespace

AlertLevel AlertEvaluator::temperatureLevel(double water, AlertLevel current) const {
    const double h = rules_.hysteresis;
    const bool critical = current == AlertLevel::Critical
                              ? !insideBy(water, rules_.criticalLow, rules_.criticalHigh, h)
                              : outside(water, rules_.criticalLow, rules_.criticalHigh);
    if ((rules_.criticalLow || rules_.criticalHigh) && critical)
        return AlertLevel::Critical;
    const bool warning = current != AlertLevel::None
                             ? !insideBy(water, rules_.warnLow, rules_.warnHigh, h)
                             : outside(water, rules_.warnLow, rules_.warnHigh);
    return (rules_.warnLow || rules_.warnHigh) && warning ? AlertLevel::Warning : AlertLevel::None;
}

AlertLevel AlertEvaluator::voltageLevel(double voltage, AlertLevel current) const {
    if (!rules_.voltageLow)
        return AlertLevel::None;
    const double mark = *rules_.voltageLow + (current == AlertLevel::None ? 0 : VoltageHysteresis);
    return voltage < mark - Tolerance ? AlertLevel::Warning : AlertLevel::None;
}

void AlertEvaluator::hold(State& state) {
    state.warningSince.reset();
    state.criticalSince.reset();
}

void AlertEvaluator::advance(AlertKind kind, AlertLevel observed, std::optional<double> value,
                             double delay, qint64 now, std::vector<AlertNotice>& notices) {
    State& s = states_[std::size_t(kind)];
    if (observed >= AlertLevel::Warning) {
        if (!s.warningSince)
            s.warningSince = now;
    } else {
        s.warningSince.reset();
    }
    if (observed == AlertLevel::Critical) {
        if (!s.criticalSince)
            s.criticalSince = now;
    } else {
        s.criticalSince.reset();
    }
    if (s.level != AlertLevel::None)
        s.value = value;

    const qint64 wait = milliseconds(delay);
    AlertLevel next = s.level;
    if (observed < s.level) {
        // Back inside (the hysteresis is in the observed level): at once.
        next = observed;
    } else if (s.criticalSince && now - *s.criticalSince >= wait) {
        next = AlertLevel::Critical;
    } else if (s.warningSince && now - *s.warningSince >= wait) {
        next = std::max(s.level, AlertLevel::Warning);
    }

    AlertNotice notice{kind, AlertChange::Raised, next, value, now, s.since};
    if (next != s.level) {
        if (next == AlertLevel::None) {
            notice.change = AlertChange::Cleared;
        } else if (next < s.level) {
            notice.change = AlertChange::Lowered;
        } else if (s.level == AlertLevel::None) {
            s.since = now;
            notice.since = now;
        }
        s.level = next;
        s.value = next == AlertLevel::None ? std::nullopt : value;
        s.toldAt = now;
        notices.push_back(notice);
        return;
    }
    const qint64 reminder = milliseconds(rules_.reminderHours * 3600.0);
    if (s.level == AlertLevel::Critical && reminder > 0 && now - s.toldAt >= reminder) {
        notice.change = AlertChange::Reminder;
        s.toldAt = now;
        notices.push_back(notice);
    }
}

std::vector<AlertNotice> AlertEvaluator::step(const AlertReading& r) {
    std::vector<AlertNotice> notices;
    const auto state = [this](AlertKind kind) -> State& {
        return states_[std::size_t(kind)];
    };

    // Temperature: needs the board, the sensor and a band.
    State& temperature = state(AlertKind::Temperature);
    if (!rules_.temperatureOn()) {
        advance(AlertKind::Temperature, AlertLevel::None, std::nullopt, rules_.delay, r.time,
                notices);
    } else if (r.boardPresent && r.water) {
        advance(AlertKind::Temperature, temperatureLevel(*r.water, temperature.level), r.water,
                rules_.delay, r.time, notices);
    } else {
        hold(temperature);
    }

    // The sensor: a board that reads no water temperature.
    if (r.boardPresent)
        advance(AlertKind::SensorLost, r.water ? AlertLevel::None : AlertLevel::Warning,
                std::nullopt, rules_.missingDelay, r.time, notices);
    else
        hold(state(AlertKind::SensorLost));

    advance(AlertKind::BoardGone, r.boardPresent ? AlertLevel::None : AlertLevel::Warning,
            std::nullopt, rules_.unpluggedDelay, r.time, notices);

    State& voltage = state(AlertKind::VoltageLow);
    if (!rules_.voltageLow) {
        advance(AlertKind::VoltageLow, AlertLevel::None, std::nullopt, rules_.voltageDelay, r.time,
                notices);
    } else if (r.boardPresent && r.voltage) {
        advance(AlertKind::VoltageLow, voltageLevel(*r.voltage, voltage.level), r.voltage,
                rules_.voltageDelay, r.time, notices);
    } else {
        hold(voltage);
    }
    return notices;
}

void AlertEvaluator::reset() {
    states_ = {};
}

std::vector<ActiveAlert> AlertEvaluator::active() const {
    std::vector<ActiveAlert> result;
    for (AlertKind kind : AllAlertKinds) {
        const State& s = states_[std::size_t(kind)];
        if (s.level != AlertLevel::None)
            result.push_back({kind, s.level, s.value, s.since, s.toldAt});
    }
    return result;
}

} // namespace kv
