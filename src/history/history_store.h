#pragma once

#include "history/history_records.h"

#include <QString>

#include <vector>

namespace kv {

class HistoryFile;

// How long each resolution is kept. Hours are kept for ever.
namespace historykeep {
inline constexpr qint64 RawMs = 48LL * 3600 * 1000;
inline constexpr qint64 MinutesMs = 2LL * 366 * 24 * 3600 * 1000;
inline constexpr qint64 EventsMs = MinutesMs;
inline constexpr qint64 MinuteMs = 60 * 1000;
inline constexpr qint64 HourMs = 60 * MinuteMs;
// A minute is summed up once it is this long over: samples still on their
// way (a batch not yet written) belong to it.
inline constexpr qint64 SettleMs = 30 * 1000;
} // namespace historykeep

// Writes one batch of a board's samples and events in one transaction, and
// marks the minutes they fall into to be summed up again. False (and the
// file as it was) when the database did not take it.
bool writeHistoryBatch(HistoryFile& file, qint64 board, const std::vector<HistorySample>& samples,
                       const std::vector<HistoryEvent>& events, QString* error = nullptr);

// One small step of upkeep, at the time now: minutes and hours whose samples
// changed are summed up (at most budget of each), then what is past its
// keeping is deleted (at most budget × 50 rows of each table). Returns
// whether work is left for the next step.
bool historyUpkeepStep(HistoryFile& file, qint64 now, int budget = 20);

// The samples of a board from from (inclusive) to to (exclusive), UTC
// milliseconds, in at most maxPoints buckets of equal length. Each bucket is
// read from the coarsest resolution kept that is not coarser than it (raw
// samples, minutes, hours), and the time not yet summed up from the finer
// one; buckets without samples are left out.
std::vector<HistoryPoint> historyPoints(HistoryFile& file, qint64 board, qint64 from, qint64 to,
                                        int maxPoints, qint64 now);

// The events of a board in the range, oldest first.
std::vector<HistoryEvent> historyEvents(HistoryFile& file, qint64 board, qint64 from, qint64 to);

// The board whose sample is the newest in the file, else the board of the
// newest event; -1 for an empty file.
qint64 newestBoard(HistoryFile& file);

} // namespace kv
