#include "history/history_store.h"

#include "history/history_buckets.h"
#include "history/history_file.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <algorithm>
#include <map>
#include <set>

namespace kv {

namespace {

using namespace historykeep;

QVariant optional(const std::optional<int>& value) {
    return value ? QVariant(*value) : QVariant(QMetaType(QMetaType::Int));
}

// The number of the minute or hour a time falls into (times are after 1970).
qint64 indexOf(qint64 time, qint64 width) {
    return time / width;
}

// A sample's numbers into a bucket.
void addSample(BucketSums& sums, const QSqlQuery& row, int first) {
    ++sums.samples;
    if (!row.value(first).isNull())
        sums.water.add(row.value(first).toLongLong());
    if (!row.value(first + 1).isNull())
        sums.voltage.add(row.value(first + 1).toLongLong());
    for (int c = 0; c < ChannelCount; ++c)
        sums.levels[std::size_t(c)].add(row.value(first + 2 + c).toLongLong());
    sums.mode = row.value(first + 6).toInt();
    const int activity = row.value(first + 7).toInt();
    sums.clouds += activity & 1;
    sums.storms += (activity >> 1) & 1;
}

const char* const SampleColumns = "water, voltage, w, r, g, b, mode, activity";

// A level of summing up: minutes from samples, hours from minutes.
struct Level {
    const char* table;
    const char* dirty;
    const char* above; // the dirty list of the level above, or null
    qint64 width;      // milliseconds
};
const Level Minutes{"minutes", "dirty_minutes", "dirty_hours", MinuteMs};
const Level Hours{"hours", "dirty_hours", nullptr, HourMs};

// The sums of one bucket from what lies below it: the samples of a minute,
// or the minutes of an hour.
std::optional<BucketSums> sumOf(QSqlDatabase& db, const Level& level, qint64 board, qint64 index) {
    BucketSums sums;
    QSqlQuery rows(db);
    rows.setForwardOnly(true);
    if (&level == &Minutes) {
        rows.prepare(QStringLiteral("SELECT %1 FROM samples WHERE board = ? AND time >= ? AND "
                                    "time < ? ORDER BY time, rowid")
                         .arg(QLatin1String(SampleColumns)));
        rows.addBindValue(board);
        rows.addBindValue(index * MinuteMs);
        rows.addBindValue((index + 1) * MinuteMs);
        if (!rows.exec())
            return std::nullopt;
        while (rows.next())
            addSample(sums, rows, 0);
        return sums;
    }
    const qint64 perHour = HourMs / MinuteMs;
    rows.prepare(QStringLiteral("SELECT data FROM minutes WHERE board = ? AND time >= ? AND time "
                                "< ? ORDER BY time"));
    rows.addBindValue(board);
    rows.addBindValue(index * perHour);
    rows.addBindValue((index + 1) * perHour);
    if (!rows.exec())
        return std::nullopt;
    while (rows.next())
        if (const auto minute = BucketSums::decode(rows.value(0).toByteArray()))
            sums.add(*minute);
    return sums;
}

// Sums up the dirty buckets of a level that are over; false on an error.
bool sumUp(QSqlDatabase& db, const Level& level, qint64 now, int budget, bool& more) {
    QSqlQuery due(db);
    due.prepare(QStringLiteral("SELECT board, time FROM %1 WHERE (time + 1) * %2 + %3 <= ? ORDER "
                               "BY time LIMIT %4")
                    .arg(QLatin1String(level.dirty))
                    .arg(level.width)
                    .arg(SettleMs)
                    .arg(budget + 1));
    due.addBindValue(now);
    if (!due.exec())
        return false;
    std::vector<std::pair<qint64, qint64>> buckets;
    while (due.next())
        buckets.emplace_back(due.value(0).toLongLong(), due.value(1).toLongLong());
    if (int(buckets.size()) > budget) {
        more = true;
        buckets.pop_back();
    }
    for (const auto& [board, index] : buckets) {
        const auto sums = sumOf(db, level, board, index);
        if (!sums)
            return false;
        QSqlQuery write(db);
        if (sums->samples == 0) {
            write.prepare(QStringLiteral("DELETE FROM %1 WHERE board = ? AND time = ?")
                              .arg(QLatin1String(level.table)));
            write.addBindValue(board);
            write.addBindValue(index);
        } else {
            write.prepare(QStringLiteral("INSERT OR REPLACE INTO %1 VALUES (?, ?, ?)")
                              .arg(QLatin1String(level.table)));
            write.addBindValue(board);
            write.addBindValue(index);
            write.addBindValue(sums->encode());
        }
        QSqlQuery clean(db);
        clean.prepare(QStringLiteral("DELETE FROM %1 WHERE board = ? AND time = ?")
                          .arg(QLatin1String(level.dirty)));
        clean.addBindValue(board);
        clean.addBindValue(index);
        if (!write.exec() || !clean.exec())
            return false;
        if (level.above) {
            QSqlQuery mark(db);
            mark.prepare(QStringLiteral("INSERT OR IGNORE INTO %1 VALUES (?, ?)")
                             .arg(QLatin1String(level.above)));
            mark.addBindValue(board);
            mark.addBindValue(index * level.width / HourMs);
            if (!mark.exec())
                return false;
        }
    }
    return true;
}

// Deletes up to limit rows of a table (selected by their key) older than
// the cutoff whose bucket above is not waiting to be summed up.
bool prune(QSqlDatabase& db, const QString& table, const QString& key, qint64 cutoff,
           const QString& keep, int limit, bool& more) {
    QSqlQuery query(db);
    // A key of several columns is a row value outside and a list inside.
    QString columns = key;
    columns.remove(QLatin1Char('(')).remove(QLatin1Char(')'));
    query.prepare(QStringLiteral("DELETE FROM %1 WHERE %2 IN (SELECT %3 FROM %1 t WHERE t.time < "
                                 "? %4 LIMIT %5)")
                      .arg(table, key, columns, keep)
                      .arg(limit));
    query.addBindValue(cutoff);
    if (!query.exec())
        return false;
    if (query.numRowsAffected() >= limit)
        more = true;
    return true;
}

// The buckets of a query, summed from whatever resolutions hold them.
using Buckets = std::map<qint64, BucketSums>;

// Adds the samples in [from, to) to the buckets of width starting at origin.
bool readSamples(QSqlDatabase& db, qint64 board, qint64 origin, qint64 width, qint64 from,
                 qint64 to, Buckets& buckets) {
    QSqlQuery rows(db);
    rows.setForwardOnly(true);
    rows.prepare(QStringLiteral("SELECT time, %1 FROM samples WHERE board = ? AND time >= ? AND "
                                "time < ? ORDER BY time, rowid")
                     .arg(QLatin1String(SampleColumns)));
    rows.addBindValue(board);
    rows.addBindValue(from);
    rows.addBindValue(to);
    if (!rows.exec())
        return false;
    while (rows.next())
        addSample(buckets[(rows.value(0).toLongLong() - origin) / width], rows, 1);
    return true;
}

// Adds the summed-up minutes or hours in [from, to) to the buckets.
bool readSums(QSqlDatabase& db, const Level& level, qint64 board, qint64 origin, qint64 width,
              qint64 from, qint64 to, Buckets& buckets) {
    QSqlQuery rows(db);
    rows.setForwardOnly(true);
    rows.prepare(QStringLiteral("SELECT time, data FROM %1 WHERE board = ? AND time >= ? AND "
                                "time < ? ORDER BY time")
                     .arg(QLatin1String(level.table)));
    rows.addBindValue(board);
    // The buckets that touch the range; one that began before it counts
    // into the first bucket.
    rows.addBindValue(from / level.width);
    rows.addBindValue((to + level.width - 1) / level.width);
    if (!rows.exec())
        return false;
    while (rows.next()) {
        const qint64 start = rows.value(0).toLongLong() * level.width;
        if (const auto sums = BucketSums::decode(rows.value(1).toByteArray()))
            buckets[std::max<qint64>(0, start - origin) / width].add(*sums);
    }
    return true;
}

// Where the summed-up buckets of a level end: the end of its newest one.
std::optional<qint64> summedUntil(QSqlDatabase& db, const Level& level, qint64 board) {
    QSqlQuery query(db);
    query.prepare(
        QStringLiteral("SELECT max(time) FROM %1 WHERE board = ?").arg(QLatin1String(level.table)));
    query.addBindValue(board);
    if (!query.exec() || !query.next() || query.value(0).isNull())
        return std::nullopt;
    return (query.value(0).toLongLong() + 1) * level.width;
}

HistoryPoint pointOf(qint64 time, const BucketSums& sums) {
    HistoryPoint point;
    point.time = time;
    if (sums.water.count > 0) {
        point.water = double(sums.water.sum) / double(sums.water.count) / 10.0;
        point.waterMin = sums.water.min / 10.0;
        point.waterMax = sums.water.max / 10.0;
    }
    if (sums.voltage.count > 0)
        point.voltage = double(sums.voltage.sum) / double(sums.voltage.count) / 100.0;
    for (std::size_t c = 0; c < point.percent.size(); ++c)
        point.percent[c] = double(sums.levels[c].sum) / double(sums.samples) / 40.96;
    point.mode = sums.mode;
    return point;
}

} // namespace

bool writeHistoryBatch(HistoryFile& file, qint64 board, const std::vector<HistorySample>& samples,
                       const std::vector<HistoryEvent>& events, QString* error) {
    QSqlDatabase& db = file.db();
    const auto fail = [&](const QSqlError& why) {
        if (error)
            *error = why.text();
        db.rollback();
        return false;
    };
    if (!db.transaction())
        return fail(db.lastError());
    QSqlQuery sample(db);
    sample.prepare(QStringLiteral("INSERT INTO samples VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    std::set<qint64> minutes;
    for (const HistorySample& s : samples) {
        sample.addBindValue(board);
        sample.addBindValue(s.time);
        sample.addBindValue(optional(s.water));
        sample.addBindValue(optional(s.voltage));
        for (int level : s.levels)
            sample.addBindValue(level);
        sample.addBindValue(s.mode);
        sample.addBindValue(int(s.cloud) | (int(s.storm) << 1));
        if (!sample.exec())
            return fail(sample.lastError());
        minutes.insert(indexOf(s.time, MinuteMs));
    }
    QSqlQuery dirty(db);
    dirty.prepare(QStringLiteral("INSERT OR IGNORE INTO dirty_minutes VALUES (?, ?)"));
    for (qint64 minute : minutes) {
        dirty.addBindValue(board);
        dirty.addBindValue(minute);
        if (!dirty.exec())
            return fail(dirty.lastError());
    }
    QSqlQuery event(db);
    event.prepare(QStringLiteral("INSERT INTO events VALUES (?, ?, ?, ?, ?)"));
    for (const HistoryEvent& e : events) {
        event.addBindValue(board);
        event.addBindValue(e.time);
        // An empty text is a text, never NULL.
        event.addBindValue(e.kind.isNull() ? QStringLiteral("") : e.kind);
        event.addBindValue(e.detail.isNull() ? QStringLiteral("") : e.detail);
        event.addBindValue(e.origin.isNull() ? QStringLiteral("") : e.origin);
        if (!event.exec())
            return fail(event.lastError());
    }
    if (!db.commit())
        return fail(db.lastError());
    return true;
}

bool historyUpkeepStep(HistoryFile& file, qint64 now, int budget) {
    QSqlDatabase& db = file.db();
    if (!db.transaction())
        return false;
    bool more = false;
    const int limit = budget * 50;
    const bool ok =
        sumUp(db, Minutes, now, budget, more) && sumUp(db, Hours, now, budget, more) &&
        prune(db, QStringLiteral("samples"), QStringLiteral("rowid"), now - RawMs,
              QStringLiteral("AND NOT EXISTS (SELECT 1 FROM dirty_minutes d WHERE d.board = "
                             "t.board AND d.time = t.time / %1)")
                  .arg(MinuteMs),
              limit, more) &&
        prune(db, QStringLiteral("minutes"), QStringLiteral("(board, time)"),
              (now - MinutesMs) / MinuteMs,
              QStringLiteral("AND NOT EXISTS (SELECT 1 FROM dirty_hours d WHERE d.board = "
                             "t.board AND d.time = t.time / %1)")
                  .arg(HourMs / MinuteMs),
              limit, more) &&
        prune(db, QStringLiteral("events"), QStringLiteral("rowid"), now - EventsMs, QString(),
              limit, more);
    if (!ok || !db.commit()) {
        db.rollback();
        return false;
    }
    return more;
}

std::vector<HistoryPoint> historyPoints(HistoryFile& file, qint64 board, qint64 from, qint64 to,
                                        int maxPoints, qint64 now) {
    std::vector<HistoryPoint> points;
    if (to <= from || maxPoints < 1 || board < 0)
        return points;
    QSqlDatabase& db = file.db();
    const qint64 width = std::max<qint64>(1, (to - from + maxPoints - 1) / maxPoints);

    // The coarsest resolution not coarser than a bucket, where it is still
    // kept over the whole range.
    enum Resolution { Raw, Minute, Hour } resolution = Raw;
    if (width >= HourMs)
        resolution = Hour;
    else if (width >= MinuteMs)
        resolution = Minute;
    if (resolution == Raw && from < now - RawMs)
        resolution = Minute;
    if (resolution == Minute && from < now - MinutesMs)
        resolution = Hour;

    // What the coarse table holds, then the time after its newest bucket
    // from the finer ones (the minutes and hours not summed up yet).
    Buckets buckets;
    qint64 tail = from;
    bool ok = true;
    if (resolution == Hour) {
        const qint64 end = std::min(to, summedUntil(db, Hours, board).value_or(from));
        ok = readSums(db, Hours, board, from, width, from, end, buckets);
        tail = std::max(from, end);
    }
    if (ok && resolution >= Minute && tail < to) {
        const qint64 end = std::min(to, summedUntil(db, Minutes, board).value_or(tail));
        ok = readSums(db, Minutes, board, from, width, tail, end, buckets);
        tail = std::max(tail, end);
    }
    if (ok && tail < to)
        ok = readSamples(db, board, from, width, tail, to, buckets);
    if (!ok)
        return points;
    for (const auto& [k, sums] : buckets)
        if (sums.samples > 0)
            points.push_back(pointOf(from + k * width, sums));
    return points;
}

std::vector<HistoryEvent> historyEvents(HistoryFile& file, qint64 board, qint64 from, qint64 to) {
    std::vector<HistoryEvent> events;
    QSqlQuery query(file.db());
    query.setForwardOnly(true);
    query.prepare(QStringLiteral("SELECT time, kind, detail, origin FROM events WHERE board = ? "
                                 "AND time >= ? AND time < ? ORDER BY time, rowid"));
    query.addBindValue(board);
    query.addBindValue(from);
    query.addBindValue(to);
    if (!query.exec())
        return events;
    while (query.next())
        events.push_back({query.value(0).toLongLong(), query.value(1).toString(),
                          query.value(2).toString(), query.value(3).toString()});
    return events;
}

qint64 newestBoard(HistoryFile& file) {
    // Raw samples go after two days, minutes after two years; a board with
    // events alone (changes made while nothing recorded) is still a board.
    for (const char* table : {"samples", "minutes", "hours", "events"}) {
        QSqlQuery query(file.db());
        if (query.exec(QStringLiteral("SELECT board FROM %1 ORDER BY time DESC LIMIT 1")
                           .arg(QLatin1String(table))) &&
            query.next())
            return query.value(0).toLongLong();
    }
    return -1;
}

} // namespace kv
