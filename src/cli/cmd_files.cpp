// Settings files: export and the two imports.
#include "cli/cli_context.h"
#include "cli/commands.h"
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

int finished(Context& c, const Outcome& outcome, const QString& path) {
    if (!outcome.ok())
        return c.end(outcome);
    if (c.json())
        c.printJson({{QStringLiteral("ok"), true},
                     {QStringLiteral("file"), QFileInfo(path).absoluteFilePath()}});
    return ExitDone;
}

// The import commands refuse a missing file before touching the board.
int importWith(Context& c, Outcome (BoardService::*import)(const QString&, const Origin&)) {
    const auto path = fileArgument(c);
    if (!path)
        return ExitUsage;
    if (const TextMessage refusal = importRefusal(*path); !refusal.isEmpty())
        return c.fail(ExitFailed, refusal.text());
    if (int s = c.connectBoard())
        return s;
    return finished(c, (c.service().*import)(*path, {}), *path);
}

} // namespace

int runExport(Context& c) {
    const auto path = fileArgument(c);
    if (!path)
        return ExitUsage;
    if (int s = c.connectBoard())
        return s;
    return finished(c, c.service().exportSettings(*path), *path);
}

int runImportConfig(Context& c) {
    return importWith(c, &BoardService::importConfig);
}

int runImportSchedule(Context& c) {
    return importWith(c, &BoardService::importSchedule);
}

} // namespace kv::cli
