// The Chart tab against the simulated board: rereads on click and when it
// comes to the front, the pop-up menu that switches the source, redraws.
#include "view_input.h"
#include "view_test_support.h"

#include "plot/chart_drawing.h"
#include "text/text_catalogue.h"
#include "views/chart_view.h"
#include "views/picture_box.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QMenu>

namespace kv::testing {
namespace {

class ChartViewTest : public ViewTest<ChartView> {
protected:
    void start() {
        create();
        connectBoard(BoardMode::Auto);
        showView();
    }

    PictureBox* picture() { return view->picture(); }
    QAction* item(const char* name) { return child<QAction>(QString::fromLatin1(name)); }
    bool rereadBoth() {
        return !readsOf(board(), ExpertBlock::ReportId).empty() &&
               !readsOf(board(), ChartBlock::ReportId).empty();
    }
    // Opens the pop-up menu as a right click on the picture does.
    void openMenu() {
        const QPoint at(20, 20);
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, picture()->mapToGlobal(at));
        QApplication::sendEvent(picture(), &event);
        ASSERT_TRUE(view->menu()->isVisible());
    }
    int pixelsOf(const std::function<bool(QRgb)>& wanted) {
        const QImage& image = picture()->image();
        int count = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                count += wanted(image.pixel(x, y)) ? 1 : 0;
        return count;
    }
};

bool blue(QRgb c) {
    return c == 0xFF0000FFu;
}

TEST_F(ChartViewTest, ClickAndComingToTheFrontRereadAndRedraw) {
    start();
    EXPECT_EQ(picture()->image().size(), picture()->size());
    EXPECT_GT(pixelsOf(blue), 0);
    EXPECT_TRUE(picture()->accessibleDescription().contains("Neuester Wert: 25"));
    EXPECT_EQ(picture()->cursor().shape(), Qt::CrossCursor);

    QTest::mouseClick(picture(), Qt::LeftButton, Qt::NoModifier, QPoint(30, 30));
    EXPECT_TRUE(rereadBoth());
    board().clearTransfers();
    bringToFront();
    EXPECT_TRUE(rereadBoth());

    view->resize(700, 420);
    QApplication::processEvents();
    EXPECT_EQ(picture()->image().size(), picture()->size());
    expectAccessibleNames(view.get());
}

TEST_F(ChartViewTest, MenuFollowsSensorAndSourceAndSwitchesTheSource) {
    board().info().WaterTemp = NoValue;
    start();
    openMenu();
    EXPECT_FALSE(item("mnuCHMTempWater")->isEnabled());
    EXPECT_TRUE(item("mnuCHMTempWater")->isChecked());
    EXPECT_FALSE(item("mnuCHMVoltage")->isChecked());
    EXPECT_FALSE(item("mnuCHMTempSlave")->isVisible());
    view->menu()->close();

    board().clearTransfers();
    item("mnuCHMVoltage")->trigger();
    ASSERT_EQ(writes(ExpertBlock::ReportId).size(), 1u);
    EXPECT_EQ(board().expert().ChartMode, ExpertBlock::ChartVoltage);
    EXPECT_TRUE(rereadBoth());
    // The board's voltage history in black with volts.
    EXPECT_EQ(pixelsOf(blue), 0);
    EXPECT_GT(pixelsOf([](QRgb c) { return c == 0xFF000000u; }), 0);
    EXPECT_TRUE(picture()->accessibleDescription().contains(" V"));
    openMenu();
    EXPECT_TRUE(item("mnuCHMVoltage")->isChecked());
    EXPECT_FALSE(item("mnuCHMTempWater")->isChecked());
    view->menu()->close();
}

TEST_F(ChartViewTest, EmptyNewestSampleShowsTheNotConnectedText) {
    board().chart().Sample[0] = NoValue;
    start();
    EXPECT_EQ(pixelsOf(blue), 0);
    EXPECT_EQ(picture()->accessibleDescription(), Msg("KestTHERMALNotConnected"));
}

TEST_F(ChartViewTest, MenuCaptionsAreTheSourceButtonsCaptions) {
    create();
    view->textsApplied();
    EXPECT_EQ(item("mnuCHMTempWater")->text(), "KestTHERMAL");
    EXPECT_EQ(item("mnuCHMVoltage")->text(), "Eingangsspannung");
    EXPECT_TRUE(item("mnuCHMTempSlave")->text().startsWith("Slave-Temperatur"));
    EXPECT_EQ(item("mnuCHMTempBoard")->text(), "Board temperature"); // no catalogue entry
}

} // namespace
} // namespace kv::testing
