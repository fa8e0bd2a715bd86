#include "plot/chart_time.h"

#include "device/records/info_block.h"

#include <algorithm>

namespace kv::chart {

namespace {

const QDate Epoch(1899, 12, 30);

qint64 floorToMultiple(qint64 value, qint64 step) {
    qint64 q = value / step;
    if (value % step != 0 && value < 0)
        --q;
    return q * step;
}

} // namespace

qint64 chartTime(const QDateTime& local) {
    return Epoch.daysTo(local.date()) * MsPerDay + local.time().msecsSinceStartOfDay();
}

QDateTime dateTimeOf(qint64 time) {
    const qint64 day = floorToMultiple(time, MsPerDay);
    return QDateTime(Epoch.addDays(day / MsPerDay),
                     QTime::fromMSecsSinceStartOfDay(int(time - day)));
}

qint64 boardNow(const InfoBlock& info, const QDateTime& computer) {
    const QTime boardTime(info.Hour, info.Minute, info.Second,
                          std::min<int>(info.Hundredths, 99) * 10);
    if (!boardTime.isValid())
        return chartTime(computer);
    return chartTime(QDateTime(computer.date(), boardTime));
}

qint64 newestSampleTime(qint64 moment, int intervalMinutes) {
    return floorToMultiple(moment, std::max(intervalMinutes, 1) * MsPerMinute);
}

qint64 tickSpacingMs(qint64 span) {
    const qint64 minutes = span / MsPerMinute;
    if (minutes <= 120)
        return 15 * MsPerMinute;
    if (minutes <= 240)
        return 30 * MsPerMinute;
    if (minutes <= 480)
        return 60 * MsPerMinute;
    if (minutes <= 1440)
        return 4 * 60 * MsPerMinute;
    return MsPerDay;
}

std::vector<qint64> timeTicks(qint64 newest, qint64 spacing) {
    constexpr int MaxTicks = 10;
    std::vector<qint64> ticks;
    const qint64 first = floorToMultiple(newest, spacing);
    for (int i = 0; i < MaxTicks; ++i)
        ticks.push_back(first - i * spacing);
    return ticks;
}

QString tickText(qint64 tick, const QLocale& locale) {
    const QDateTime when = dateTimeOf(tick);
    if (when.time() == QTime(0, 0))
        return locale.toString(when.date(), QLocale::ShortFormat);
    return locale.toString(when.time(), QLocale::ShortFormat);
}

} // namespace kv::chart
