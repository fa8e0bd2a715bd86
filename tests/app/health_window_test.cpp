// The health line, the clock and mode panels and the caption, as the board's
// InfoBlock arrives.
#include "window_test_support.h"

#include "device/clock_sync.h"
#include "views/channel_panel.h"
#include "views/health_display.h"

#include <QLabel>
#include <QSlider>

namespace kv::testing {
namespace {

class HealthWindowTest : public WindowTest {
protected:
    QLabel* boardLabel() { return child<QLabel>("lblBoard"); }
    QColor labelColor() { return boardLabel()->palette().color(QPalette::WindowText); }
    QColor normalColor() {
        return boardLabel()->parentWidget()->palette().color(QPalette::WindowText);
    }
};

TEST_F(HealthWindowTest, RamFullShowsItsTextInTheNormalColour) {
    startConnected(0);
    board().info().ErrorFlags = 0x10;
    board().info().WaterTemp = NoValue;
    board().info().InputVoltage = NoValue;
    poll();
    EXPECT_EQ(boardLabel()->text(), "RAM voll");
    EXPECT_EQ(labelColor(), normalColor());
    EXPECT_NE(normalColor(), QColor(Qt::red));
    EXPECT_EQ(window->windowTitle(),
              QString::fromUtf8("Kest Lighting • KestVELQOR 1.x.12 • RAM voll"));
}

TEST_F(HealthWindowTest, Bit5ShowsNoTextButRed) {
    startConnected(0);
    board().info().ErrorFlags = 0x20;
    board().info().WaterTemp = NoValue;
    board().info().InputVoltage = NoValue;
    poll();
    EXPECT_TRUE(boardLabel()->text().isEmpty());
    EXPECT_EQ(labelColor(), QColor(Qt::red));
    // Back to normal when the board is well again.
    board().info().ErrorFlags = 0;
    poll();
    EXPECT_EQ(labelColor(), normalColor());
}

TEST_F(HealthWindowTest, NothingToReportLeavesTheCaptionEndingInABullet) {
    startConnected(0);
    board().info().ErrorFlags = 0;
    board().info().WaterTemp = NoValue;
    board().info().InputVoltage = NoValue;
    poll();
    EXPECT_TRUE(window->windowTitle().endsWith(QString::fromUtf8(" • ")));
    EXPECT_EQ(window->windowTitle(), QString::fromUtf8("Kest Lighting • KestVELQOR 1.x.12 • "));
}

TEST_F(HealthWindowTest, ClockPanelShowsTheBoardsTime) {
    startConnected(0);
    const QDateTime when(QDate(2024, 12, 24), QTime(18, 5, 33));
    board().setBoardTime(when);
    poll();
    EXPECT_EQ(window->statusPanels()->panelText(1), boardClockText(when));
    EXPECT_TRUE(window->statusPanels()->panelText(1).contains("18:05:3"));
}

TEST_F(HealthWindowTest, ModePanelShowsModeAndActivityLetters) {
    startConnected(0);
    EXPECT_EQ(window->statusPanels()->panelText(2), "Manuell");
    board().info().Mode = 1;
    board().info().ActivityFlags = 0x01 | 0x02 | 0x20;
    poll();
    EXPECT_EQ(window->statusPanels()->panelText(2), "AutoWGT");
}

TEST_F(HealthWindowTest, InvalidBoardDateStopsTheHealthRefresh) {
    startConnected(0);
    board().info().ErrorFlags = 0x10;
    poll();
    const QString caption = window->windowTitle();
    const QString status = boardLabel()->text();
    const QString clock = window->statusPanels()->panelText(1);
    ASSERT_TRUE(caption.contains("RAM voll"));

    // A record with month 0, shown as after a read.
    link().info.Month = 0;
    link().info.ErrorFlags = 0x01;
    link().info.Level[0] = 4096;
    link().ShowInfo();
    EXPECT_EQ(window->windowTitle(), caption);
    EXPECT_EQ(boardLabel()->text(), status);
    EXPECT_NE(labelColor(), QColor(Qt::red));
    EXPECT_EQ(window->statusPanels()->panelText(1), clock);
    // The other decoders still ran.
    EXPECT_EQ(window->channelPanel()->slider(0)->value(), 4096);
}

} // namespace
} // namespace kv::testing
