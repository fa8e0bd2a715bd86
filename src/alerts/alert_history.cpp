#include "alerts/alert_history.h"

#include "alerts/alert_json.h"
#include "history/history_file.h"
#include "history/history_store.h"

#include <QDateTime>
#include <QJsonObject>

#include <limits>

namespace kv {

QString alertEventDetail(const AlertReport& report) {
    const AlertNotice& n = report.notice;
    const QString value = n.value ? QString::number(*n.value) : QStringLiteral("-");
    return alertKindName(n.kind) + QLatin1Char(' ') + alertLevelName(n.level) + QLatin1Char(' ') +
           value + QStringLiteral(": ") + report.text;
}

QJsonArray recentAlertEvents(const QString& historyPath, int count) {
    TextMessage refusal;
    const auto file = HistoryFile::open(historyPath, false, &refusal);
    if (!file)
        return {};
    const qint64 board = newestBoard(*file);
    if (board < 0)
        return {};
    const auto events =
        historyEvents(*file, board, 0, QDateTime::currentMSecsSinceEpoch() + 24LL * 3600 * 1000);
    QJsonArray recent;
    for (auto it = events.rbegin(); it != events.rend() && recent.size() < count; ++it) {
        if (it->kind != AlertEventKind)
            continue;
        const qsizetype colon = it->detail.indexOf(QStringLiteral(": "));
        const QStringList head = it->detail.left(colon).split(QLatin1Char(' '));
        if (colon < 0 || head.size() != 3)
            continue;
        bool isNumber = false;
        const double value = head[2].toDouble(&isNumber);
        recent.prepend(
            QJsonObject{{QStringLiteral("time"), alertTimeText(it->time)},
                        {QStringLiteral("kind"), head[0]},
                        {QStringLiteral("level"), head[1]},
                        {QStringLiteral("value"), isNumber ? QJsonValue(value) : QJsonValue()},
                        {QStringLiteral("text"), it->detail.mid(colon + 2)}});
    }
    return recent;
}

} // namespace kv
