#pragma once

#include "board/outcome.h"

#include <QMetaType>
#include <QString>

namespace kv {

// The records the service holds, and why one changed.
enum class BoardRecord { Info, Expert, Schedule, Chart };
enum class ChangeCause {
    Read,   // read from the board (a poll, a connection, a re-read)
    Write,  // the program wrote it to the board (an operation)
    Import, // a settings file was read into it
};

// Which front asked for an operation.
enum class Front {
    Window,
    CommandLine,
    Web,
    Bridge,
    Service, // the service itself: the clock rules
};
QString frontName(Front front);

// Who asked: the front, and for a network front the client's address.
struct Origin {
    Front front = Front::Service;
    QString client;
};

// The operations of the board service.
enum class Operation {
    SetMode,
    SetLevels,
    SetClock,
    SelectLine,
    SetConfiguration,
    SetExpert,
    SetScheduleLine,
    SetSchedule,
    MoveLine,
    Cloud,
    Storm,
    Save,
    Reread,
    Export,
    ImportConfig,
    ImportSchedule,
    FirmwareUpdate,
};
QString operationName(Operation operation);

// One operation that ended: what it was, what it changed in a few words
// ("W 50 %", "line 2: time=07:05"), who asked and its outcome.
struct OperationReport {
    Operation operation = Operation::Reread;
    QString detail;
    Origin origin;
    Outcome outcome;
};

} // namespace kv

Q_DECLARE_METATYPE(kv::OperationReport)
