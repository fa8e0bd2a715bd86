// Settings files: export and the two imports.
#include "cli/cli_context.h"
#include "cli/commands.h"
#include "device/board_link.h"
#include "settings/settings_file.h"

#include <QFileInfo>

namespace kv::cli {

namespace {

// The single FILE argument; nothing on wrong usage (already reported).
std::optional<QString> fileArgument(Context& c) {
    const auto words = c.words(1, 1);
    if (!words)
        return std::nullopt;
    return words->positional()[0];
}

int finished(Context& c, bool ok, const QString& path) {
    if (!ok) {
        const QString reason = c.reporter().lastAnnounced();
        return c.fail(ExitFailed,
                      reason.isEmpty() ? QStringLiteral("the board did not answer") : reason);
    }
    if (c.json())
        c.printJson({{QStringLiteral("ok"), true},
                     {QStringLiteral("file"), QFileInfo(path).absoluteFilePath()}});
    return ExitDone;
}

// The import commands refuse a missing file before touching the board.
int importWith(Context& c, bool (*import)(BoardLink&, const QString&, Reporter&)) {
    const auto path = fileArgument(c);
    if (!path)
        return ExitUsage;
    if (const QString refusal = importRefusal(*path); !refusal.isEmpty())
        return c.fail(ExitFailed, refusal);
    if (int s = c.connectBoard())
        return s;
    return finished(c, import(c.link(), *path, c.reporter()), *path);
}

} // namespace

int runExport(Context& c) {
    const auto path = fileArgument(c);
    if (!path)
        return ExitUsage;
    if (int s = c.connectBoard())
        return s;
    return finished(c, exportSettings(c.link(), *path, c.reporter()), *path);
}

int runImportConfig(Context& c) {
    return importWith(c, importConfig);
}

int runImportSchedule(Context& c) {
    return importWith(c, importSchedule);
}

} // namespace kv::cli
