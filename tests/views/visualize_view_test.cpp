// The day-curve tab: dragging handles, locking times, the wheel and the list
// of channels, against the simulated board.
#include "view_test_support.h"
#include "wheel_turn.h"

#include "plot/day_curve.h"
#include "plot/day_curve_geometry.h"
#include "views/day_curve_picture.h"
#include "views/visualize_view.h"

#include <QCheckBox>
#include <QComboBox>

#include <cmath>

namespace kv::testing {
namespace {

class VisualizeViewTest : public ViewTest<VisualizeView> {
protected:
    void startConnected(BoardMode mode = BoardMode::Auto) {
        create();
        board().setBoardTime(QDateTime(QDate(2024, 6, 21), QTime(14, 0)));
        connectBoard(mode);
        showView();
        bringToFront();
        ASSERT_EQ(view->linePoints().size(), service.schedule().size());
    }

    DayCurvePicture* picture() { return view->picture(); }
    QPoint handleOf(int line) {
        const LinePoint& point = view->linePoints()[std::size_t(line)];
        return {int(std::lround(point.x)),
                int(std::lround(point.y[std::size_t(view->visualChannel())]))};
    }
    curve::CurveFrame frame() { return {picture()->width(), picture()->height()}; }
    std::size_t lineWrites() { return writes(ScheduleLine::ReportId).size(); }
    // Waits for the drag's redraw timer to draw the picture.
    bool labelShown() {
        return QTest::qWaitFor(
            [this] { return picture()->image().pixel(0, 0) == curvecolor::DragLabelBackground; });
    }
};

TEST_F(VisualizeViewTest, DraggingAHandleToTheFarRightSetsTheEndOfTheDay) {
    startConnected();
    const int line = 3;
    QTest::mousePress(picture(), Qt::LeftButton, Qt::NoModifier, handleOf(line));
    EXPECT_EQ(view->dragLine(), line);
    EXPECT_TRUE(view->redrawTimer().isActive());
    const QPoint corner(picture()->width() - 1, 0);
    QTest::mouseMove(picture(), corner);
    // The picture shows the dragged line's draft; the records and the board
    // keep the line until the release, and the timer draws the label.
    const ScheduleLine drafted = view->scene().schedule[std::size_t(line)];
    EXPECT_EQ(drafted.Hour, 24);
    EXPECT_EQ(drafted.Minute, 0);
    EXPECT_EQ(drafted.Color16[0], FullLevel);
    EXPECT_EQ(service.schedule(), board().schedule());
    EXPECT_EQ(lineWrites(), 0u);
    EXPECT_TRUE(labelShown());
    EXPECT_EQ(dragLabelText(drafted, 0, false), "24:00 100%");

    QTest::mouseRelease(picture(), Qt::LeftButton, Qt::NoModifier, corner);
    EXPECT_EQ(view->dragLine(), -1);
    EXPECT_FALSE(view->redrawTimer().isActive());
    EXPECT_EQ(lineWrites(), service.schedule().size());
    EXPECT_EQ(board().schedule()[line].Hour, 24);
    EXPECT_EQ(board().schedule()[line].Color16[0], FullLevel);
    EXPECT_EQ(service.schedule()[line], drafted);
    EXPECT_NE(picture()->image().pixel(0, 0), curvecolor::DragLabelBackground);
}

TEST_F(VisualizeViewTest, AReadDuringADragKeepsTheDraftAndTheOtherLinesOfTheBoard) {
    startConnected();
    QTest::mousePress(picture(), Qt::LeftButton, Qt::NoModifier, handleOf(3));
    ASSERT_EQ(view->dragLine(), 3);
    QTest::mouseMove(picture(), QPoint(picture()->width() - 1, 0));
    // The board's schedule changes under the drag and is read.
    board().schedule()[5].Color16[0] = 1234;
    reread(BoardRecord::Schedule);
    EXPECT_EQ(view->scene().schedule[3].Hour, 24);
    EXPECT_EQ(view->scene().schedule[5].Color16[0], 1234);
    QTest::mouseRelease(picture(), Qt::LeftButton, Qt::NoModifier,
                        QPoint(picture()->width() - 1, 0));
    EXPECT_EQ(board().schedule()[3].Hour, 24);
    EXPECT_EQ(board().schedule()[5].Color16[0], 1234);
}

TEST_F(VisualizeViewTest, LockTimesChangesOnlyTheLevel) {
    startConnected();
    view->timeLock()->click();
    ASSERT_TRUE(view->timeLock()->isChecked());
    const ScheduleLine before = service.schedule()[4];
    QTest::mousePress(picture(), Qt::LeftButton, Qt::NoModifier, handleOf(4));
    QTest::mouseMove(picture(), QPoint(30, picture()->height() - 1));
    QTest::mouseRelease(picture(), Qt::LeftButton, Qt::NoModifier,
                        QPoint(30, picture()->height() - 1));
    const ScheduleLine& after = board().schedule()[4];
    EXPECT_EQ(after.Hour, before.Hour);
    EXPECT_EQ(after.Minute, before.Minute);
    EXPECT_EQ(after.Color16[0], 0);
}

TEST_F(VisualizeViewTest, GeoModeHidesLockTimesAndMovesOnlyLevels) {
    startConnected(BoardMode::Geo);
    EXPECT_FALSE(view->timeLock()->isVisible());
    const ScheduleLine before = service.schedule()[3];
    QTest::mousePress(picture(), Qt::LeftButton, Qt::NoModifier, handleOf(3));
    ASSERT_EQ(view->dragLine(), 3);
    QTest::mouseMove(picture(), QPoint(picture()->width() - 1, 0));
    QTest::mouseRelease(picture(), Qt::LeftButton, Qt::NoModifier,
                        QPoint(picture()->width() - 1, 0));
    EXPECT_EQ(board().schedule()[3].Hour, before.Hour);
    EXPECT_EQ(board().schedule()[3].Alt, before.Alt);
    EXPECT_EQ(board().schedule()[3].Color16[0], FullLevel);
    // The lines lie at their path angles.
    const auto angles = curve::linePathAngles(service.schedule());
    EXPECT_NEAR(view->linePoints()[3].x, frame().pathX(angles[3]), 1e-9);
}

TEST_F(VisualizeViewTest, APressBesideEveryHandleDragsNothingAndWritesNothing) {
    startConnected();
    QTest::mousePress(picture(), Qt::LeftButton, Qt::NoModifier, QPoint(3, 3));
    QTest::mouseMove(picture(), QPoint(200, 200));
    QTest::mouseRelease(picture(), Qt::LeftButton, Qt::NoModifier, QPoint(200, 200));
    EXPECT_EQ(lineWrites(), 0u);
    EXPECT_EQ(service.schedule(), board().schedule());
    EXPECT_FALSE(view->redrawTimer().isActive());
}

TEST_F(VisualizeViewTest, WheelChoosesTheChannelWithinTheFour) {
    startConnected();
    // Away from the user on channel 0 keeps channel 0.
    turnWheel(picture(), 120);
    EXPECT_EQ(view->visualChannel(), 0);
    EXPECT_EQ(view->channelList()->currentIndex(), 0);
    // Towards the user: the next channel, over any control of the tab.
    turnWheel(picture(), -120);
    EXPECT_EQ(view->visualChannel(), 1);
    turnWheel(view->timeLock(), -120);
    turnWheel(view->channelList(), -120);
    turnWheel(picture(), -120);
    EXPECT_EQ(view->visualChannel(), 3);
    EXPECT_EQ(view->channelList()->currentIndex(), 3);
    // Handles are now those of channel 3.
    const LinePoint& point = view->linePoints()[4];
    const QRgb pixel =
        picture()->image().pixel(int(std::lround(point.x)) - 3, int(std::lround(point.y[3])) - 3);
    EXPECT_EQ(pixel, names.curveColor(3));
    // Not while another tab is in front.
    views.setFront(nullptr);
    turnWheel(picture(), 120);
    EXPECT_EQ(view->visualChannel(), 3);
}

TEST_F(VisualizeViewTest, ChannelListIsFixedAndNamesTheChannels) {
    startConnected();
    QComboBox* list = view->channelList();
    EXPECT_FALSE(list->isEditable());
    ASSERT_EQ(list->count(), 4);
    for (int channel = 0; channel < 4; ++channel)
        EXPECT_EQ(list->itemText(channel), names.name(channel));
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_Down);
    EXPECT_EQ(view->visualChannel(), 2);
    // A new colour name reaches the list after the next read.
    board().info().ColorName[2] = 4;
    poll();
    EXPECT_EQ(list->itemText(2), names.name(2));
    EXPECT_EQ(list->currentIndex(), 2);
}

TEST_F(VisualizeViewTest, MarkerFollowsTheBoardsClockWhileTheTabIsInFront) {
    startConnected();
    const auto markerAt = [this](int minutes) {
        const int x = int(std::lround(frame().timeX(minutes)));
        for (int dx = -1; dx <= 1; ++dx)
            if (picture()->image().pixel(x + dx, 5) == curvecolor::Marker)
                return true;
        return false;
    };
    board().setBoardTime(QDateTime(QDate(2024, 6, 21), QTime(6, 10)));
    poll();
    EXPECT_TRUE(markerAt(6 * 60 + 10));
    views.setFront(nullptr);
    board().setBoardTime(QDateTime(QDate(2024, 6, 21), QTime(18, 10)));
    poll();
    EXPECT_FALSE(markerAt(18 * 60 + 10));
    bringToFront();
    EXPECT_TRUE(markerAt(18 * 60 + 10));
}

} // namespace
} // namespace kv::testing
