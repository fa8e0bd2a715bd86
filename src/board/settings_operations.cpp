// Settings files: the export (every record read fresh, then the file) and
// the two imports (the file into the records, then the records to the board).
#include "board/board_service.h"

#include "device/board_link.h"
#include "settings/settings_file.h"
#include "text/reporter.h"

#include <QDir>

namespace kv {

namespace {

Outcome fileRefused(const TextMessage& message) {
    return Outcome::failed(OutcomeCode::FileRefused, message);
}

} // namespace

Outcome BoardService::readForExport(const Origin& origin) {
    return reread({BoardRecord::Info, BoardRecord::Expert, BoardRecord::Schedule}, origin);
}

Outcome BoardService::writeSettingsFile(const QString& path, const Origin& origin) {
    const QString detail = QDir::toNativeSeparators(path);
    QString error;
    if (WriteSettingsFile(path, info(), expert(), schedule(), &error))
        return end(Operation::Export, detail, origin, Outcome::done());
    const TextMessage failure = settingsWriteFailure(path, error);
    reporter_.announce(failure.text());
    return end(Operation::Export, detail, origin, fileRefused(failure));
}

Outcome BoardService::exportSettings(const QString& path, const Origin& origin) {
    const Outcome read = readForExport(origin);
    if (read.code == OutcomeCode::NoBoard)
        return read;
    const Outcome written = writeSettingsFile(path, origin);
    // A file that could not be written says more than a read that failed.
    return written.ok() ? read : written;
}

Outcome BoardService::importConfig(const QString& path, const Origin& origin) {
    const QString detail = QDir::toNativeSeparators(path);
    if (!isConnected())
        return end(Operation::ImportConfig, detail, origin, noBoardOutcome());
    // Keys the file lacks keep what the board holds: it must have been read.
    if (Outcome unread = ensureRead({BoardRecord::Expert}); !unread.ok())
        return end(Operation::ImportConfig, detail, origin, unread);
    BoardLink& link = session_.link();
    InfoBlock info = link.info;
    ExpertBlock expert = link.expert;
    QString error;
    if (!readConfigFile(path, info, expert, &error)) {
        const TextMessage failure = settingsReadFailure(path, error);
        reporter_.announce(failure.text());
        return end(Operation::ImportConfig, detail, origin, fileRefused(failure));
    }
    link.info = info;
    link.expert = expert;
    // Shown before it is written, as the board will hold it.
    emit recordChanged(BoardRecord::Info, ChangeCause::Import);
    emit recordChanged(BoardRecord::Expert, ChangeCause::Import);
    const bool configOk = link.SetConfig();
    const bool expertOk = link.SetExpert();
    return end(Operation::ImportConfig, detail, origin, written(configOk && expertOk));
}

Outcome BoardService::importSchedule(const QString& path, const Origin& origin) {
    const QString detail = QDir::toNativeSeparators(path);
    if (!isConnected())
        return end(Operation::ImportSchedule, detail, origin, noBoardOutcome());
    // The board decides how many lines there are, and lines the file lacks
    // keep what it holds: the schedule must have been read.
    if (Outcome unread = ensureRead({BoardRecord::Schedule}); !unread.ok())
        return end(Operation::ImportSchedule, detail, origin, unread);
    BoardLink& link = session_.link();
    Schedule lines = link.schedule;
    QString error;
    if (!readScheduleFile(path, lines, &error)) {
        const TextMessage failure = settingsReadFailure(path, error);
        reporter_.announce(failure.text());
        return end(Operation::ImportSchedule, detail, origin, fileRefused(failure));
    }
    link.schedule = lines;
    emit recordChanged(BoardRecord::Schedule, ChangeCause::Import);
    return end(Operation::ImportSchedule, detail, origin, written(link.SetSchedule()));
}

} // namespace kv
