#pragma once

#include "cli/cli_args.h"
#include "history/history_file.h"

#include <QDateTime>
#include <QString>

#include <memory>
#include <optional>

namespace kv::cli {

class Context;

// A range of the history, UTC milliseconds: from (inclusive) to (exclusive).
struct HistoryRange {
    qint64 from = 0;
    qint64 to = 0;
};

// --from and --to as ISO 8601 or relative to now ("-30m", "-24h", "-7d",
// "-1y", "now"); --to defaults to now, --from to 24 hours before now. The
// English reason in *error when a word is no time or --from is not before
// --to.
std::optional<HistoryRange> historyRangeOf(const CommandWords& words, const QDateTime& now,
                                           QString* error);

// The history file opened for reading and the board whose history is shown.
struct HistorySource {
    std::unique_ptr<HistoryFile> file;
    qint64 board = -1; // -1: the file holds no board yet
};

// Opens the file of --history FILE, else the default file, never making it,
// and chooses the board: --device SERIAL, else the board with the newest
// sample. On failure prints the German reason and returns the exit status
// (1); 0 on success.
int openHistoryForReading(Context& c, const CommandWords& words, HistorySource& source);

} // namespace kv::cli
