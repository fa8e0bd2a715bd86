// Settings files: any bytes as a file for both imports (configuration and
// schedule), then an export over that same file and the imports again. What
// was imported must come back unchanged from the exported file, whatever else
// the file held: an export never loses or alters a setting.
#include "fuzz_target.h"

#include "settings/settings_file.h"

namespace {

using namespace kv;

// Lines the schedule import fills; enough for two-digit section names.
constexpr std::size_t ScheduleLines = 24;

int fuzzSettingsFile(const std::uint8_t* data, std::size_t size) {
    fuzz::setUpOnce();
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString imported = fuzz::writeScratchFile(QStringLiteral("imported.ini"), bytes);

    InfoBlock info;
    ExpertBlock expert;
    Schedule schedule(ScheduleLines);
    QString error;
    if (!readConfigFile(imported, info, expert, &error) ||
        !readScheduleFile(imported, schedule, &error)) {
        KV_FUZZ_CHECK(!error.isEmpty());
        return 0;
    }

    // The export keeps the file's other sections and keys: start from it.
    const QString exported = fuzz::writeScratchFile(QStringLiteral("exported.ini"), bytes);
    KV_FUZZ_CHECK(WriteSettingsFile(exported, info, expert, schedule, &error));

    InfoBlock infoAgain;
    ExpertBlock expertAgain;
    Schedule scheduleAgain(ScheduleLines);
    KV_FUZZ_CHECK(readConfigFile(exported, infoAgain, expertAgain, &error));
    KV_FUZZ_CHECK(readScheduleFile(exported, scheduleAgain, &error));
    KV_FUZZ_CHECK(infoAgain == info);
    KV_FUZZ_CHECK(expertAgain == expert);
    KV_FUZZ_CHECK(scheduleAgain == schedule);
    return 0;
}

} // namespace

KV_FUZZ_TARGET("settings_file", fuzzSettingsFile)
