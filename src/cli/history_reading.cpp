#include "cli/history_reading.h"

#include "cli/cli_context.h"
#include "history/history_store.h"
#include "history/history_time.h"
#include "text/text_message.h"

#include <QDir>

namespace kv::cli {

namespace {

constexpr qint64 DefaultSpanMs = 24LL * 3600 * 1000;

std::optional<qint64> timeOption(const CommandWords& words, const QString& option,
                                 const QDateTime& now, QString* error) {
    const auto word = words.value(option);
    if (!word)
        return std::nullopt;
    const auto time = historyTimeOf(*word, now);
    if (!time)
        *error = QStringLiteral("%1 must be a date and time in ISO 8601 (2026-12-01, "
                                "2026-12-01T06:00) or a time before now (-30m, -24h, -7d, -1y, "
                                "now)")
                     .arg(option);
    return time;
}

} // namespace

std::optional<HistoryRange> historyRangeOf(const CommandWords& words, const QDateTime& now,
                                           QString* error) {
    error->clear();
    HistoryRange range;
    const auto to = timeOption(words, QStringLiteral("--to"), now, error);
    if (!error->isEmpty())
        return std::nullopt;
    range.to = to.value_or(now.toMSecsSinceEpoch());
    const auto from = timeOption(words, QStringLiteral("--from"), now, error);
    if (!error->isEmpty())
        return std::nullopt;
    range.from = from.value_or(range.to - DefaultSpanMs);
    if (range.from >= range.to) {
        *error = QStringLiteral("--from must be before --to");
        return std::nullopt;
    }
    return range;
}

int openHistoryForReading(Context& c, const CommandWords& words, HistorySource& source) {
    const QString path = words.value(QStringLiteral("--history")).value_or(defaultHistoryPath());
    TextMessage refusal;
    source.file = HistoryFile::open(path, false, &refusal);
    if (!source.file)
        return c.fail(ExitFailed, refusal.text());
    const QString& serial = c.args().device;
    if (serial.isEmpty()) {
        source.board = newestBoard(*source.file);
        return ExitDone;
    }
    source.board = source.file->knownBoardId(serial);
    if (source.board < 0)
        return c.fail(ExitFailed, MsgFmt(QStringLiteral("HistoryUnknownBoard"),
                                         {QDir::toNativeSeparators(path), serial}));
    return ExitDone;
}

} // namespace kv::cli
