// `alerts` and `alerts set` as a keeper runs them: the rules shown and
// changed, a wrong change refused with the file left as it was.
#include "cli_test_support.h"

#include <QFile>

using namespace kv::testing;

namespace {

class AlertsCliTest : public CliTest {
protected:
    CliResult alerts(const QStringList& args) {
        return run(args, {}, {"XDG_CONFIG_HOME=" + path("config")});
    }
    QByteArray rulesFile() {
        QFile file(path("config/kestvelqor/alerts.ini"));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
};

TEST_F(AlertsCliTest, WithoutAFileOnlyTheSensorAndTheBoardAreWatched) {
    const CliResult result = alerts({"--json", "alerts"});
    ASSERT_EQ(result.status, 0) << result.err.toStdString();
    const QJsonObject json = result.json();
    const QJsonObject temperature = json["rules"]["temperature"].toObject();
    EXPECT_TRUE(temperature["warn_high"].isNull());
    EXPECT_TRUE(temperature["critical_low"].isNull());
    EXPECT_EQ(json["rules"]["sensor"]["missing_delay"].toDouble(), 60);
    EXPECT_EQ(json["rules"]["board"]["unplugged_delay"].toDouble(), 120);
    EXPECT_EQ(json["rules"]["notify"]["desktop"].toBool(), true);
    EXPECT_EQ(json["active"].toArray().size(), 0);
    EXPECT_EQ(json["recent"].toArray().size(), 0);
    EXPECT_TRUE(result.err.isEmpty());
}

TEST_F(AlertsCliTest, SetWritesTheKeysAndTheCommandShowsThem) {
    CliResult set =
        alerts({"alerts", "set", "temperature.warn_high=27.5", "temperature.warn_low=24",
                "notify.command=/usr/local/bin/tank-mail "
                "--to keeper@example.org"});
    ASSERT_EQ(set.status, 0) << set.err.toStdString();
    const CliResult shown = alerts({"alerts"});
    ASSERT_EQ(shown.status, 0);
    EXPECT_TRUE(shown.out.contains("temperature.warn_high = 27.5\n")) << shown.out.toStdString();
    EXPECT_TRUE(shown.out.contains("temperature.critical_high = aus\n"));
    EXPECT_TRUE(
        shown.out.contains("notify.command = /usr/local/bin/tank-mail --to keeper@example.org\n"));
    EXPECT_TRUE(shown.out.contains("Aktive Alarme:\n  keine\n"));
    const QJsonObject json = alerts({"--json", "alerts"}).json();
    EXPECT_EQ(json["rules"]["temperature"]["warn_high"].toDouble(), 27.5);
    EXPECT_EQ(json["rules"]["temperature"]["warn_low"].toDouble(), 24);
}

TEST_F(AlertsCliTest, SetRefusesAWrongKeyOrValueWithStatusTwoAndLeavesTheFile) {
    ASSERT_EQ(alerts({"alerts", "set", "temperature.warn_high=27"}).status, 0);
    const QByteArray before = rulesFile();
    ASSERT_FALSE(before.isEmpty());
    const QList<QStringList> wrong = {
        {"temperature.warn_hihg=27.5"}, {"temperature.warn_low=24", "voltage.low=niedrig"},
        {"temperature.warn_low=28"},    {"temperature.critical_high=26.5"},
        {"notify.desktop=vielleicht"},  {"warn_high"},
    };
    for (const QStringList& words : wrong) {
        const CliResult result = alerts(QStringList{"alerts", "set"} + words);
        EXPECT_EQ(result.status, 2) << words.join(' ').toStdString();
        EXPECT_FALSE(result.err.trimmed().isEmpty());
        EXPECT_EQ(result.err.trimmed().count('\n'), 0) << result.err.toStdString();
        EXPECT_EQ(rulesFile(), before);
    }
    // Refusals of values are the catalogue's German; unknown keys are the
    // command's own grammar.
    EXPECT_TRUE(alerts({"alerts", "set", "voltage.low=niedrig"}).err.contains("keine Zahl"));
    EXPECT_TRUE(alerts({"alerts", "set", "voltage.lo=1"}).err.contains("unknown key"));
}

TEST_F(AlertsCliTest, EveryWrongKeyOfTheFileIsOneLineAndTheRestIsShown) {
    QDir().mkpath(path("config/kestvelqor"));
    QFile file(path("config/kestvelqor/alerts.ini"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[temperature]\nwarn_high=27\nwarn_low=warm\n[sensor]\nmissing=5\n");
    file.close();
    const CliResult result = alerts({"--json", "alerts"});
    EXPECT_EQ(result.status, 0);
    const QStringList lines = result.err.trimmed().split('\n');
    ASSERT_EQ(lines.size(), 2) << result.err.toStdString();
    EXPECT_TRUE(lines.filter("temperature.warn_low").size() == 1);
    EXPECT_TRUE(lines.filter("sensor.missing").size() == 1);
    const QJsonObject json = result.json();
    EXPECT_EQ(json["rules"]["temperature"]["warn_high"].toDouble(), 27);
}

} // namespace
