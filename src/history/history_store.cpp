#include "history/history_store.h"

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

qint64 floorTo(qint64 time, qint64 width) {
    return time - ((time % width) + width) % width;
}

// The columns of a summed-up table from the rows of the table below it: the
// samples for minutes, the minutes for hours.
const char* const MinuteColumns =
    "count(*), count(water), min(water), max(water), sum(water), "
    "count(voltage), min(voltage), max(voltage), sum(voltage), "
    "min(w), max(w), sum(w), min(r), max(r), sum(r), min(g), max(g), sum(g), "
    "min(b), max(b), sum(b), "
    "(SELECT mode FROM samples l WHERE l.board = :board AND l.time >= :from AND l.time < :to "
    "ORDER BY l.time DESC, l.rowid DESC LIMIT 1), "
    "sum(activity & 1), sum((activity >> 1) & 1)";
const char* const HourColumns =
    "sum(n), sum(water_n), min(water_min), max(water_max), sum(water_sum), "
    "sum(volt_n), min(volt_min), max(volt_max), sum(volt_sum), "
    "min(w_min), max(w_max), sum(w_sum), min(r_min), max(r_max), sum(r_sum), "
    "min(g_min), max(g_max), sum(g_sum), min(b_min), max(b_max), sum(b_sum), "
    "(SELECT mode FROM minutes l WHERE l.board = :board AND l.time >= :from AND l.time < :to "
    "ORDER BY l.time DESC LIMIT 1), "
    "sum(clouds), sum(storms)";

struct Level {
    const char* table;
    const char* source;  // the table it is summed up from
    const char* columns; // its columns from the source's rows
    const char* dirty;   // its dirty list
    const char* above;   // the dirty list of the level above, or null
    qint64 width;
};
const Level Minutes{"minutes", "samples", MinuteColumns, "dirty_minutes", "dirty_hours", MinuteMs};
const Level Hours{"hours", "minutes", HourColumns, "dirty_hours", nullptr, HourMs};

