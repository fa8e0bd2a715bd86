// The main window as a person meets it: start and command line, tabs, menus
// and their shortcuts, the log, connecting and unplugging the board.
#include "window_test_support.h"

#include "app/guarded_application.h"
#include "app/taskbar_progress.h"
#include "enabling_expectations.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>

#include <stdexcept>

namespace kv::testing {
namespace {

class MainWindowTest : public WindowTest {};

TEST_F(MainWindowTest, StartsDisconnectedWithGermanTabsAndTheLogInFront) {
    create({});
    const QStringList expected{"tsChannels", "tsChannelsGL",   "tsSchedule", "tsVisualize",
                               "tsGeo",      "tsConfig",       "tsTemp",     "tsHistory",
                               "tsWeather",  "tsWeatherDelay", "tsMoon",     "tsExpert",
                               "tsJMP",      "tsMessages"};
    QTabWidget* pc = window->pages();
    ASSERT_EQ(pc->count(), expected.size());
    for (int i = 0; i < pc->count(); ++i)
        EXPECT_EQ(pc->widget(i)->objectName(), expected[i]);
    EXPECT_EQ(pc->tabText(pc->indexOf(window->page("tsChannels"))), QString::fromUtf8("Kanäle"));
    EXPECT_EQ(pc->tabText(pc->indexOf(window->page("tsMessages"))), "Meldungen");
    EXPECT_EQ(pc->tabText(pc->indexOf(window->page("tsExpert"))), "Expertenoptionen");
    EXPECT_EQ(pc->tabText(pc->indexOf(window->page("tsHistory"))), "Verlauf");
    // Designed English text stays where the catalogue has none.
    EXPECT_EQ(pc->tabText(pc->indexOf(window->page("tsChannelsGL"))), "Channels G-L");
    EXPECT_FALSE(tabVisible("tsChannelsGL"));
    EXPECT_FALSE(tabVisible("tsExpert"));
    EXPECT_FALSE(tabVisible("tsJMP"));
    EXPECT_EQ(currentTabName(), "tsMessages");

    EXPECT_EQ(window->windowTitle(), QString::fromUtf8("Kest Lighting • KestVELQOR 1.x.12"));
    EXPECT_EQ(logLinesEndingWith("] gestartet KestVELQOR 1.x.12"), 1);
    // The first entry says what a problem report needs.
    const QString first = logLines().filter(QRegularExpression("^\\[")).value(0);
    EXPECT_TRUE(first.contains("] kestvelqor 1.0.12 (commit ")) << first.toStdString();
    EXPECT_TRUE(first.contains(", Qt 6.")) << first.toStdString();
    EXPECT_TRUE(first.contains(", hidapi 0.")) << first.toStdString();
    EXPECT_TRUE(logText().startsWith(QString::fromUtf8("WICHTIG: VOR DEM EINSCHALTEN")));
    // The executable's description: path, date, time, size and "Bytes".
    EXPECT_TRUE(logText().contains(QCoreApplication::applicationFilePath() + ' '));

    EXPECT_EQ(child<QLabel>("lblName0")->text(), "Beschriftung Kanal W");
    EXPECT_EQ(child<QLabel>("lblName3")->text(), "Beschriftung Kanal B");
    EXPECT_EQ(child<QPushButton>("btnOn2")->text(), "EIN");
    EXPECT_EQ(window->menu().mnuFile->title(), "Datei");
    EXPECT_EQ(window->menu().mnuRefresh->text(), "Alles neu einlesen");
    EXPECT_EQ(window->menu().mnuRefresh->shortcut(), QKeySequence(Qt::Key_F5));

    for (const ExpectedEnabling& entry : expectedEnablingTable()) {
        if (auto* widget = child<QWidget>(entry.name)) {
            EXPECT_FALSE(widget->isEnabled()) << entry.name.toStdString();
        }
    }
    EXPECT_FALSE(window->menu().mnuModeManual->isEnabled());
}

TEST_F(MainWindowTest, SlashExpertShowsTheExpertTabs) {
    create({"/EXPERT"});
    EXPECT_TRUE(tabVisible("tsExpert"));
    EXPECT_TRUE(tabVisible("tsJMP"));
    EXPECT_EQ(logLinesEndingWith("] Parameter: /EXPERT"), 1);
}

TEST_F(MainWindowTest, BareExpertIsOnlyLogged) {
    create({"expert"});
    EXPECT_FALSE(tabVisible("tsExpert"));
    EXPECT_FALSE(tabVisible("tsJMP"));
    EXPECT_FALSE(window->debugEnabled());
    EXPECT_EQ(logLinesEndingWith("] Parameter: expert"), 1);
}

TEST_F(MainWindowTest, DebugAndExpertTogetherDoBoth) {
    create({"-debug", "-expert"});
    EXPECT_TRUE(window->debugEnabled());
    EXPECT_TRUE(tabVisible("tsExpert"));
    EXPECT_TRUE(tabVisible("tsJMP"));
    EXPECT_EQ(logLinesEndingWith("] Parameter: -debug"), 1);
    EXPECT_EQ(logLinesEndingWith("] Parameter: -expert"), 1);
    EXPECT_EQ(logText().count("Parameter: "), 2);
}

TEST_F(MainWindowTest, SimulateSwitchIsLoggedAndMatchesNoWord) {
    startConnected();
    EXPECT_EQ(logLinesEndingWith("] Parameter: --simulate"), 1);
    EXPECT_FALSE(window->debugEnabled());
    EXPECT_FALSE(tabVisible("tsExpert"));
}

TEST_F(MainWindowTest, CtrlAltDTwiceLogsActiveThenInactive) {
    create({});
    showWindow();
    QTest::keyClick(window.get(), Qt::Key_D, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_TRUE(window->debugEnabled());
    QTest::keyClick(window.get(), Qt::Key_D, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_FALSE(window->debugEnabled());
    const QStringList lines = logLines();
    ASSERT_GE(lines.size(), 2);
    EXPECT_TRUE(lines[lines.size() - 2].endsWith("] Debug-Meldungen aktiv"));
    EXPECT_TRUE(lines.last().endsWith("] Debug-Meldungen inaktiv"));
    // Hidden: the item is in no menu.
    for (QAction* item : window->menu().mnuOptions->actions())
        EXPECT_NE(item, window->menu().mnuDebug);
}

TEST_F(MainWindowTest, ShowExpertOptionsTogglesBothTabsAndBringsExpertToFront) {
    create({"/expert"});
    showWindow();
    QTest::keyClick(window.get(), Qt::Key_F6);
    EXPECT_FALSE(tabVisible("tsExpert"));
    EXPECT_FALSE(tabVisible("tsJMP"));
    EXPECT_EQ(currentTabName(), "tsMessages");

    QTest::keyClick(window.get(), Qt::Key_F6);
    EXPECT_TRUE(tabVisible("tsExpert"));
    EXPECT_TRUE(tabVisible("tsJMP"));
    EXPECT_EQ(currentTabName(), "tsExpert");
}

TEST_F(MainWindowTest, ConnectingShowsTheTabOfTheModeAndAnnouncesTheBoard) {
    startConnected(1);
    EXPECT_EQ(currentTabName(), "tsSchedule");
    EXPECT_EQ(window->statusPanels()->panelText(0), "KestVELQOR 1.x.12 erkannt");
    EXPECT_EQ(logLinesEndingWith("] KestVELQOR 1.x.12 erkannt"), 1);
    EXPECT_TRUE(logText().contains("] HID 0: 4B56:0001 \"Kest Lighting\" \"KestVELQOR\""));
    EXPECT_EQ(window->taskbar().state(), TaskbarState::Normal);
    // Polling runs while the board is connected.
    service().setPollInterval(20);
    QSignalSpy polls(&service(), &BoardService::polled);
    EXPECT_TRUE(polls.wait(2000));
    EXPECT_TRUE(window->menu().mnuRefresh->isEnabled());
    EXPECT_TRUE(child<QWidget>("cmbName0")->isEnabled());
    // Auto mode: the levels belong to the schedule.
    EXPECT_FALSE(child<QWidget>("trb0")->isEnabled());
    EXPECT_FALSE(child<QWidget>("edt0")->isEnabled());
}

TEST_F(MainWindowTest, ConnectingInManualShowsTheChannels) {
    startConnected(0);
    EXPECT_EQ(currentTabName(), "tsChannels");
    EXPECT_TRUE(child<QWidget>("trb0")->isEnabled());
    EXPECT_TRUE(child<QWidget>("btnOn3")->isEnabled());
}

TEST_F(MainWindowTest, UnpluggingDisablesEverythingShowsMessagesAndSetsCaption) {
    startConnected(0);
    ASSERT_NE(window->windowTitle(), QString::fromUtf8("Kest Lighting • KestVELQOR 1.x.12"));
    ASSERT_FALSE(window->statusPanels()->panelText(1).isEmpty());
    sim().unplugBoard();
    ASSERT_TRUE(QTest::qWaitFor([this] { return !window->connected(); }, 5000));

    int found = 0;
    for (const ExpectedEnabling& entry : expectedEnablingTable()) {
        QObject* component = window->findChild<QObject*>(entry.name);
        if (auto* action = qobject_cast<QAction*>(component)) {
            EXPECT_FALSE(action->isEnabled()) << entry.name.toStdString();
            ++found;
        } else if (auto* widget = qobject_cast<QWidget*>(component)) {
            EXPECT_FALSE(widget->isEnabled()) << entry.name.toStdString();
            ++found;
        }
    }
    // Menu items, the channel rows and the schedule and curve tabs.
    EXPECT_GE(found, 12 + 6 * 4 + 2);
    EXPECT_EQ(currentTabName(), "tsMessages");
    EXPECT_EQ(window->windowTitle(), QString::fromUtf8("Kest Lighting • KestVELQOR 1.x.12"));
    EXPECT_EQ(window->statusPanels()->panelText(0), "KestVELQOR 1.x entfernt");
    EXPECT_TRUE(window->statusPanels()->panelText(1).isEmpty());
    EXPECT_TRUE(window->statusPanels()->panelText(2).isEmpty());
    EXPECT_TRUE(child<QLabel>("lblBoard")->text().isEmpty());
    EXPECT_EQ(window->taskbar().state(), TaskbarState::Error);
    // No polling without a board.
    service().setPollInterval(20);
    QSignalSpy polls(&service(), &BoardService::polled);
    QTest::qWait(200);
    EXPECT_EQ(polls.count(), 0);
}

TEST_F(MainWindowTest, ModeManualKeepsChannelsGLInFront) {
    startConnected(1);
    QTabWidget* pc = window->pages();
    pc->setTabVisible(pc->indexOf(window->page("tsChannelsGL")), true);
    pc->setCurrentWidget(window->page("tsChannelsGL"));
    QTest::keyClick(window.get(), Qt::Key_F1, Qt::ControlModifier);
    EXPECT_EQ(currentTabName(), "tsChannelsGL");
    EXPECT_EQ(service().info().Mode, 0);
    ASSERT_EQ(configWrites().size(), 1u);
    EXPECT_EQ(configWrites()[0].bytes[1 + 28], 0); // Mode
}

TEST_F(MainWindowTest, ModeCommandsSwitchTabsAndWriteTheConfiguration) {
    startConnected(0);
    QSignalSpy refills(&window->views(), &ViewSet::scheduleShown);
    QTest::keyClick(window.get(), Qt::Key_F2, Qt::ControlModifier);
    EXPECT_EQ(currentTabName(), "tsSchedule");
    EXPECT_EQ(board().info().Mode, 1);
    // The mode changed: every view shows the schedule again (the schedule
    // tab refills itself once more when it comes to the front).
    EXPECT_EQ(refills.count(), 1);
    QTest::keyClick(window.get(), Qt::Key_F3, Qt::ControlModifier);
    EXPECT_EQ(currentTabName(), "tsGeo");
    EXPECT_EQ(board().info().Mode, 2);
    EXPECT_EQ(configWrites().size(), 2u);
}

TEST_F(MainWindowTest, ChoosingTheSetModeAgainStillWritesTheConfiguration) {
    startConnected(0);
    QSignalSpy refills(&window->views(), &ViewSet::scheduleShown);
    window->menu().mnuModeManual->trigger();
    EXPECT_EQ(configWrites().size(), 1u);
    EXPECT_EQ(refills.count(), 0);
    window->menu().mnuModeManual->trigger();
    EXPECT_EQ(configWrites().size(), 2u);
    EXPECT_EQ(refills.count(), 0);
}

TEST_F(MainWindowTest, OptionsMenuChecksTheModeAndExpertItemOnOpening) {
    startConnected(2);
    QMenu* options = window->menu().mnuOptions;
    options->popup(window->mapToGlobal(QPoint(20, 20)));
    ASSERT_TRUE(QTest::qWaitFor([options] { return options->isVisible(); }, 2000));
    EXPECT_TRUE(window->menu().mnuModeGeo->isChecked());
    EXPECT_FALSE(window->menu().mnuModeManual->isChecked());
    EXPECT_FALSE(window->menu().mnuShowExpert->isChecked());
    options->hide();
}

TEST_F(MainWindowTest, FileMenuOffersFirmwareUpdateOnlyWithADeviceHeld) {
    create({});
    showWindow();
    QMenu* file = window->menu().mnuFile;
    file->popup(window->mapToGlobal(QPoint(20, 20)));
    ASSERT_TRUE(QTest::qWaitFor([file] { return file->isVisible(); }, 2000));
    EXPECT_FALSE(window->menu().mnuFirmwareUpdate->isEnabled());
    file->hide();
}

TEST_F(MainWindowTest, FileMenuEnablesFirmwareUpdateWithTheBoardHeld) {
    startConnected(0);
    QMenu* file = window->menu().mnuFile;
    file->popup(window->mapToGlobal(QPoint(20, 20)));
    ASSERT_TRUE(QTest::qWaitFor([file] { return file->isVisible(); }, 2000));
    EXPECT_TRUE(window->menu().mnuFirmwareUpdate->isEnabled());
    file->hide();
}

TEST_F(MainWindowTest, RefreshReadsEveryRecord) {
    startConnected(0);
    QTest::keyClick(window.get(), Qt::Key_F5);
    EXPECT_EQ(reads(2).size(), 1u);
    EXPECT_EQ(reads(4).size(), 1u);
    EXPECT_GE(reads(1).size(), 2u); // the InfoBlock, and again with the schedule
    EXPECT_EQ(reads(3).size(), board().schedule().size());
}

TEST_F(MainWindowTest, SaveSettingsSendsCommand254) {
    startConnected(0);
    QTest::keyClick(window.get(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(board().saveRequests(), 1);
}

TEST_F(MainWindowTest, SetTimeAndDateShowsGeoAndSetsTheBoardClock) {
    startConnected(0);
    board().setBoardTime(QDateTime::currentDateTime().addSecs(-3 * 3600));
    window->menu().mnuSetTimeDate->trigger();
    EXPECT_EQ(currentTabName(), "tsGeo");
    const qint64 drift = std::abs(board().boardTime().secsTo(QDateTime::currentDateTime()));
    EXPECT_LE(drift, 2);
}

TEST_F(MainWindowTest, ChartTabRereadsExpertRecordAndChart) {
    startConnected(0);
    window->switchToTab(window->page("tsTemp"));
    EXPECT_EQ(reads(2).size(), 1u);
    EXPECT_EQ(reads(4).size(), 1u);
    // Switching to the tab already in front does nothing.
    window->switchToTab(window->page("tsTemp"));
    EXPECT_EQ(reads(2).size(), 1u);
}

TEST_F(MainWindowTest, HiddenWindowDoesNotPoll) {
    startConnected(0);
    window->hide();
    poll();
    EXPECT_TRUE(reads(1).empty());
    window->show();
    poll();
    EXPECT_EQ(reads(1).size(), 1u);
}

TEST_F(MainWindowTest, HelpMenuOpensTheDocumentationPages) {
    create({});
    showWindow();
    QTest::keyClick(window.get(), Qt::Key_F1);
    window->menu().mnuHardware->trigger();
    ASSERT_EQ(openedUrls.size(), 2u);
    EXPECT_EQ(openedUrls[0].toString(),
              "https://docs.kestlighting.example/doku.php?id=kestvelqor1x:faq");
    EXPECT_EQ(openedUrls[1].toString(),
              "https://docs.kestlighting.example/doku.php?id=kestvelqor1x:hardware");
}

TEST_F(MainWindowTest, ErrorEscapingAHandlerIsLoggedAndTheProgramGoesOn) {
    create({});
    showWindow();
    GuardedApplication::setErrorHook(
        [this](const QString& message) { window->reporter().log(message); });
    auto* failing = new QAction(window.get());
    failing->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_J));
    window->addAction(failing);
    QObject::connect(failing, &QAction::triggered,
                     [] { throw std::runtime_error("Zugriffsverletzung bei Adresse 0"); });

    QTest::keyClick(window.get(), Qt::Key_J, Qt::ControlModifier);
    EXPECT_TRUE(logLines().last().endsWith("] Zugriffsverletzung bei Adresse 0"));

    // The window still answers.
    QTest::keyClick(window.get(), Qt::Key_D, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_TRUE(logLines().last().endsWith("] Debug-Meldungen aktiv"));
    GuardedApplication::setErrorHook({});
}

TEST_F(MainWindowTest, RefreshLeavesTheLogForThePageOfTheMode) {
    const std::pair<int, const char*> pages[] = {
        {0, "tsChannels"}, {1, "tsSchedule"}, {2, "tsGeo"}};
    for (const auto& [mode, page] : pages) {
        startConnected(mode);
        window->switchToTab(window->page("tsMessages"));
        QTest::keyClick(window.get(), Qt::Key_F5);
        EXPECT_EQ(currentTabName(), page) << "mode " << mode;
        // With another tab in front, a refresh leaves it there.
        window->switchToTab(window->page("tsConfig"));
        QTest::keyClick(window.get(), Qt::Key_F5);
        EXPECT_EQ(currentTabName(), "tsConfig");
        TearDown();
    }
}

TEST_F(MainWindowTest, SetAllChannelsTo20PercentBringsTheChannelsAndStores819) {
    startConnected(1);
    window->switchToTab(window->page("tsMessages"));
    QTest::keyClick(window.get(), Qt::Key_2, Qt::ControlModifier);
    EXPECT_EQ(currentTabName(), "tsChannels");
    ASSERT_EQ(levelWrites().size(), 1u);
    for (int channel = 0; channel < 4; ++channel) {
        EXPECT_EQ(service().info().Level[channel], 819);
        EXPECT_EQ(levelOf(levelWrites()[0], channel), 819);
    }
}

TEST_F(MainWindowTest, ExitClosesWithoutWritingToTheBoard) {
    startConnected(0);
    window->menu().mnuExit->trigger();
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(writes(1).empty());
    EXPECT_TRUE(writes(2).empty());
    EXPECT_TRUE(writes(3).empty());
}

} // namespace
} // namespace kv::testing
