// alerts.ini: what a file says, every wrong key told with the rest still
// working, and `set` refusing a wrong change with the file left as it was.
#include "alerts/alert_rules.h"

#include "text/text_catalogue.h"

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace kv {
namespace {

class AlertRulesTest : public ::testing::Test {
protected:
    void SetUp() override {
        LoadTextCatalogue();
        ASSERT_TRUE(dir.isValid());
        path = dir.filePath(QStringLiteral("kestvelqor/alerts.ini"));
    }
    void writeFile(const QByteArray& text) {
        QDir().mkpath(dir.filePath(QStringLiteral("kestvelqor")));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }
    QByteArray fileText() {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    QTemporaryDir dir;
    QString path;
};

TEST_F(AlertRulesTest, AMissingFileWatchesOnlyTheSensorAndTheBoard) {
    const AlertRulesFile file = readAlertRules(path);
    EXPECT_FALSE(file.exists);
    EXPECT_TRUE(file.problems.isEmpty());
    EXPECT_FALSE(file.rules.temperatureOn());
    EXPECT_FALSE(file.rules.voltageLow);
    EXPECT_EQ(file.rules.missingDelay, 60);
    EXPECT_EQ(file.rules.unpluggedDelay, 120);
    EXPECT_TRUE(file.rules.desktop);
    EXPECT_EQ(file.rules.reminderHours, 6);
}

TEST_F(AlertRulesTest, TheFileOfTheKeeperIsReadWithItsComments) {
    writeFile("[temperature]\n"
              "warn_low=24.0\n"
              "warn_high=27.0\n"
              "critical_low=23.0\n"
              "critical_high=28.5\n"
              "hysteresis=0.3        ; °C back inside a band before it clears\n"
              "delay=90              ; seconds outside before an alert is raised\n"
              "[sensor]\nmissing_delay=45\n"
              "[board]\nunplugged_delay=300\n"
              "[voltage]\nlow=11.0\ndelay=20\n"
              "[notify]\ndesktop=false\nreminder_hours=2\n"
              "command=/usr/local/bin/tank-mail --to keeper@example.org\n");
    const AlertRulesFile file = readAlertRules(path);
    EXPECT_TRUE(file.problems.isEmpty()) << file.problems.value(0).text.toStdString();
    const AlertRules& r = file.rules;
    EXPECT_EQ(r.warnLow, 24.0);
    EXPECT_EQ(r.warnHigh, 27.0);
    EXPECT_EQ(r.criticalLow, 23.0);
    EXPECT_EQ(r.criticalHigh, 28.5);
    EXPECT_DOUBLE_EQ(r.hysteresis, 0.3);
    EXPECT_EQ(r.delay, 90);
    EXPECT_EQ(r.missingDelay, 45);
    EXPECT_EQ(r.unpluggedDelay, 300);
    EXPECT_EQ(r.voltageLow, 11.0);
    EXPECT_EQ(r.voltageDelay, 20);
    EXPECT_FALSE(r.desktop);
    EXPECT_EQ(r.reminderHours, 2);
    EXPECT_EQ(r.command, QStringLiteral("/usr/local/bin/tank-mail --to keeper@example.org"));
}

TEST_F(AlertRulesTest, EveryWrongKeyIsOneLineNamingItAndTheRestStillWorks) {
    writeFile("[temperature]\n"
              "warn_low=24.0\nwarn_high=27.0\n"
              "critical_low=24.5\n"         // inside the warning band
              "critical_high=warm\n"        // no number
              "hysteresis=9\n"              // out of range
              "[sensor]\nmissing_delya=5\n" // unknown
              "[voltage]\nlow=12.5\n"
              "[notify]\ndesktop=maybe\n"
              "[fan]\nspeed=3\n");
    const AlertRulesFile file = readAlertRules(path);
    QStringList named;
    for (const AlertRuleProblem& p : file.problems) {
        EXPECT_FALSE(p.text.contains(QLatin1Char('\n')));
        ASSERT_FALSE(p.keys.isEmpty());
        EXPECT_TRUE(p.text.contains(p.keys.first())) << p.text.toStdString();
        named << p.keys;
    }
    named.sort();
    EXPECT_EQ(named, (QStringList{"fan.speed", "notify.desktop", "sensor.missing_delya",
                                  "temperature.critical_high", "temperature.critical_low",
                                  "temperature.hysteresis"}));
    // The rest is as written; the wrong ones are left at their defaults.
    EXPECT_EQ(file.rules.warnLow, 24.0);
    EXPECT_EQ(file.rules.warnHigh, 27.0);
    EXPECT_FALSE(file.rules.criticalLow);
    EXPECT_FALSE(file.rules.criticalHigh);
    EXPECT_DOUBLE_EQ(file.rules.hysteresis, 0.2);
    EXPECT_EQ(file.rules.voltageLow, 12.5);
    EXPECT_TRUE(file.rules.desktop);
}

TEST_F(AlertRulesTest, ABandWithItsLowAboveItsHighIsLeftOutWhole) {
    writeFile("[temperature]\nwarn_low=27.0\nwarn_high=24.0\ncritical_high=29\n");
    const AlertRulesFile file = readAlertRules(path);
    ASSERT_EQ(file.problems.size(), 1);
    EXPECT_EQ(file.problems[0].keys,
              (QStringList{"temperature.warn_low", "temperature.warn_high"}));
    EXPECT_FALSE(file.rules.warnLow);
    EXPECT_FALSE(file.rules.warnHigh);
    EXPECT_EQ(file.rules.criticalHigh, 29.0);
}

TEST_F(AlertRulesTest, SetChangesKeysAndKeepsTheOthers) {
    writeFile("[temperature]\nwarn_low=24.0\nwarn_high=27.0\n[notify]\ncommand=mail-me a,b\n");
    QList<AlertRuleProblem> problems;
    ASSERT_TRUE(changeAlertRules(
        path,
        {{"temperature.warn_high", "27.5"}, {"voltage.low", "11.2"}, {"temperature.warn_low", ""}},
        &problems));
    EXPECT_TRUE(problems.isEmpty());
    const AlertRulesFile file = readAlertRules(path);
    EXPECT_TRUE(file.problems.isEmpty());
    EXPECT_FALSE(file.rules.warnLow);
    EXPECT_EQ(file.rules.warnHigh, 27.5);
    EXPECT_EQ(file.rules.voltageLow, 11.2);
    EXPECT_EQ(file.rules.command, QStringLiteral("mail-me a,b"));
    // Nothing left beside it.
    EXPECT_EQ(
        QDir(dir.filePath(QStringLiteral("kestvelqor"))).entryList(QDir::Files | QDir::Hidden),
        QStringList{"alerts.ini"});
}

TEST_F(AlertRulesTest, SetRefusesAWrongKeyAndLeavesTheFileAsItWas) {
    writeFile("[temperature]\nwarn_low=24.0\nwarn_high=27.0\n");
    const QByteArray before = fileText();
    const std::vector<AlertRuleValues> wrong = {
        {{"temperature.warn_hihg", "27.5"}},
        {{"temperature.warn_high", "27.5"}, {"voltage.low", "low"}},
        {{"temperature.warn_high", "23"}},     // below warn_low
        {{"temperature.critical_high", "26"}}, // inside the warning band
        {{"notify.desktop", "sometimes"}},
        {{"board.unplugged_delay", "-5"}},
    };
    for (const AlertRuleValues& change : wrong) {
        QList<AlertRuleProblem> problems;
        EXPECT_FALSE(changeAlertRules(path, change, &problems)) << change.firstKey().toStdString();
        EXPECT_FALSE(problems.isEmpty());
        EXPECT_EQ(fileText(), before);
    }
    // A change is not held up by a wrong key it does not touch.
    writeFile("[temperature]\nwarn_low=24.0\nwarn_high=27.0\n[fan]\nspeed=3\n");
    QList<AlertRuleProblem> problems;
    EXPECT_TRUE(changeAlertRules(path, {{"temperature.delay", "30"}}, &problems));
    const AlertRulesFile changed = readAlertRules(path);
    EXPECT_EQ(changed.rules.delay, 30);
    EXPECT_EQ(changed.rules.warnHigh, 27.0);
    EXPECT_TRUE(changed.problems.isEmpty()) << "the wrong key is not written back";
}

TEST_F(AlertRulesTest, SetMakesTheFileAndItsFolder) {
    QList<AlertRuleProblem> problems;
    ASSERT_TRUE(changeAlertRules(path, {{"temperature.critical_high", "29"}}, &problems));
    EXPECT_EQ(readAlertRules(path).rules.criticalHigh, 29.0);
}

} // namespace
} // namespace kv