// Sums up the dirty buckets of a level that are over; false on an error.
bool sumUp(QSqlDatabase& db, const Level& level, qint64 now, int budget, bool& more) {
    QSqlQuery due(db);
    due.prepare(QStringLiteral("SELECT board, time FROM %1 WHERE time + %2 <= ? ORDER BY time "
                               "LIMIT %3")
                    .arg(QLatin1String(level.dirty))
                    .arg(level.width + SettleMs)
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
    for (const auto& [board, start] : buckets) {
        QSqlQuery count(db);
        count.prepare(QStringLiteral("SELECT count(*) FROM %1 WHERE board = ? AND time >= ? AND "
                                     "time < ?")
                          .arg(QLatin1String(level.source)));
        count.addBindValue(board);
        count.addBindValue(start);
        count.addBindValue(start + level.width);
        if (!count.exec() || !count.next())
            return false;
        QSqlQuery write(db);
        if (count.value(0).toLongLong() == 0) {
            write.prepare(QStringLiteral("DELETE FROM %1 WHERE board = :board AND time = :from")
                              .arg(QLatin1String(level.table)));
        } else {
            write.prepare(QStringLiteral("INSERT OR REPLACE INTO %1 SELECT :board, :from, %2 FROM "
                                         "%3 WHERE board = :board AND time >= :from AND time < :to")
                              .arg(QLatin1String(level.table), QLatin1String(level.columns),
                                   QLatin1String(level.source)));
            write.bindValue(QStringLiteral(":to"), start + level.width);
        }
        write.bindValue(QStringLiteral(":board"), board);
        write.bindValue(QStringLiteral(":from"), start);
        if (!write.exec())
            return false;
        QSqlQuery clean(db);
        clean.prepare(QStringLiteral("DELETE FROM %1 WHERE board = ? AND time = ?")
                          .arg(QLatin1String(level.dirty)));
        clean.addBindValue(board);
        clean.addBindValue(start);
        if (!clean.exec())
            return false;
        if (level.above) {
            QSqlQuery mark(db);
            mark.prepare(QStringLiteral("INSERT OR IGNORE INTO %1 VALUES (?, ?)")
                             .arg(QLatin1String(level.above)));
            mark.addBindValue(board);
            mark.addBindValue(floorTo(start, HourMs));
            if (!mark.exec())
                return false;
        }
    }
    return true;
}

// Deletes up to limit rows older than the cutoff whose bucket above is not
// waiting to be summed up; false on an error.
bool prune(QSqlDatabase& db, const QString& table, qint64 cutoff, const QString& keep, int limit,
           bool& more) {
    QSqlQuery query(db);
    query.prepare(QStringLiteral("DELETE FROM %1 WHERE rowid IN (SELECT rowid FROM %1 t WHERE "
                                 "t.time < ? %2 LIMIT %3)")
                      .arg(table, keep)
                      .arg(limit));
    query.addBindValue(cutoff);
    if (!query.exec())
        return false;
    if (query.numRowsAffected() >= limit)
        more = true;
    return true;
}

bool pruneWithoutRowid(QSqlDatabase& db, const QString& table, qint64 cutoff, const QString& keep,
                       int limit, bool& more) {
    QSqlQuery query(db);
    query.prepare(QStringLiteral("DELETE FROM %1 WHERE (board, time) IN (SELECT board, time FROM "
                                 "%1 t WHERE t.time < ? %2 LIMIT %3)")
                      .arg(table, keep)
                      .arg(limit));
    query.addBindValue(cutoff);
    if (!query.exec())
        return false;
    if (query.numRowsAffected() >= limit)
        more = true;
    return true;
}

// What a bucket holds from one source; sources of one bucket add up.
struct Sums {
    qint64 n = 0;
    qint64 waterN = 0;
    std::optional<qint64> waterMin;
    std::optional<qint64> waterMax;
    qint64 waterSum = 0;
    qint64 voltN = 0;
    qint64 voltSum = 0;
    std::array<qint64, ChannelCount> levelSum{};
    qint64 lastTime = 0;
    int mode = 0;

    void add(const Sums& other) {
        n += other.n;
        waterN += other.waterN;
        if (other.waterMin)
            waterMin = waterMin ? std::min(*waterMin, *other.waterMin) : *other.waterMin;
        if (other.waterMax)
            waterMax = waterMax ? std::max(*waterMax, *other.waterMax) : *other.waterMax;
        waterSum += other.waterSum;
        voltN += other.voltN;
        voltSum += other.voltSum;
        for (std::size_t c = 0; c < levelSum.size(); ++c)
            levelSum[c] += other.levelSum[c];
        if (other.lastTime >= lastTime) {
            lastTime = other.lastTime;
            mode = other.mode;
        }
    }
};

std::optional<qint64> optionalValue(const QVariant& value) {
    if (value.isNull())
        return std::nullopt;
    return value.toLongLong();
}

// Adds the buckets one source holds in [from, to) to the sums.
bool readBuckets(QSqlDatabase& db, const QString& table, bool raw, qint64 board, qint64 origin,
                 qint64 width, qint64 from, qint64 to, std::map<qint64, Sums>& buckets) {
    const QString columns =
        raw ? QStringLiteral("count(*), count(water), min(water), max(water), total(water), "
                             "count(voltage), total(voltage), total(w), total(r), total(g), "
                             "total(b)")
            : QStringLiteral("total(n), total(water_n), min(water_min), max(water_max), "
                             "total(water_sum), total(volt_n), total(volt_sum), total(w_sum), "
                             "total(r_sum), total(g_sum), total(b_sum)");
    QSqlQuery sums(db);
    sums.setForwardOnly(true);
    sums.prepare(QStringLiteral("SELECT (time - :origin) / :width AS k, %1 FROM %2 WHERE board = "
                                ":board AND time >= :from AND time < :to GROUP BY k")
                     .arg(columns, table));
    sums.bindValue(QStringLiteral(":origin"), origin);
    sums.bindValue(QStringLiteral(":width"), width);
    sums.bindValue(QStringLiteral(":board"), board);
    sums.bindValue(QStringLiteral(":from"), from);
    sums.bindValue(QStringLiteral(":to"), to);
    if (!sums.exec())
        return false;
    std::map<qint64, Sums> found;
    while (sums.next()) {
        Sums s;
        s.n = qint64(sums.value(1).toDouble());
        s.waterN = qint64(sums.value(2).toDouble());
        s.waterMin = optionalValue(sums.value(3));
        s.waterMax = optionalValue(sums.value(4));
        s.waterSum = qint64(sums.value(5).toDouble());
        s.voltN = qint64(sums.value(6).toDouble());
        s.voltSum = qint64(sums.value(7).toDouble());
        for (int c = 0; c < ChannelCount; ++c)
            s.levelSum[std::size_t(c)] = qint64(sums.value(8 + c).toDouble());
        found[sums.value(0).toLongLong()] = s;
    }
    // The last mode of each bucket: the row with the latest time.
    QSqlQuery modes(db);
    modes.setForwardOnly(true);
    modes.prepare(QStringLiteral("SELECT (time - :origin) / :width AS k, max(time), mode FROM %1 "
                                 "WHERE board = :board AND time >= :from AND time < :to GROUP BY "
                                 "k")
                      .arg(table));
    modes.bindValue(QStringLiteral(":origin"), origin);
    modes.bindValue(QStringLiteral(":width"), width);
    modes.bindValue(QStringLiteral(":board"), board);
    modes.bindValue(QStringLiteral(":from"), from);
    modes.bindValue(QStringLiteral(":to"), to);
    if (!modes.exec())
        return false;
    while (modes.next()) {
        auto it = found.find(modes.value(0).toLongLong());
        if (it == found.end())
            continue;
        it->second.lastTime = modes.value(1).toLongLong();
        it->second.mode = modes.value(2).toInt();
    }
    for (const auto& [k, s] : found)
        buckets[k].add(s);
    return true;
}

// The newest time a table holds for the board, or nothing.
std::optional<qint64> newestTime(QSqlDatabase& db, const QString& table, qint64 board) {
    QSqlQuery query(db);
    query.prepare(QStringLiteral("SELECT max(time) FROM %1 WHERE board = ?").arg(table));
    query.addBindValue(board);
    if (!query.exec() || !query.next() || query.value(0).isNull())
        return std::nullopt;
    return query.value(0).toLongLong();
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
        minutes.insert(floorTo(s.time, MinuteMs));
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
        prune(db, QStringLiteral("samples"), now - RawMs,
              QStringLiteral("AND NOT EXISTS (SELECT 1 FROM dirty_minutes d WHERE d.board = "
                             "t.board AND d.time = t.time - t.time % 60000)"),
              limit, more) &&
        pruneWithoutRowid(db, QStringLiteral("minutes"), now - MinutesMs,
                          QStringLiteral("AND NOT EXISTS (SELECT 1 FROM dirty_hours d WHERE "
                                         "d.board = t.board AND d.time = t.time - t.time % "
                                         "3600000)"),
                          limit, more) &&
        prune(db, QStringLiteral("events"), now - EventsMs, QString(), limit, more);
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

    std::map<qint64, Sums> buckets;
    // What the coarse table holds, then the time after its newest bucket
    // from the finer tables (the minutes and hours not summed up yet).
    qint64 tailFrom = from;
    bool ok = true;
    if (resolution == Hour) {
        const auto newest = newestTime(db, QStringLiteral("hours"), board);
        const qint64 hoursEnd = newest ? *newest + HourMs : from;
        ok = ok && readBuckets(db, QStringLiteral("hours"), false, board, from, width, from,
                               std::min(to, hoursEnd), buckets);
        tailFrom = std::max(from, hoursEnd);
    }
    if (ok && resolution >= Minute && tailFrom < to) {
        const auto newest = newestTime(db, QStringLiteral("minutes"), board);
        const qint64 minutesEnd = newest ? *newest + MinuteMs : tailFrom;
        ok = readBuckets(db, QStringLiteral("minutes"), false, board, from, width, tailFrom,
                         std::min(to, minutesEnd), buckets);
        tailFrom = std::max(tailFrom, minutesEnd);
    }
    if (ok && tailFrom < to)
        ok = readBuckets(db, QStringLiteral("samples"), true, board, from, width, tailFrom, to,
                         buckets);
    if (!ok)
        return points;

    for (const auto& [k, s] : buckets) {
        if (s.n <= 0)
            continue;
        HistoryPoint point;
        point.time = from + k * width;
        if (s.waterN > 0) {
            point.water = double(s.waterSum) / double(s.waterN) / 10.0;
            point.waterMin = s.waterMin ? std::optional(*s.waterMin / 10.0) : std::nullopt;
            point.waterMax = s.waterMax ? std::optional(*s.waterMax / 10.0) : std::nullopt;
        }
        if (s.voltN > 0)
            point.voltage = double(s.voltSum) / double(s.voltN) / 100.0;
        for (std::size_t c = 0; c < point.percent.size(); ++c)
            point.percent[c] = double(s.levelSum[c]) / double(s.n) / 40.96;
        point.mode = s.mode;
        points.push_back(point);
    }
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
