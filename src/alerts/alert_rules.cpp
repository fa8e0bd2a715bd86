#include "alerts/alert_rules.h"

#include "text/text_catalogue.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryFile>

#include <cmath>
#include <cstdio>

namespace kv {

namespace {

// Far more than any rules file; a larger one is not read.
constexpr qint64 MaxFileBytes = 1 << 20;

enum class ValueType { Number, Switch, Text };

struct KeyRule {
    const char* key;
    ValueType type;
    double least = 0;
    double most = 0;
};

// Every key with what it takes. Temperatures within what a probe in water
// reads, delays up to a day, reminders up to a month.
const std::vector<KeyRule>& keyRules() {
    static const std::vector<KeyRule> rules = {
        {"temperature.warn_low", ValueType::Number, 0, 50},
        {"temperature.warn_high", ValueType::Number, 0, 50},
        {"temperature.critical_low", ValueType::Number, 0, 50},
        {"temperature.critical_high", ValueType::Number, 0, 50},
        {"temperature.hysteresis", ValueType::Number, 0, 5},
        {"temperature.delay", ValueType::Number, 0, 86400},
        {"sensor.missing_delay", ValueType::Number, 0, 86400},
        {"board.unplugged_delay", ValueType::Number, 0, 86400},
        {"voltage.low", ValueType::Number, 0, 40},
        {"voltage.delay", ValueType::Number, 0, 86400},
        {"notify.desktop", ValueType::Switch},
        {"notify.reminder_hours", ValueType::Number, 0, 720},
        {"notify.command", ValueType::Text},
    };
    return rules;
}

const KeyRule* keyRule(const QString& key) {
    for (const KeyRule& rule : keyRules())
        if (key == QLatin1String(rule.key))
            return &rule;
    return nullptr;
}

QString numberText(double value) {
    return QString::number(value, 'g', 10);
}

std::optional<double> numberOf(QString text) {
    text = text.trimmed();
    text.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<bool> switchOf(const QString& text) {
    const QString word = text.trimmed().toLower();
    if (word == QLatin1String("true") || word == QLatin1String("1") ||
        word == QLatin1String("yes") || word == QLatin1String("on"))
        return true;
    if (word == QLatin1String("false") || word == QLatin1String("0") ||
        word == QLatin1String("no") || word == QLatin1String("off"))
        return false;
    return std::nullopt;
}

void tell(QList<AlertRuleProblem>* problems, QStringList keys, const QString& text) {
    if (problems)
        problems->append({std::move(keys), text});
}

// One key's value alone: known, a number in its range, a switch.
bool checkValue(const QString& key, const QString& value, QList<AlertRuleProblem>* problems) {
    const KeyRule* rule = keyRule(key);
    if (!rule) {
        tell(problems, {key}, MsgFmt(QStringLiteral("AlertRuleUnknownKey"), {key}));
        return false;
    }
    if (rule->type == ValueType::Switch && !switchOf(value)) {
        tell(problems, {key}, MsgFmt(QStringLiteral("AlertRuleNotSwitch"), {key, value}));
        return false;
    }
    if (rule->type != ValueType::Number)
        return true;
    const auto number = numberOf(value);
    if (!number) {
        tell(problems, {key}, MsgFmt(QStringLiteral("AlertRuleNotNumber"), {key, value}));
        return false;
    }
    if (*number < rule->least || *number > rule->most) {
        tell(problems, {key},
             MsgFmt(QStringLiteral("AlertRuleOutOfRange"),
                    {key, numberText(*number), numberText(rule->least), numberText(rule->most)}));
        return false;
    }
    return true;
}

const QString WarnLow = QStringLiteral("temperature.warn_low");
const QString WarnHigh = QStringLiteral("temperature.warn_high");
const QString CriticalLow = QStringLiteral("temperature.critical_low");
const QString CriticalHigh = QStringLiteral("temperature.critical_high");

// A band whose low bound is not below its high one is no band: both keys
// are told and left out.
void checkBand(std::optional<double>& low, std::optional<double>& high, const QString& lowKey,
               const QString& highKey, QList<AlertRuleProblem>* problems) {
    if (!low || !high || *low < *high)
        return;
    tell(problems, {lowKey, highKey},
         MsgFmt(QStringLiteral("AlertRuleLowAboveHigh"),
                {lowKey, numberText(*low), highKey, numberText(*high)}));
    low.reset();
    high.reset();
}

} // namespace

const QStringList& alertRuleKeys() {
    static const QStringList keys = [] {
        QStringList all;
        for (const KeyRule& rule : keyRules())
            all << QLatin1String(rule.key);
        return all;
    }();
    return keys;
}

AlertRules alertRulesOf(const AlertRuleValues& values, QList<AlertRuleProblem>* problems) {
    AlertRules rules;
    QMap<QString, double> numbers;
    for (auto it = values.begin(); it != values.end(); ++it) {
        if (!checkValue(it.key(), it.value(), problems))
            continue;
        if (keyRule(it.key())->type == ValueType::Number)
            numbers.insert(it.key(), *numberOf(it.value()));
    }
    const auto number = [&](const char* key) -> std::optional<double> {
        const auto it = numbers.constFind(QLatin1String(key));
        return it == numbers.constEnd() ? std::nullopt : std::optional<double>(*it);
    };
    const auto numberOr = [&](const char* key, double fallback) {
        return number(key).value_or(fallback);
    };
    rules.warnLow = number("temperature.warn_low");
    rules.warnHigh = number("temperature.warn_high");
    rules.criticalLow = number("temperature.critical_low");
    rules.criticalHigh = number("temperature.critical_high");
    checkBand(rules.warnLow, rules.warnHigh, WarnLow, WarnHigh, problems);
    checkBand(rules.criticalLow, rules.criticalHigh, CriticalLow, CriticalHigh, problems);
    // The critical band lies around the warning band: a critical bound inside
    // it would skip the warning.
    if (rules.criticalLow && rules.warnLow && *rules.criticalLow > *rules.warnLow) {
        tell(problems, {CriticalLow},
             MsgFmt(QStringLiteral("AlertRuleCriticalInside"),
                    {CriticalLow, numberText(*rules.criticalLow), WarnLow}));
        rules.criticalLow.reset();
    }
    if (rules.criticalHigh && rules.warnHigh && *rules.criticalHigh < *rules.warnHigh) {
        tell(problems, {CriticalHigh},
             MsgFmt(QStringLiteral("AlertRuleCriticalInside"),
                    {CriticalHigh, numberText(*rules.criticalHigh), WarnHigh}));
        rules.criticalHigh.reset();
    }
    rules.hysteresis = numberOr("temperature.hysteresis", rules.hysteresis);
    rules.delay = numberOr("temperature.delay", rules.delay);
    rules.missingDelay = numberOr("sensor.missing_delay", rules.missingDelay);
    rules.unpluggedDelay = numberOr("board.unplugged_delay", rules.unpluggedDelay);
    rules.voltageLow = number("voltage.low");
    rules.voltageDelay = numberOr("voltage.delay", rules.voltageDelay);
    rules.reminderHours = numberOr("notify.reminder_hours", rules.reminderHours);
    const QString desktop = values.value(QStringLiteral("notify.desktop"));
    if (const auto on = switchOf(desktop))
        rules.desktop = *on;
    rules.command = values.value(QStringLiteral("notify.command")).trimmed();
    return rules;
}

QString defaultAlertRulesPath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/kestvelqor/alerts.ini");
}

AlertRulesFile readAlertRules(const QString& path) {
    AlertRulesFile file;
    file.exists = QFileInfo(path).isFile();
    // QSettings keeps what it read of a path and trusts it while the file's
    // time and size stay: a file rewritten within the same moment would be
    // read as it was. It reads a copy of its own each time.
    QTemporaryFile copy(QDir::tempPath() + QStringLiteral("/kestvelqor-alerts-XXXXXX.ini"));
    QFile source(path);
    if (file.exists && source.open(QIODevice::ReadOnly) && source.size() <= MaxFileBytes &&
        copy.open()) {
        copy.write(source.readAll());
        copy.close();
        QSettings settings(copy.fileName(), QSettings::IniFormat);
        for (const QString& key : settings.allKeys()) {
            const QVariant value = settings.value(key);
            // QSettings reads a value with commas as a list.
            const QString text = value.userType() == QMetaType::QStringList
                                     ? value.toStringList().join(QLatin1Char(','))
                                     : value.toString();
            // Keys outside a section are "General/key" to QSettings.
            QString name = key;
            name.replace(QLatin1Char('/'), QLatin1Char('.'));
            file.values.insert(name, text);
        }
    }
    file.rules = alertRulesOf(file.values, &file.problems);
    return file;
}

bool writeAlertRules(const QString& path, const AlertRuleValues& values, QString* error) {
    const QFileInfo target(path);
    if (!QDir().mkpath(target.absolutePath())) {
        if (error)
            *error = MsgFmt(QStringLiteral("AlertRulesNotWritten"), {path});
        return false;
    }
    // QSettings writes its INI text into a new file beside the old one, which
    // then takes the old one's place in one step.
    QTemporaryFile temporary(target.absolutePath() + QStringLiteral("/.alerts-XXXXXX.ini"));
    temporary.setAutoRemove(true);
    if (!temporary.open()) {
        if (error)
            *error = MsgFmt(QStringLiteral("AlertRulesNotWritten"), {path});
        return false;
    }
    temporary.close();
    {
        QSettings settings(temporary.fileName(), QSettings::IniFormat);
        settings.clear();
        for (auto it = values.begin(); it != values.end(); ++it) {
            QString key = it.key();
            key.replace(QLatin1Char('.'), QLatin1Char('/'));
            settings.setValue(key, it.value());
        }
        settings.sync();
        if (settings.status() != QSettings::NoError) {
            if (error)
                *error = MsgFmt(QStringLiteral("AlertRulesNotWritten"), {path});
            return false;
        }
    }
    if (std::rename(QFile::encodeName(temporary.fileName()).constData(),
                    QFile::encodeName(target.absoluteFilePath()).constData()) != 0) {
        if (error)
            *error = MsgFmt(QStringLiteral("AlertRulesNotWritten"), {path});
        return false;
    }
    temporary.setAutoRemove(false);
    return true;
}

bool changeAlertRules(const QString& path, const AlertRuleValues& changes,
                      QList<AlertRuleProblem>* problems) {
    // Only the keys the program knows are written back: a wrong key was told
    // each time the file was read, and a name QSettings cannot write as it
    // read it would change the rules.
    AlertRuleValues values;
    const AlertRuleValues read = readAlertRules(path).values;
    for (auto it = read.begin(); it != read.end(); ++it)
        if (keyRule(it.key()))
            values.insert(it.key(), it.value());
    bool refused = false;
    for (auto it = changes.begin(); it != changes.end(); ++it) {
        if (!keyRule(it.key())) {
            tell(problems, {it.key()}, MsgFmt(QStringLiteral("AlertRuleUnknownKey"), {it.key()}));
            refused = true;
        } else if (it.value().trimmed().isEmpty()) {
            values.remove(it.key());
        } else if (keyRule(it.key())->type == ValueType::Number) {
            // A decimal comma is taken, and written as a point.
            values.insert(it.key(),
                          it.value().trimmed().replace(QLatin1Char(','), QLatin1Char('.')));
        } else {
            values.insert(it.key(), it.value().trimmed());
        }
    }
    // The file's own wrong keys do not stop a change; what the change makes
    // wrong does.
    QList<AlertRuleProblem> found;
    alertRulesOf(values, &found);
    for (const AlertRuleProblem& problem : found)
        for (const QString& key : problem.keys)
            if (changes.contains(key)) {
                tell(problems, problem.keys, problem.text);
                refused = true;
                break;
            }
    if (refused)
        return false;
    QString error;
    if (!writeAlertRules(path, values, &error)) {
        tell(problems, {}, error);
        return false;
    }
    return true;
}

} // namespace kv
