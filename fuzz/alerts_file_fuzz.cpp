// alerts.ini: any bytes as the rules file. Every wrong key is one line that
// names it; the rules that come out hold together (bands in order, the
// critical band around the warning band, values in their ranges); and the
// known keys written back give the same rules.
#include "fuzz_target.h"

#include "alerts/alert_rules.h"

namespace {

using namespace kv;

bool inOrder(const std::optional<double>& low, const std::optional<double>& high) {
    return !low || !high || *low < *high;
}

int fuzzAlertsFile(const std::uint8_t* data, std::size_t size) {
    fuzz::setUpOnce();
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString path = fuzz::writeScratchFile(QStringLiteral("alerts.ini"), bytes);
    const AlertRulesFile file = readAlertRules(path);
    for (const AlertRuleProblem& problem : file.problems) {
        KV_FUZZ_CHECK(!problem.keys.isEmpty());
        KV_FUZZ_CHECK(!problem.text.isEmpty());
    }
    const AlertRules& r = file.rules;
    KV_FUZZ_CHECK(inOrder(r.warnLow, r.warnHigh));
    KV_FUZZ_CHECK(inOrder(r.criticalLow, r.criticalHigh));
    KV_FUZZ_CHECK(!r.criticalLow || !r.warnLow || *r.criticalLow <= *r.warnLow);
    KV_FUZZ_CHECK(!r.criticalHigh || !r.warnHigh || *r.criticalHigh >= *r.warnHigh);
    KV_FUZZ_CHECK(r.hysteresis >= 0 && r.hysteresis <= 5);
    for (double delay : {r.delay, r.missingDelay, r.unpluggedDelay, r.voltageDelay})
        KV_FUZZ_CHECK(delay >= 0 && delay <= 86400);
    KV_FUZZ_CHECK(r.reminderHours >= 0 && r.reminderHours <= 720);

    // Written back as `alerts set` writes it: the known keys.
    AlertRuleValues known;
    for (auto it = file.values.begin(); it != file.values.end(); ++it)
        if (alertRuleKeys().contains(it.key()))
            known.insert(it.key(), it.value());
    const QString again = fuzz::scratchPath(QStringLiteral("alerts-again.ini"));
    QString error;
    KV_FUZZ_CHECK(writeAlertRules(again, known, &error));
    KV_FUZZ_CHECK(readAlertRules(again).rules == r);
    return 0;
}

} // namespace

KV_FUZZ_TARGET("alerts_file", fuzzAlertsFile)
