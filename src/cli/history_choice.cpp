#include "cli/history_choice.h"

#include "history/history_file.h"

#include <QFileInfo>

namespace kv::cli {

bool recordsChanges(const QString& command) {
    static const QStringList changing = {
        QStringLiteral("mode"),
        QStringLiteral("level"),
        QStringLiteral("set-time"),
        QStringLiteral("cloud"),
        QStringLiteral("storm"),
        QStringLiteral("save"),
        QStringLiteral("schedule set"),
        QStringLiteral("import-config"),
        QStringLiteral("import-schedule"),
        QStringLiteral("flash"),
    };
    return changing.contains(command);
}

ChangeHistory changeHistoryOf(const CommandWords& words) {
    if (words.flag(QStringLiteral("--no-history")))
        return {};
    if (const auto path = words.value(QStringLiteral("--history")))
        return {*path, true};
    const QString fallback = defaultHistoryPath();
    if (QFileInfo(fallback).isFile())
        return {fallback, false};
    return {};
}

} // namespace kv::cli
