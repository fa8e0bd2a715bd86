// Alerts in the window: Optionen → "Alarme einstellen..." and its dialog, a
// line in the message log for each raise and clear, and the active alert in
// the status bar's first panel until it clears.
#include "alerts/alert_monitor.h"
#include "alerts/alert_rules.h"
#include "views/alert_rules_dialog.h"
#include "window_test_support.h"

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>

using namespace kv;
using namespace kv::testing;

namespace {

class AlertsWindowTest : public WindowTest {
protected:
    void SetUp() override {
        // The keeper's folders of this test: its rules, its board's lock.
        qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
        qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
        rulesPath = defaultAlertRulesPath();
    }
    void TearDown() override {
        WindowTest::TearDown();
        qunsetenv("XDG_CONFIG_HOME");
        qunsetenv("XDG_RUNTIME_DIR");
    }
    QByteArray rulesText() {
        QFile file(rulesPath);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    QTemporaryDir config;
    QTemporaryDir runtime;
    QString rulesPath;
};

TEST_F(AlertsWindowTest, TheOptionsMenuOpensTheAlertRules) {
    create();
    auto* action = window->findChild<QAction*>("mnuAlerts");
    ASSERT_NE(action, nullptr);
    EXPECT_EQ(action->text(), QStringLiteral("Alarme einstellen..."));
    EXPECT_TRUE(window->findChild<QMenu*>("mnuOptions")->actions().contains(action));
    EXPECT_TRUE(action->isEnabled()) << "rules are set with or without a board";
}

TEST_F(AlertsWindowTest, TheDialogNamesEveryControlByItsLabelAndWritesOnlyRightValues) {
    AlertRulesDialog dialog(rulesPath);
    int named = 0;
    for (QLineEdit* edit : dialog.findChildren<QLineEdit*>()) {
        const auto* label = [&]() -> QLabel* {
            for (QLabel* l : dialog.findChildren<QLabel*>())
                if (l->buddy() == edit)
                    return l;
            return nullptr;
        }();
        ASSERT_NE(label, nullptr) << edit->objectName().toStdString();
        EXPECT_EQ(edit->accessibleName(), label->text());
        ++named;
    }
    EXPECT_EQ(named, int(alertRuleKeys().size()) - 1); // the switch is a check box
    EXPECT_EQ(dialog.desktopBox()->accessibleName(), dialog.desktopBox()->text());
    for (QPushButton* button : dialog.findChildren<QPushButton*>())
        EXPECT_EQ(button->accessibleName(), button->text());
    EXPECT_TRUE(dialog.desktopBox()->isChecked());

    dialog.field("temperature.warn_high")->setText("27,5");
    dialog.field("temperature.critical_high")->setText("29");
    ASSERT_TRUE(dialog.save()) << dialog.problemText().toStdString();
    const AlertRules rules = readAlertRules(rulesPath).rules;
    EXPECT_EQ(rules.warnHigh, 27.5);
    EXPECT_EQ(rules.criticalHigh, 29.0);

    const QByteArray before = rulesText();
    dialog.field("temperature.critical_high")->setText("26");
    dialog.field("voltage.low")->setText("viel");
    EXPECT_FALSE(dialog.save());
    EXPECT_TRUE(dialog.problemText().contains("temperature.critical_high"))
        << dialog.problemText().toStdString();
    EXPECT_TRUE(dialog.problemText().contains("voltage.low"));
    EXPECT_EQ(rulesText(), before);

    // A new dialog shows what the file holds.
    AlertRulesDialog again(rulesPath);
    EXPECT_EQ(again.field("temperature.warn_high")->text(), "27,5") << "the window's decimal comma";
    EXPECT_TRUE(again.field("voltage.low")->text().isEmpty());
}

TEST_F(AlertsWindowTest, AnAlertIsALogLineAndHoldsTheStatusBarUntilItClears) {
    QList<AlertRuleProblem> problems;
    ASSERT_TRUE(changeAlertRules(
        rulesPath, {{"sensor.missing_delay", "0"}, {"notify.desktop", "false"}}, &problems));
    startConnected(0);
    ASSERT_NE(window->alertMonitor(), nullptr);
    ASSERT_TRUE(window->alertMonitor()->evaluating());
    window->statusPanels()->setPanelText(StatusPanels::Text, "vorher");
    board().info().WaterTemp = NoValue;
    poll();
    const QString panel = window->statusPanels()->panelText(StatusPanels::Text);
    EXPECT_TRUE(panel.startsWith("Alarm: Der Temperaturfühler liefert keinen Messwert"))
        << panel.toStdString();
    // What the program announces meanwhile does not push the alert away.
    window->statusPanels()->setPanelText(StatusPanels::Text, "anderes");
    EXPECT_EQ(window->statusPanels()->panelText(StatusPanels::Text), panel);
    EXPECT_EQ(logLines().filter("Alarm: Der Temperaturfühler").size(), 1);

    board().info().WaterTemp = 251;
    poll();
    EXPECT_EQ(window->statusPanels()->panelText(StatusPanels::Text), "anderes");
    EXPECT_EQ(logLines().filter("Alarm beendet: Der Temperaturfühler liefert wieder").size(), 1);
}

} // namespace
