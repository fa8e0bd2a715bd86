#include "geo/time_zone_source.h"

#include <QDateTime>
#include <optional>

namespace kv {

namespace {

struct Switch {
    QDateTime localBefore; // wall-clock time just before the switch, as UTC fields
    int offsetAfter = 0;   // seconds east of UTC
};

sunmoon::TransitionRule ruleOf(const Switch& s) {
    const QDate date = s.localBefore.date();
    const QTime time = s.localBefore.time();
    sunmoon::TransitionRule rule;
    rule.month = date.month();
    // A switch in the last seven days of the month is "the last" such weekday.
    rule.week = date.day() > date.daysInMonth() - 7 ? 5 : (date.day() - 1) / 7 + 1;
    rule.dayOfWeek = date.dayOfWeek() % 7; // Qt counts Monday 1 … Sunday 7
    rule.hour = time.hour();
    rule.minute = time.minute();
    rule.second = time.second();
    rule.millisecond = time.msec();
    return rule;
}

} // namespace

sunmoon::TimeZoneRules timeZoneRules(const QTimeZone& zone, int year) {
    sunmoon::TimeZoneRules rules;
    if (!zone.isValid())
        return rules;
    const QDateTime from(QDate(year, 1, 1), QTime(0, 0), Qt::UTC);
    const QDateTime to(QDate(year + 1, 1, 1), QTime(0, 0), Qt::UTC);

    // The first switch forward (into daylight time) and back of the year. The
    // direction of the offset decides, not the zone's daylight flag, so that a
    // zone whose data calls winter time the "daylight" one still comes out
    // right.
    std::optional<Switch> forward;
    std::optional<Switch> back;
    for (const QTimeZone::OffsetData& t : zone.transitions(from, to.addMSecs(-1))) {
        const int before = zone.offsetFromUtc(t.atUtc.addSecs(-1));
        const Switch s{t.atUtc.addSecs(before), t.offsetFromUtc};
        if (t.offsetFromUtc > before && !forward)
            forward = s;
        else if (t.offsetFromUtc < before && !back)
            back = s;
    }

    if (!forward || !back) {
        rules.bias = -zone.offsetFromUtc(to.addSecs(-1)) / 60;
        return rules;
    }
    rules.bias = -back->offsetAfter / 60;
    rules.standardDate = ruleOf(*back);
    rules.daylightDate = ruleOf(*forward);
    rules.daylightBias = -(forward->offsetAfter - back->offsetAfter) / 60;
    return rules;
}

} // namespace kv
