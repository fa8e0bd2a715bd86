#include "plot/history_axis.h"

#include <QDateTime>

#include <algorithm>
#include <array>

namespace kv::historyplot {

namespace {

constexpr qint64 HourMs = 3600 * 1000;
constexpr qint64 DayMs = 24 * HourMs;

struct StepChoice {
    TickStep step;
    qint64 nominalMs;
    int minSpacing; // pixels between two ticks that their labels need
};

// From the finest to the coarsest. Half days are left out: beyond six hours
// the days themselves read better.
constexpr std::array<StepChoice, 12> Steps{{
    {{TickUnit::Hour, 1}, HourMs, 56},
    {{TickUnit::Hour, 2}, 2 * HourMs, 56},
    {{TickUnit::Hour, 3}, 3 * HourMs, 56},
    {{TickUnit::Hour, 6}, 6 * HourMs, 56},
    {{TickUnit::Day, 1}, DayMs, 76},
    {{TickUnit::Day, 2}, 2 * DayMs, 52},
    {{TickUnit::Week, 1}, 7 * DayMs, 52},
    {{TickUnit::Month, 1}, 2630016000, 48}, // 30.44 days
    {{TickUnit::Month, 2}, 2 * 2630016000LL, 48},
    {{TickUnit::Month, 3}, 3 * 2630016000LL, 48},
    {{TickUnit::Month, 6}, 6 * 2630016000LL, 48},
    {{TickUnit::Year, 1}, 31557600000, 40}, // 365.25 days
}};

qint64 msOf(const QDate& date, int hour, const QTimeZone& zone) {
    return QDateTime(date, QTime(hour, 0), zone).toMSecsSinceEpoch();
}

QDate localDate(qint64 time, const QTimeZone& zone) {
    return QDateTime::fromMSecsSinceEpoch(time, zone).date();
}

} // namespace

TickStep tickStep(qint64 from, qint64 to, int plotWidth) {
    if (to <= from || plotWidth <= 0)
        return Steps.back().step;
    for (const StepChoice& choice : Steps) {
        const double pixels = double(plotWidth) * double(choice.nominalMs) / double(to - from);
        if (pixels >= choice.minSpacing)
            return choice.step;
    }
    return Steps.back().step;
}

std::vector<qint64> tickTimes(qint64 from, qint64 to, TickStep step, const QTimeZone& zone) {
    std::vector<qint64> ticks;
    if (to < from || step.count < 1)
        return ticks;
    const QDate first = localDate(from, zone).addDays(-1);
    const QDate last = localDate(to, zone).addDays(1);
    const auto keep = [&](qint64 tick) {
        if (tick >= from && tick <= to)
            ticks.push_back(tick);
    };
    switch (step.unit) {
    case TickUnit::Hour:
        for (QDate day = first; day <= last; day = day.addDays(1))
            for (int hour = 0; hour < 24; hour += step.count)
                keep(msOf(day, hour, zone));
        break;
    case TickUnit::Day:
        for (QDate day = first; day <= last; day = day.addDays(1))
            if (day.toJulianDay() % step.count == 0)
                keep(msOf(day, 0, zone));
        break;
    case TickUnit::Week:
        for (QDate day = first; day <= last; day = day.addDays(1))
            if (day.dayOfWeek() == Qt::Monday)
                keep(msOf(day, 0, zone));
        break;
    case TickUnit::Month:
        for (QDate month(first.year(), first.month(), 1); month <= last; month = month.addMonths(1))
            if ((month.month() - 1) % step.count == 0)
                keep(msOf(month, 0, zone));
        break;
    case TickUnit::Year:
        for (int year = first.year(); year <= last.year(); year += step.count)
            keep(msOf(QDate(year, 1, 1), 0, zone));
        break;
    }
    // An hour that a daylight-saving change skips falls on the next one.
    std::sort(ticks.begin(), ticks.end());
    ticks.erase(std::unique(ticks.begin(), ticks.end()), ticks.end());
    return ticks;
}

QString tickLabel(qint64 tick, TickStep step, const QTimeZone& zone, const QLocale& locale) {
    const QDateTime when = QDateTime::fromMSecsSinceEpoch(tick, zone);
    switch (step.unit) {
    case TickUnit::Hour:
        if (when.time() == QTime(0, 0))
            return locale.toString(when.date(), QStringLiteral("dd.MM."));
        return locale.toString(when.time(), QStringLiteral("HH:mm"));
    case TickUnit::Day:
        if (step.count == 1)
            return locale.toString(when.date(), QStringLiteral("ddd dd.MM."));
        return locale.toString(when.date(), QStringLiteral("dd.MM."));
    case TickUnit::Week:
        return locale.toString(when.date(), QStringLiteral("dd.MM."));
    case TickUnit::Month:
        if (when.date().month() == 1)
            return locale.toString(when.date(), QStringLiteral("yyyy"));
        return locale.toString(when.date(), QStringLiteral("MMM"));
    case TickUnit::Year:
        break;
    }
    return locale.toString(when.date(), QStringLiteral("yyyy"));
}

QString rangeText(qint64 from, qint64 to, const QTimeZone& zone) {
    const QString format = QStringLiteral("dd.MM.yyyy HH:mm");
    return QDateTime::fromMSecsSinceEpoch(from, zone).toString(format) + QString::fromUtf8(" – ") +
           QDateTime::fromMSecsSinceEpoch(to, zone).toString(format);
}

} // namespace kv::historyplot
