#include "board/outcome.h"
#include "board/operation.h"

namespace kv {

QString outcomeCodeName(OutcomeCode code) {
    switch (code) {
    case OutcomeCode::Done:
        return QStringLiteral("done");
    case OutcomeCode::OutOfRange:
        return QStringLiteral("out_of_range");
    case OutcomeCode::NoBoard:
        return QStringLiteral("no_board");
    case OutcomeCode::NotInThisMode:
        return QStringLiteral("not_in_this_mode");
    case OutcomeCode::NoSuchLine:
        return QStringLiteral("no_such_line");
    case OutcomeCode::NotWritable:
        return QStringLiteral("not_writable");
    case OutcomeCode::NotAnswered:
        return QStringLiteral("not_answered");
    case OutcomeCode::NotTaken:
        return QStringLiteral("not_taken");
    case OutcomeCode::FileRefused:
        return QStringLiteral("file_refused");
    case OutcomeCode::Busy:
        return QStringLiteral("busy");
    case OutcomeCode::Cancelled:
        return QStringLiteral("cancelled");
    case OutcomeCode::UpdateFailed:
        return QStringLiteral("update_failed");
    }
    return QStringLiteral("unknown");
}

QString frontName(Front front) {
    switch (front) {
    case Front::Window:
        return QStringLiteral("window");
    case Front::CommandLine:
        return QStringLiteral("cli");
    case Front::Web:
        return QStringLiteral("web");
    case Front::Bridge:
        return QStringLiteral("mqtt");
    case Front::Service:
        return QStringLiteral("service");
    }
    return QStringLiteral("unknown");
}

QString operationName(Operation operation) {
    switch (operation) {
    case Operation::SetMode:
        return QStringLiteral("mode");
    case Operation::SetLevels:
        return QStringLiteral("levels");
    case Operation::SetClock:
        return QStringLiteral("clock");
    case Operation::SelectLine:
        return QStringLiteral("current line");
    case Operation::SetConfiguration:
        return QStringLiteral("configuration");
    case Operation::SetExpert:
        return QStringLiteral("expert settings");
    case Operation::SetScheduleLine:
        return QStringLiteral("schedule line");
    case Operation::SetSchedule:
        return QStringLiteral("schedule");
    case Operation::MoveLine:
        return QStringLiteral("line moved");
    case Operation::Cloud:
        return QStringLiteral("cloud");
    case Operation::Storm:
        return QStringLiteral("storm");
    case Operation::Save:
        return QStringLiteral("save");
    case Operation::Reread:
        return QStringLiteral("read");
    case Operation::Export:
        return QStringLiteral("export");
    case Operation::ImportConfig:
        return QStringLiteral("import configuration");
    case Operation::ImportSchedule:
        return QStringLiteral("import schedule");
    case Operation::FirmwareUpdate:
        return QStringLiteral("firmware update");
    }
    return QStringLiteral("unknown");
}

} // namespace kv
