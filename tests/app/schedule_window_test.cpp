// The schedule grid and the day curve inside the window: mode commands, tab
// changes, the wheel over the whole window, texts and enabling.
#include "wheel_turn.h"
#include "window_test_support.h"

#include "plot/day_curve_geometry.h"
#include "schedule/schedule_cells.h"
#include "views/day_curve_picture.h"
#include "views/schedule_grid.h"
#include "views/visualize_view.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QPlainTextEdit>
#include <QTabBar>

#include <cmath>

namespace kv::testing {
namespace {

class ScheduleWindowTest : public WindowTest {
protected:
    ScheduleGrid* grid() { return child<ScheduleGrid>("sgSchedule"); }
    DayCurvePicture* picture() { return child<DayCurvePicture>("img"); }
    QComboBox* channelList() { return child<QComboBox>("cmbVisualize"); }
    void showPage(const char* name) {
        window->switchToTab(window->page(QString::fromLatin1(name)));
    }
};

TEST_F(ScheduleWindowTest, ModeCommandsSwitchTheGridBetweenTimesAndAltitudes) {
    startConnected(1);
    ASSERT_EQ(currentTabName(), "tsSchedule");
    EXPECT_EQ(grid()->horizontalHeaderItem(1)->text(), "Zeit");
    EXPECT_EQ(grid()->item(3, 1)->text(), "12:00");
    QTest::keyClick(window.get(), Qt::Key_F3, Qt::ControlModifier);
    EXPECT_EQ(grid()->horizontalHeaderItem(1)->text(), QString::fromUtf8("Höhe"));
    EXPECT_EQ(grid()->item(3, 1)->text(), "17.46"); // Alt 3000
    QTest::keyClick(window.get(), Qt::Key_F2, Qt::ControlModifier);
    EXPECT_EQ(currentTabName(), "tsSchedule");
    EXPECT_EQ(grid()->horizontalHeaderItem(1)->text(), "Zeit");
    EXPECT_EQ(grid()->item(3, 1)->text(), "12:00");
}

TEST_F(ScheduleWindowTest, ADragInTheCurveShowsInTheGridWhenItsTabComesBack) {
    startConnected(1);
    showPage("tsVisualize");
    const LinePoint& point = window->findChild<VisualizeView*>()->linePoints()[3];
    const QPoint handle(int(std::lround(point.x)), int(std::lround(point.y[0])));
    const curve::CurveFrame frame{picture()->width(), picture()->height()};
    const QPoint target(int(std::lround(frame.timeX(13 * 60))), handle.y());
    QTest::mousePress(picture(), Qt::LeftButton, Qt::NoModifier, handle);
    QTest::mouseMove(picture(), target);
    QTest::mouseRelease(picture(), Qt::LeftButton, Qt::NoModifier, target);
    ASSERT_EQ(board().schedule()[3].Hour, 13);
    showPage("tsSchedule");
    EXPECT_EQ(grid()->item(3, 1)->text(), schedule::timeText(13, board().schedule()[3].Minute));
}

TEST_F(ScheduleWindowTest, WheelAnywhereInTheWindowChoosesTheChannelOnTheCurveTab) {
    startConnected(1);
    showPage("tsVisualize");
    turnWheel(window->pages()->tabBar(), -120);
    EXPECT_EQ(channelList()->currentIndex(), 1);
    EXPECT_EQ(currentTabName(), "tsVisualize"); // the tab bar did not take it
    turnWheel(window->statusPanels(), -120);
    EXPECT_EQ(channelList()->currentIndex(), 2);
    // On another tab the wheel is the window's own.
    showPage("tsSchedule");
    turnWheel(grid()->viewport(), -120);
    EXPECT_EQ(channelList()->currentIndex(), 2);
}

TEST_F(ScheduleWindowTest, CatalogueTextsAndAccessibleNames) {
    create();
    EXPECT_TRUE(child<QPlainTextEdit>("memDescription")
                    ->toPlainText()
                    .startsWith(QString::fromUtf8("Spalte \"Zeit\" für Modus \"Auto\"")));
    EXPECT_EQ(channelList()->accessibleName(),
              "Folgenden Kanal durch Klicken und Ziehen einstellen:");
    EXPECT_EQ(child<QCheckBox>("cbxTimeLock")->accessibleName(),
              QString::fromUtf8("Zeiten schützen"));
    EXPECT_EQ(grid()->accessibleName(), "Zeitplan");
    EXPECT_EQ(child<QAction>("mnuPasteCol")->text(), QString::fromUtf8("In diese Spalte einfügen"));
}

} // namespace
} // namespace kv::testing
