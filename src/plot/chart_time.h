#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>

#include <cstdint>
#include <vector>

namespace kv {
struct InfoBlock;
}

// The time axis of the chart. Times are local wall-clock times counted in
// milliseconds from 30 December 1899, 00:00 (whole days fall on midnight), so
// the axis has no daylight-saving jumps and sample times are exact.
namespace kv::chart {

inline constexpr qint64 MsPerMinute = 60 * 1000;
inline constexpr qint64 MsPerDay = 24 * 60 * MsPerMinute;
// The chart holds 40 samples: 39 intervals from the oldest to the newest.
inline constexpr int Intervals = 39;

qint64 chartTime(const QDateTime& local);
QDateTime dateTimeOf(qint64 chartTime);

// The moment the chart ends at: today's date (from the computer) with the
// board's time of day; the computer's time when the board's time of day is
// no valid time. Hundredths count as tens of milliseconds (100 as 990 ms).
qint64 boardNow(const InfoBlock& info, const QDateTime& computer);

// The time of the newest sample: the moment rounded down to a whole number of
// recording intervals (minutes, at least 1).
qint64 newestSampleTime(qint64 moment, int intervalMinutes);

// The span from the oldest to the newest sample.
inline qint64 spanMs(int intervalMinutes) {
    return Intervals * intervalMinutes * MsPerMinute;
}

// The distance between two time ticks for a span: 15 minutes up to two
// hours, 30 minutes up to four, an hour up to eight, four hours up to a day,
// a day beyond.
qint64 tickSpacingMs(qint64 span);

// The ticks going back from the newest sample: the first on a whole multiple
// of the spacing at or before it, then one spacing each, at most 10.
std::vector<qint64> timeTicks(qint64 newest, qint64 spacing);

// A tick's label: the short date at midnight, the short time otherwise.
QString tickText(qint64 tick, const QLocale& locale = QLocale());

} // namespace kv::chart
