#pragma once

#include "cli/cli_args.h"

#include <QString>

namespace kv::cli {

// Whether a command changes the board; such a command adds its change to the
// history file as an event, and takes --history FILE and --no-history.
bool recordsChanges(const QString& command);

// The history file a command that changes the board adds its change to:
// none with --no-history, FILE with --history FILE, else the default file
// when it exists (a command never makes it).
struct ChangeHistory {
    QString path;       // empty: nothing is recorded
    bool named = false; // by --history: a file that cannot take the change is told
};
ChangeHistory changeHistoryOf(const CommandWords& words);

} // namespace kv::cli
