#pragma once

#include <QDateTime>
#include <QString>

#include <optional>

namespace kv {

// A moment as people and scripts name it for a history range: ISO 8601 in
// the computer's time zone ("2026-12-01", "2026-12-01T06:00",
// "2026-12-01T06:00:30"; an offset or Z may follow) or relative to now
// ("-30m", "-24h", "-7d", "-1y"; "now"). UTC milliseconds, or nothing for
// any other word.
std::optional<qint64> historyTimeOf(const QString& word, const QDateTime& now);

// A moment as the history's documents give it: local ISO 8601 with the
// offset ("2026-12-01T06:00:00+01:00").
QString historyTimeText(qint64 utcMilliseconds);

} // namespace kv
