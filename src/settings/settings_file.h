#pragma once

#include "device/records/expert_block.h"
#include "device/records/info_block.h"
#include "device/records/schedule_line.h"

#include "text/text_message.h"

#include <QString>

namespace kv {

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

// The messages of a settings file that could not be written or read, with
// the reason WriteSettingsFile or a reader gave.
TextMessage settingsWriteFailure(const QString& path, const QString& reason);
TextMessage settingsReadFailure(const QString& path, const QString& reason);
// What the imports would refuse without reading a byte (no file at the path,
// or a folder, pipe or device); empty for a regular file. Lets a caller
// refuse before it touches the board.
TextMessage importRefusal(const QString& path);

} // namespace kv
