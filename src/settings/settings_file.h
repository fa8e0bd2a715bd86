#pragma once

#include "device/records/expert_block.h"
#include "device/records/info_block.h"
#include "device/records/schedule_line.h"

#include <QString>

namespace kv {

class BoardLink;
class Reporter;

// A settings file holds a few dozen kilobytes; a longer one is refused
// rather than read.
inline constexpr qint64 SettingsFileMaxBytes = 1024 * 1024;

// Settings of the three file dialogs of the settings files.
struct SettingsDialogSettings {
    QString title;  // Msg("ExportScheduleConfig"), Msg("ImportConfig"), Msg("ImportSchedule")
    QString filter; // MsgFmt("VELQORConfig", title) + " (*.ini)|*.ini"
    QString defaultExtension; // ".ini"
};
enum class SettingsCommand { Export, ImportConfig, ImportSchedule };
SettingsDialogSettings settingsDialogSettings(SettingsCommand command);

// Writes the settings file: sections Config, Weather, Names, TimeZone and one
// per schedule line, keys in their fixed order. An existing file's other
// sections and keys are kept (so an existing path must be a regular file of
// at most SettingsFileMaxBytes). The file is replaced atomically; on failure the
// old file stays and error holds a German text.
bool WriteSettingsFile(const QString& path, const InfoBlock& info, const ExpertBlock& expert,
                       const Schedule& schedule, QString* error = nullptr);

// Both readers accept only a regular file of at most SettingsFileMaxBytes
// (not a pipe or a device); error then says why, in German.
// Reads the configuration keys (not the line sections) into the records; a
// missing key or a value that is no integer keeps the field; values keep
// their low 8 or 16 bits.
bool readConfigFile(const QString& path, InfoBlock& info, ExpertBlock& expert,
                    QString* error = nullptr);
// Reads the line sections 0..size-1 into the schedule (the file does not
// decide how many lines there are); missing sections and keys keep the line.
bool readScheduleFile(const QString& path, Schedule& schedule, QString* error = nullptr);

// The commands with their writes to the board. Each returns whether the file
// and all transfers worked; failures are announced through the reporter.

// Export, first half: reads every record fresh from the board (the views
// refresh from these reads). The window shows its save dialog after this.
bool readBoardForExport(BoardLink& link);
// Export, second half: writes the link's records to the file; a failure is
// announced with a German text.
bool saveSettings(BoardLink& link, const QString& path, Reporter& reporter);
// Both halves, for the command-line tool.
bool exportSettings(BoardLink& link, const QString& path, Reporter& reporter);
// What the imports would refuse without reading a byte (no file at the path,
// or a folder, pipe or device) as the German text to announce; empty for a
// regular file. Lets a caller refuse before it touches the board.
QString importRefusal(const QString& path);
bool importConfig(BoardLink& link, const QString& path, Reporter& reporter);
bool importSchedule(BoardLink& link, const QString& path, Reporter& reporter);

} // namespace kv
