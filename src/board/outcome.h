#pragma once

#include "text/text_message.h"

#include <QString>

namespace kv {

// What became of an operation of the board service. The code is for the
// caller's decisions (an exit status, an HTTP status); the message is what
// the user is told, the same in every front.
enum class OutcomeCode {
    Done,          // carried out
    OutOfRange,    // a value outside its field's range: nothing sent
    NoBoard,       // no usable board is connected: nothing sent
    NotInThisMode, // the board's mode does not allow it: nothing sent
    NoSuchLine,    // the schedule has no such line: nothing sent
    NotWritable,   // a line number the board takes for a command: nothing sent
    NotAnswered,   // a read failed three times
    NotTaken,      // a write failed three times
    FileRefused,   // a settings or firmware file could not be read or written
    Busy,          // a firmware update is running: nothing sent
    Cancelled,     // the user said no or chose no file
    UpdateFailed,  // the firmware update ended without every block written
};

// The stable name of a code, as the web API gives it ("out_of_range").
QString outcomeCodeName(OutcomeCode code);

struct Outcome {
    OutcomeCode code = OutcomeCode::Done;
    TextMessage message; // empty for Done unless the operation has news

    bool ok() const { return code == OutcomeCode::Done; }
    QString text() const { return message.text(); }

    static Outcome done() { return {}; }
    static Outcome failed(OutcomeCode code, TextMessage message) {
        return {code, std::move(message)};
    }
};

} // namespace kv
