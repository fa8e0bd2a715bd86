// The alert rules of alerts.ini, the active alerts of the process that
// evaluates them, and the last alert events of the history file; `alerts
// set` changes the rules.
#include "alerts/active_alerts_file.h"
#include "alerts/alert_history.h"
#include "alerts/alert_json.h"
#include "alerts/alert_rules.h"
#include "cli/cli_context.h"
#include "cli/commands.h"
#include "history/history_file.h"
#include "text/text_catalogue.h"

#include <QDateTime>
#include <QDir>
#include <QJsonArray>

namespace kv::cli {

namespace {

constexpr int RecentCount = 20;

QString valueText(const QJsonValue& value) {
    if (value.isNull())
        return Msg(QStringLiteral("AlertsRuleOff"));
    if (value.isBool())
        return value.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    if (value.isDouble())
        return QString::number(value.toDouble(), 'g', 10);
    return value.toString();
}

QString localTime(const QString& iso) {
    return QDateTime::fromString(iso, Qt::ISODate)
        .toLocalTime()
        .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

void printRules(QTextStream& out, const QString& path, const AlertRulesFile& file) {
    out << MsgFmt(file.exists ? QStringLiteral("AlertsRulesHeading")
                              : QStringLiteral("AlertsRulesHeadingNoFile"),
                  {QDir::toNativeSeparators(path)})
        << '\n';
    const QJsonObject rules = alertRulesJson(file.rules);
    for (const QString& key : alertRuleKeys()) {
        const QStringList parts = key.split(QLatin1Char('.'));
        out << "  " << key << " = " << valueText(rules.value(parts[0]).toObject().value(parts[1]))
            << '\n';
    }
}

} // namespace

int runAlerts(Context& c) {
    const auto words = c.words(0, 0, {QStringLiteral("--history")});
    if (!words)
        return ExitUsage;
    const QString path = defaultAlertRulesPath();
    const AlertRulesFile file = readAlertRules(path);
    for (const AlertRuleProblem& problem : file.problems)
        c.note(problem.text);
    const std::vector<AlertStatus> active = readActiveAlerts();
    const QJsonArray recent = recentAlertEvents(
        words->value(QStringLiteral("--history")).value_or(defaultHistoryPath()), RecentCount);
    if (c.json()) {
        c.printJson(alertsDocument(file.rules, active, recent));
        return ExitDone;
    }
    QTextStream& out = c.out();
    printRules(out, path, file);
    out << Msg(QStringLiteral("AlertsActiveHeading")) << '\n';
    if (active.empty())
        out << "  " << Msg(QStringLiteral("AlertsNone")) << '\n';
    for (const AlertStatus& alert : active)
        out << "  " << alertLevelName(alert.level).leftJustified(8) << "  "
            << alertKindName(alert.kind).leftJustified(11) << "  " << alert.text << '\n';
    out << Msg(QStringLiteral("AlertsRecentHeading")) << '\n';
    if (recent.isEmpty())
        out << "  " << Msg(QStringLiteral("AlertsNone")) << '\n';
    for (const QJsonValue& value : recent) {
        const QJsonObject event = value.toObject();
        out << "  " << localTime(event.value(QStringLiteral("time")).toString()) << "  "
            << event.value(QStringLiteral("level")).toString().leftJustified(8) << "  "
            << event.value(QStringLiteral("kind")).toString().leftJustified(11) << "  "
            << event.value(QStringLiteral("text")).toString() << '\n';
    }
    return ExitDone;
}

int runAlertsSet(Context& c) {
    const auto words = c.words(1, 64);
    if (!words)
        return ExitUsage;
    AlertRuleValues changes;
    for (const QString& word : words->positional()) {
        const qsizetype equals = word.indexOf(QLatin1Char('='));
        if (equals <= 0)
            return c.fail(
                ExitUsage,
                QStringLiteral("expected KEY=VALUE, got \"%1\" (see alerts set --help)").arg(word));
        const QString key = word.left(equals).trimmed();
        if (!alertRuleKeys().contains(key))
            return c.fail(ExitUsage, QStringLiteral("unknown key \"%1\"; the keys are: %2")
                                         .arg(key, alertRuleKeys().join(QStringLiteral(", "))));
        changes.insert(key, word.mid(equals + 1));
    }
    QList<AlertRuleProblem> problems;
    if (!changeAlertRules(defaultAlertRulesPath(), changes, &problems)) {
        for (const AlertRuleProblem& problem : problems)
            c.note(problem.text);
        return ExitUsage;
    }
    return ExitDone;
}

} // namespace kv::cli
