// The configuration, chart, expert and JMP pin tabs in the window: the whole
// enabling table on a connected board, the catalogue's texts and the chart
// tab's reread.
#include "enabling_expectations.h"
#include "window_test_support.h"

#include "views/enabling.h"

#include <QAccessible>
#include <QAction>
#include <QPushButton>
#include <QSlider>

namespace kv::testing {
namespace {

class SettingsTabsTest : public WindowTest {
protected:
    // The window in expert mode, connected to a board with or without the
    // water-temperature sensor.
    void startWith(bool sensor, std::uint8_t fanMode) {
        create({"--simulate", "/expert"});
        if (!sensor)
            board().info().WaterTemp = NoValue;
        board().expert().FanMode = fanMode;
        showWindow();
        ASSERT_TRUE(QTest::qWaitFor([this] { return window->connected(); }, 5000));
    }

    void expectTableFollowed() {
        ViewFacts facts = factsOf(service().info(), service().expert(), true, false);
        facts.fanFollowsLeds = service().expert().FanMode == ExpertBlock::FanModeLeds;
        for (const ExpectedEnabling& entry : expectedEnablingTable()) {
            if (isStillToCome(entry.name))
                continue;
            QObject* component = window->findChild<QObject*>(entry.name);
            ASSERT_NE(component, nullptr) << entry.name.toStdString();
            const bool enabled = qobject_cast<QAction*>(component)
                                     ? qobject_cast<QAction*>(component)->isEnabled()
                                     : qobject_cast<QWidget*>(component)->isEnabled();
            EXPECT_EQ(enabled, isEnabledBy(entry.rule, facts)) << entry.name.toStdString();
        }
    }
};

TEST_F(SettingsTabsTest, ControlsFollowTheTableWithTheSensor) {
    startWith(true, ExpertBlock::FanModeWater);
    expectTableFollowed();
    EXPECT_TRUE(child("edtTempWaterLow")->isEnabled());
    EXPECT_FALSE(child("edtFanOff")->isEnabled());
}

TEST_F(SettingsTabsTest, ControlsFollowTheTableWithoutTheSensor) {
    startWith(false, ExpertBlock::FanModeLeds);
    expectTableFollowed();
    EXPECT_FALSE(child("rbtCHMTempWater")->isEnabled());
    EXPECT_TRUE(child("rbtCHMVoltage")->isEnabled());
}

TEST_F(SettingsTabsTest, CatalogueTextsReachCaptionsCopiesAndNames) {
    create({"/expert"});
    EXPECT_EQ(child<QPushButton>("btnApplyTZI")->text(),
              QString::fromUtf8("Aus Windows übernehmen"));
    EXPECT_EQ(child<QPushButton>("btnRealtime")->text(), "Echtzeit");
    EXPECT_EQ(child<QAction>("mnuCHMTempWater")->text(), "KestTHERMAL");
    EXPECT_EQ(child<QAction>("mnuCHMVoltage")->text(), "Eingangsspannung");
    QAccessibleInterface* slider = QAccessible::queryAccessibleInterface(child("trbFanLow"));
    EXPECT_EQ(slider->text(QAccessible::Name), "Langsame Stufe (%)");
    for (const char* hidden :
         {"lblPWMPrescaler", "edtPWMPrescaler", "rbtFMOWaterMaster", "rbtCHMTempSlave"})
        EXPECT_FALSE(child(hidden)->isVisibleTo(window.get())) << hidden;
    EXPECT_FALSE(child<QAction>("mnuCHMTempSlave")->isVisible());
}

// The German captions still fit the smallest tab area the window allows.
TEST_F(SettingsTabsTest, TabsFitTheSmallestTabArea) {
    create({"/expert"});
    for (const char* sheet : {"tsConfig", "tsTemp", "tsExpert", "tsJMP"}) {
        const QSize needed = window->page(sheet)->minimumSizeHint();
        EXPECT_LE(needed.width(), 767) << sheet;
        EXPECT_LE(needed.height(), 531) << sheet;
    }
}

TEST_F(SettingsTabsTest, ChartTabRereadsWhenItComesToTheFront) {
    startConnected(1, {"--simulate", "/expert"});
    window->switchToTab(window->page("tsTemp"));
    EXPECT_FALSE(reads(ExpertBlock::ReportId).empty());
    EXPECT_FALSE(reads(ChartBlock::ReportId).empty());
}

} // namespace
} // namespace kv::testing
