// The rules applied over time with readings given by the test: delays,
// hysteresis, warning and critical, reminders, a clean start.
#include "alerts/alert_evaluator.h"

#include <gtest/gtest.h>

namespace kv {
namespace {

constexpr qint64 S = 1000;

AlertRules bands() {
    AlertRules rules;
    rules.warnLow = 24.0;
    rules.warnHigh = 27.0;
    rules.criticalLow = 23.0;
    rules.criticalHigh = 28.5;
    rules.hysteresis = 0.2;
    rules.delay = 60;
    rules.missingDelay = 30;
    rules.unpluggedDelay = 120;
    rules.voltageLow = 11.0;
    rules.voltageDelay = 10;
    rules.reminderHours = 1;
    return rules;
}

AlertReading water(qint64 seconds, double celsius, double volts = 12.0) {
    return {seconds * S, true, celsius, volts};
}

// Steps through readings, one a second from `from` to `to` inclusive, and
// gives every notice.
std::vector<AlertNotice> run(AlertEvaluator& e, qint64 from, qint64 to, double celsius,
                             double volts = 12.0) {
    std::vector<AlertNotice> all;
    for (qint64 t = from; t <= to; ++t)
        for (const AlertNotice& n : e.step(water(t, celsius, volts)))
            all.push_back(n);
    return all;
}

TEST(AlertEvaluator, TemperatureIsRaisedAfterItsDelayAndClearedWithTheHysteresis) {
    AlertEvaluator e(bands());
    EXPECT_TRUE(run(e, 0, 10, 25.0).empty());
    // Outside from 11 s: nothing before 71 s.
    EXPECT_TRUE(run(e, 11, 70, 27.4).empty());
    const auto raised = e.step(water(71, 27.4));
    ASSERT_EQ(raised.size(), 1u);
    EXPECT_EQ(raised[0].kind, AlertKind::Temperature);
    EXPECT_EQ(raised[0].change, AlertChange::Raised);
    EXPECT_EQ(raised[0].level, AlertLevel::Warning);
    EXPECT_EQ(raised[0].since, 71 * S);
    EXPECT_DOUBLE_EQ(*raised[0].value, 27.4);
    // Told once: the value staying out says nothing more.
    EXPECT_TRUE(run(e, 72, 200, 27.3).empty());
    // Inside the band but not by the hysteresis: still active.
    EXPECT_TRUE(run(e, 201, 210, 26.9).empty());
    ASSERT_EQ(e.active().size(), 1u);
    EXPECT_DOUBLE_EQ(*e.active()[0].value, 26.9);
    const auto cleared = e.step(water(211, 26.8));
    ASSERT_EQ(cleared.size(), 1u);
    EXPECT_EQ(cleared[0].change, AlertChange::Cleared);
    EXPECT_EQ(cleared[0].level, AlertLevel::None);
    EXPECT_TRUE(e.active().empty());
}

TEST(AlertEvaluator, ABreakInsideTheBandStartsTheDelayAgain) {
    AlertEvaluator e(bands());
    EXPECT_TRUE(run(e, 0, 50, 23.5).empty());
    EXPECT_TRUE(run(e, 51, 51, 25.0).empty());
    EXPECT_TRUE(run(e, 52, 111, 23.5).empty());
    const auto raised = e.step(water(112, 23.5));
    ASSERT_EQ(raised.size(), 1u);
    EXPECT_EQ(raised[0].level, AlertLevel::Warning);
    // Low side: back inside by the hysteresis is 24.2.
    EXPECT_TRUE(run(e, 113, 120, 24.1).empty());
    EXPECT_EQ(run(e, 121, 121, 24.2).size(), 1u);
}

TEST(AlertEvaluator, WarningGoesToCriticalAndBack) {
    AlertEvaluator e(bands());
    // Straight into the critical band: warning after the delay (outside the
    // warning band as long), then critical after the delay outside the
    // critical band.
    EXPECT_TRUE(run(e, 0, 59, 27.5).empty());
    auto n = e.step(water(60, 28.0));
    ASSERT_EQ(n.size(), 1u);
    EXPECT_EQ(n[0].level, AlertLevel::Warning);
    EXPECT_TRUE(run(e, 61, 120, 29.0).empty());
    n = e.step(water(121, 29.0));
    ASSERT_EQ(n.size(), 1u);
    EXPECT_EQ(n[0].change, AlertChange::Raised);
    EXPECT_EQ(n[0].level, AlertLevel::Critical);
    // The alert stays the one raised at 60 s.
    EXPECT_EQ(n[0].since, 60 * S);
    // Back under 28.5 but not by the hysteresis: still critical.
    EXPECT_TRUE(run(e, 122, 170, 28.4).empty());
    n = e.step(water(171, 28.3));
    ASSERT_EQ(n.size(), 1u);
    EXPECT_EQ(n[0].change, AlertChange::Lowered);
    EXPECT_EQ(n[0].level, AlertLevel::Warning);
    n = e.step(water(172, 25.0));
    ASSERT_EQ(n.size(), 1u);
    EXPECT_EQ(n[0].change, AlertChange::Cleared);
}

TEST(AlertEvaluator, ACriticalAlertIsToldAgainAfterTheReminderTime) {
    AlertRules rules = bands();
    rules.delay = 0;
    rules.reminderHours = 0.01; // 36 s
    AlertEvaluator e(rules);
    auto n = e.step(water(0, 30.0));
    ASSERT_EQ(n.size(), 1u);
    EXPECT_EQ(n[0].level, AlertLevel::Critical);
    EXPECT_TRUE(run(e, 1, 35, 30.0).empty());
    n = e.step(water(36, 30.0));
    ASSERT_EQ(n.size(), 1u);
    EXPECT_EQ(n[0].change, AlertChange::Reminder);
    EXPECT_EQ(n[0].since, 0);
    EXPECT_TRUE(run(e, 37, 71, 30.0).empty());
    EXPECT_EQ(run(e, 72, 72, 30.0).size(), 1u);
    // A warning is never reminded of.
    rules.criticalHigh.reset();
    AlertEvaluator warning(rules);
    EXPECT_EQ(run(warning, 0, 500, 30.0).size(), 1u);
}

TEST(AlertEvaluator, TheSensorIsLostWithoutReadingsAndTheBoardIsGoneWithoutTheBoard) {
    AlertEvaluator e(bands());
    EXPECT_TRUE(run(e, 0, 5, 25.0).empty());
    for (qint64 t = 6; t < 36; ++t)
        EXPECT_TRUE(e.step({t * S, true, std::nullopt, 12.0}).empty());
    auto n = e.step({36 * S, true, std::nullopt, 12.0});
    ASSERT_EQ(n.size(), 1u);
    EXPECT_EQ(n[0].kind, AlertKind::SensorLost);
    EXPECT_EQ(n[0].level, AlertLevel::Warning);
    n = e.step(water(37, 25.0));
    ASSERT_EQ(n.size(), 1u);
    EXPECT_EQ(n[0].kind, AlertKind::SensorLost);
    EXPECT_EQ(n[0].change, AlertChange::Cleared);

    for (qint64 t = 38; t < 158; ++t)
        EXPECT_TRUE(e.step({t * S, false, std::nullopt, std::nullopt}).empty());
    n = e.step({158 * S, false, std::nullopt, std::nullopt});
    ASSERT_EQ(n.size(), 1u);
    EXPECT_EQ(n[0].kind, AlertKind::BoardGone);
    // A board that is gone loses no sensor on top of it.
    EXPECT_TRUE(e.step({400 * S, false, std::nullopt, std::nullopt}).empty());
    n = e.step(water(401, 25.0));
    ASSERT_EQ(n.size(), 1u);
    EXPECT_EQ(n[0].kind, AlertKind::BoardGone);
    EXPECT_EQ(n[0].change, AlertChange::Cleared);
}

TEST(AlertEvaluator, LowVoltageIsRaisedAfterItsDelayAndClearsAboveTheMarkByItsHysteresis) {
    AlertEvaluator e(bands());
    EXPECT_TRUE(run(e, 0, 9, 25.0, 10.9).empty());
    auto n = run(e, 10, 10, 25.0, 10.9);
    ASSERT_EQ(n.size(), 1u);
    EXPECT_EQ(n[0].kind, AlertKind::VoltageLow);
    EXPECT_DOUBLE_EQ(*n[0].value, 10.9);
    EXPECT_TRUE(run(e, 11, 20, 25.0, 11.1).empty());
    n = run(e, 21, 21, 25.0, 11.2);
    ASSERT_EQ(n.size(), 1u);
    EXPECT_EQ(n[0].change, AlertChange::Cleared);
}

TEST(AlertEvaluator, StartsCleanAndRaisesNothingOnTheFirstReadings) {
    AlertEvaluator e(bands());
    // The first poll is far out and the board's voltage low: nothing until
    // each delay ran from it.
    EXPECT_TRUE(e.step(water(1000, 31.0, 9.0)).empty());
    EXPECT_TRUE(e.active().empty());
    EXPECT_TRUE(run(e, 1001, 1009, 31.0, 9.0).empty());
    EXPECT_EQ(run(e, 1010, 1010, 31.0, 9.0).size(), 1u); // the voltage
    e.reset();
    EXPECT_TRUE(e.active().empty());
    EXPECT_TRUE(e.step(water(2000, 31.0, 12.0)).empty());
}

TEST(AlertEvaluator, WithoutBandsOnlyTheSensorAndTheBoardAreWatched) {
    AlertEvaluator e{AlertRules{}};
    EXPECT_TRUE(run(e, 0, 1000, 40.0, 5.0).empty());
    // A band taken away clears its alert at the next reading.
    AlertEvaluator banded(bands());
    ASSERT_EQ(run(banded, 0, 60, 27.5).size(), 1u);
    banded.setRules(AlertRules{});
    const auto n = banded.step(water(61, 27.5));
    ASSERT_EQ(n.size(), 1u);
    EXPECT_EQ(n[0].change, AlertChange::Cleared);
}

TEST(AlertEvaluator, OneSidedBandsWatchTheirSideOnly) {
    AlertRules rules;
    rules.warnHigh = 27.0;
    rules.delay = 0;
    AlertEvaluator e(rules);
    EXPECT_TRUE(e.step(water(0, 10.0)).empty());
    EXPECT_EQ(e.step(water(1, 27.1)).size(), 1u);
}

} // namespace
} // namespace kv
