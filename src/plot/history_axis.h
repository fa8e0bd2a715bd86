#pragma once

#include <QLocale>
#include <QString>
#include <QTimeZone>

#include <vector>

// The time axis of the history picture: ticks on whole hours, days, Mondays,
// months or years of local time, as many as the width holds, for ranges from
// a few hours to years. Times are UTC milliseconds; the ticks follow the
// zone's wall clock, so midnight stays midnight across a daylight-saving
// change.
namespace kv::historyplot {

enum class TickUnit { Hour, Day, Week, Month, Year };

struct TickStep {
    TickUnit unit = TickUnit::Hour;
    int count = 1; // hours, days, weeks, months or years from one tick to the next
    bool operator==(const TickStep&) const = default;
};

// The finest step whose ticks lie far enough apart for their labels on a
// plot of this width (the nominal length of the step decides: a month counts
// as 30.44 days). The coarsest step (a year) when none is.
TickStep tickStep(qint64 from, qint64 to, int plotWidth);

// The ticks of the step within [from, to], oldest first: local midnight, the
// hour a multiple of the count (hours), the day number a multiple of the
// count (days), Mondays (weeks), the first of months whose number less one is
// a multiple of the count (months), the first of January (years).
std::vector<qint64> tickTimes(qint64 from, qint64 to, TickStep step,
                              const QTimeZone& zone = QTimeZone::systemTimeZone());

// A tick's label: "14:00" for hours ("13.05." at midnight), "Mo. 13.05." for
// single days, "13.05." for longer day steps and weeks, the month's short name
// for months ("2027" in January) and the year for years.
QString tickLabel(qint64 tick, TickStep step, const QTimeZone& zone = QTimeZone::systemTimeZone(),
                  const QLocale& locale = QLocale(QLocale::German, QLocale::Germany));

// The range as a heading: "12.05.2026 14:03 – 13.05.2026 14:03".
QString rangeText(qint64 from, qint64 to, const QTimeZone& zone = QTimeZone::systemTimeZone());

} // namespace kv::historyplot
