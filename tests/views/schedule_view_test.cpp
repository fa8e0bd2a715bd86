// The schedule tab driven by mouse and keyboard against the simulated board.
#include "view_test_support.h"

#include "schedule/schedule_cells.h"
#include "views/input_marks.h"
#include "views/schedule_grid.h"
#include "views/schedule_view.h"

#include <QAction>
#include <QClipboard>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>

namespace kv::testing {
namespace {

using schedule::CloudsColumn;
using schedule::LineColumn;
using schedule::PlaceColumn;

class ScheduleViewTest : public ViewTest<ScheduleView> {
protected:
    void TearDown() override {
        QLocale::setDefault(QLocale::c());
        ViewTest::TearDown();
    }

    // The view, shown, with the board connected in the given mode.
    void startConnected(BoardMode mode = BoardMode::Auto) {
        create();
        connectBoard(mode);
        showView();
        board().clearTransfers();
    }

    ScheduleGrid* grid() { return view->grid(); }
    QString text(int row, int column) { return grid()->item(row, column)->text(); }
    QPoint cellCenter(int row, int column) {
        return grid()->visualRect(grid()->model()->index(row, column)).center();
    }
    void click(int row, int column, Qt::MouseButton button = Qt::LeftButton) {
        QTest::mouseClick(grid()->viewport(), button, Qt::NoModifier, cellCenter(row, column));
    }
    // A click opens the cell's editor at once (or goes into the editor that
    // is open there).
    QLineEdit* openEditor(int row, int column) {
        const QModelIndex open = grid()->editedIndex();
        if (open.isValid() && open.row() == row && open.column() == column)
            QTest::mouseClick(grid()->cellEditor(), Qt::LeftButton);
        else
            click(row, column);
        QLineEdit* editor = grid()->cellEditor();
        EXPECT_NE(editor, nullptr);
        if (editor) {
            EXPECT_TRUE(editor->hasFocus());
            editor->selectAll();
        }
        return editor;
    }
    void typeInto(int row, int column, const QString& typed) {
        if (QLineEdit* editor = openEditor(row, column))
            QTest::keyClicks(editor, typed);
    }
    // The whole text arrives at once, as a paste does.
    void pasteInto(int row, int column, const QString& pasted) {
        QApplication::clipboard()->setText(pasted);
        if (QLineEdit* editor = openEditor(row, column))
            QTest::keyClick(editor, Qt::Key_V, Qt::ControlModifier);
    }
    void rightClickHeader(int column) {
        QHeaderView* header = grid()->horizontalHeader();
        const QPoint at(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                        header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::RightButton, Qt::NoModifier, at);
    }
    void chooseFromMenu(QAction* action) {
        QMenu* menu = view->columnMenu();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(menu));
        QTest::mouseClick(menu, Qt::LeftButton, Qt::NoModifier,
                          menu->actionGeometry(action).center());
    }
    std::size_t lineWrites() { return writes(ScheduleLine::ReportId).size(); }
};

TEST_F(ScheduleViewTest, ShowsEveryLineWithItsHeadersAndAnEmptyRowForNoLines) {
    startConnected();
    const Schedule& lines = service.schedule();
    ASSERT_EQ(grid()->columnCount(), 10);
    ASSERT_EQ(grid()->rowCount(), int(lines.size()));
    EXPECT_EQ(grid()->horizontalHeaderItem(LineColumn)->text(), "Zeile");
    EXPECT_EQ(grid()->horizontalHeaderItem(PlaceColumn)->text(), "Zeit");
    EXPECT_EQ(grid()->horizontalHeaderItem(2)->text(), names.name(0));
    for (int column = 0; column < 10; ++column)
        EXPECT_EQ(text(5, column), schedule::cellText(lines[5], 5, column, schedule::Place::Time));
    EXPECT_EQ(grid()->item(0, 2)->background().color(), names.tint(0));
    EXPECT_GE(grid()->columnWidth(2), 80);
    // The cell editor is named after its column.
    QLineEdit* editor = openEditor(1, 3);
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->accessibleName(), names.name(1));

    board().schedule().clear();
    reread(BoardRecord::Schedule);
    EXPECT_EQ(grid()->rowCount(), 1);
    EXPECT_EQ(text(0, PlaceColumn), "");
}

TEST_F(ScheduleViewTest, SevenColonFiveStoresHourAndMinuteAndShowsZeroPadded) {
    startConnected();
    typeInto(3, PlaceColumn, "7:5");
    EXPECT_EQ(service.schedule()[3].Hour, 7);
    EXPECT_EQ(service.schedule()[3].Minute, 5);
    EXPECT_EQ(board().schedule()[3].Hour, 7);
    EXPECT_EQ(board().schedule()[3].Minute, 5);
    // Every keystroke that left a text wrote the whole schedule.
    EXPECT_EQ(lineWrites(), 3 * service.schedule().size());
    EXPECT_EQ(text(3, PlaceColumn), "7:5");
    views.showSchedule();
    EXPECT_EQ(text(3, PlaceColumn), "07:05");
}

TEST_F(ScheduleViewTest, MinuteAloneKeepsTheHour) {
    create();
    board().schedule()[1].Hour = 8;
    board().schedule()[1].Minute = 0;
    connectBoard(BoardMode::Auto);
    showView();
    ASSERT_EQ(text(1, PlaceColumn), "08:00");
    pasteInto(1, PlaceColumn, "30");
    EXPECT_EQ(board().schedule()[1].Hour, 8);
    EXPECT_EQ(board().schedule()[1].Minute, 30);
}

TEST_F(ScheduleViewTest, TimesAndPercentOutsideTheirRangesAreRefusedAndNothingIsWritten) {
    startConnected();
    const Schedule before = service.schedule();
    for (const char* typed : {"25:00", "12:60", "24:30"}) {
        pasteInto(2, PlaceColumn, QString::fromLatin1(typed));
        EXPECT_TRUE(isMarkedInvalid(grid()->cellEditor())) << typed;
        EXPECT_TRUE(grid()->isCellMarked(2, PlaceColumn)) << typed;
    }
    pasteInto(2, 3, "101");
    EXPECT_TRUE(isMarkedInvalid(grid()->cellEditor()));
    EXPECT_EQ(lineWrites(), 0u);
    EXPECT_EQ(service.schedule(), before);
    EXPECT_EQ(board().schedule(), before);

    // Text that is no number changes no field; an emptied cell writes nothing.
    pasteInto(2, 3, "viel");
    EXPECT_FALSE(isMarkedInvalid(grid()->cellEditor()));
    EXPECT_EQ(service.schedule(), before);
    board().clearTransfers();
    QTest::keyClick(grid()->cellEditor(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(grid()->cellEditor(), Qt::Key_Backspace);
    EXPECT_EQ(lineWrites(), 0u);
    // A number in range takes the mark away and goes out.
    pasteInto(2, 3, "100");
    EXPECT_FALSE(grid()->isCellMarked(2, 3));
    EXPECT_EQ(board().schedule()[2].Color16[1], 4096);
}

TEST_F(ScheduleViewTest, LeftClickOnAnOnCloudsCellClearsOnlyThatBit) {
    create();
    board().schedule()[3].Switch = 0x1F | ScheduleLine::Display | ScheduleLine::Clouds;
    connectBoard(BoardMode::Auto);
    showView();
    board().clearTransfers();
    ASSERT_EQ(text(3, CloudsColumn), "EIN");
    click(3, CloudsColumn);
    EXPECT_EQ(text(3, CloudsColumn), "AUS");
    EXPECT_EQ(board().schedule()[3].Switch, 0x1F | ScheduleLine::Display);
    EXPECT_EQ(lineWrites(), service.schedule().size());
    // A flag cell never opens an editor; its OFF background is button face.
    EXPECT_EQ(grid()->cellEditor(), nullptr);
    EXPECT_EQ(grid()->item(3, CloudsColumn)->background().color(),
              view->palette().color(QPalette::Button));
    // Space on the current flag cell toggles it too.
    grid()->setFocus();
    grid()->setCurrentCell(3, CloudsColumn);
    QTest::keyClick(grid(), Qt::Key_Space);
    EXPECT_EQ(text(3, CloudsColumn), "EIN");
    EXPECT_EQ(board().schedule()[3].Switch, 0x1F | ScheduleLine::Display | ScheduleLine::Clouds);
}

TEST_F(ScheduleViewTest, RightClickOnTheFirstCellOfRowThreeSendsTheBoardToLineTwo) {
    startConnected();
    click(2, LineColumn, Qt::RightButton);
    EXPECT_EQ(service.info().CurrentLine, 2);
    const auto sent = writes(InfoBlock::ReportId);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(infoByte(sent[0], InfoBlock::CurrentLineOffset), 2);
    EXPECT_EQ(infoByte(sent[0], InfoBlock::MinuteOffset), InfoBlock::UnsetByte);
    EXPECT_FALSE(carriesLevels(sent[0]));
    EXPECT_EQ(grid()->item(2, LineColumn)->background().color(),
              view->palette().color(QPalette::Highlight));
    EXPECT_EQ(grid()->item(1, LineColumn)->background().color(),
              view->palette().color(QPalette::Button));
    // A right click elsewhere in the row sends nothing.
    click(2, 3, Qt::RightButton);
    EXPECT_EQ(writes(InfoBlock::ReportId).size(), 1u);
}

TEST_F(ScheduleViewTest, MovingRowTwoToRowFiveRenumbersAndWritesOncePerRow) {
    create();
    board().schedule()[1].Alt = 1234;
    board().schedule()[1].Switch = 0x07;
    connectBoard(BoardMode::Auto);
    showView();
    board().clearTransfers();
    const Schedule before = service.schedule();
    const std::size_t count = before.size();

    QWidget* cells = grid()->viewport();
    QTest::mousePress(cells, Qt::LeftButton, Qt::NoModifier, cellCenter(1, LineColumn));
    QTest::mouseMove(cells, cellCenter(2, LineColumn));
    QTest::mouseMove(cells, cellCenter(4, LineColumn));
    EXPECT_EQ(grid()->dropRow(), 4);
    QTest::mouseRelease(cells, Qt::LeftButton, Qt::NoModifier, cellCenter(4, LineColumn));

    const Schedule expected{before[0], before[2], before[3], before[4],
                            before[1], before[5], before[6], before[7]};
    EXPECT_EQ(service.schedule(), expected);
    EXPECT_EQ(board().schedule(), expected);
    for (int row = 0; row < int(count); ++row)
        EXPECT_EQ(text(row, LineColumn), QString::number(row));
    EXPECT_EQ(text(4, PlaceColumn), schedule::timeText(before[1].Hour, before[1].Minute));
    // Rows 1 to 4 each wrote the whole schedule.
    EXPECT_EQ(lineWrites(), 4 * count);
}

TEST_F(ScheduleViewTest, PasteIsOfferedOnlyAfterACopyAndCopiesNameAndLevels) {
    startConnected();
    rightClickHeader(2);
    QMenu* menu = view->columnMenu();
    ASSERT_TRUE(menu->isVisible());
    EXPECT_EQ(view->menuColumn(), 0);
    EXPECT_TRUE(view->copyAction()->isEnabled());
    EXPECT_FALSE(view->pasteAction()->isEnabled());
    EXPECT_FALSE(view->swapAction()->isEnabled());
    chooseFromMenu(view->copyAction());
    EXPECT_EQ(view->copiedColumn(), 0);
    EXPECT_TRUE(writes(InfoBlock::ReportId).empty());

    // The copy follows the channel, not its old values.
    board().info().ColorName[0] = 5;
    poll();
    rightClickHeader(4);
    ASSERT_TRUE(menu->isVisible());
    EXPECT_TRUE(view->pasteAction()->isEnabled());
    EXPECT_TRUE(view->swapAction()->isEnabled());
    chooseFromMenu(view->pasteAction());

    EXPECT_EQ(board().info().ColorName[2], 5);
    ASSERT_EQ(configWrites().size(), 1u);
    for (const ScheduleLine& line : board().schedule())
        EXPECT_EQ(line.Color16[2], line.Color16[0]);
    EXPECT_EQ(lineWrites(), service.schedule().size());
    EXPECT_EQ(grid()->horizontalHeaderItem(4)->text(), names.name(2));
    EXPECT_TRUE(names.name(2).startsWith("G: "));
    EXPECT_EQ(text(5, 4), text(5, 2));
}

TEST_F(ScheduleViewTest, EditingOneCellOfATwentyLineScheduleWritesAllTwenty) {
    create();
    board().schedule() = Schedule(20);
    connectBoard(BoardMode::Auto);
    showView();
    board().clearTransfers();
    typeInto(7, 9, "5");
    const auto sent = writes(ScheduleLine::ReportId);
    ASSERT_EQ(sent.size(), 20u);
    for (std::size_t k = 0; k < sent.size(); ++k)
        EXPECT_EQ(sent[k].bytes[1], k);
    EXPECT_EQ(board().schedule()[7].Timer, 5);
}

TEST_F(ScheduleViewTest, GeoModeShowsAndReadsAltitudes) {
    startConnected(BoardMode::Geo);
    EXPECT_EQ(grid()->horizontalHeaderItem(PlaceColumn)->text(), QString::fromUtf8("Höhe"));
    EXPECT_EQ(text(3, PlaceColumn), schedule::altitudeText(service.schedule()[3].Alt));
    const int hour = service.schedule()[3].Hour;
    pasteInto(3, PlaceColumn, "-6");
    EXPECT_EQ(board().schedule()[3].Alt, -1045);
    EXPECT_EQ(board().schedule()[3].Hour, hour);
}

TEST_F(ScheduleViewTest, TheCurrentLineFollowsTheBoardWhileACellIsTypedInto) {
    // In Manual mode the board stays on the line it is given.
    startConnected(BoardMode::Manual);
    QLineEdit* editor = openEditor(5, 2);
    ASSERT_NE(editor, nullptr);
    QTest::keyClicks(editor, "4");
    board().info().CurrentLine = 6;
    poll();
    EXPECT_EQ(grid()->item(6, LineColumn)->background().color(),
              view->palette().color(QPalette::Highlight));
    EXPECT_EQ(grid()->cellEditor(), editor);
    EXPECT_EQ(editor->text(), "4");
    // Showing the schedule anew closes the editor; what was typed is stored.
    views.showSchedule();
    EXPECT_EQ(grid()->cellEditor(), nullptr);
    EXPECT_EQ(text(5, 2), "4");
    EXPECT_EQ(board().schedule()[5].Color16[0], 164);
}

TEST_F(ScheduleViewTest, GermanLocaleUsesTheDecimalComma) {
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    startConnected();
    pasteInto(2, 2, "12,5");
    EXPECT_EQ(board().schedule()[2].Color16[0], 512);
}

} // namespace
} // namespace kv::testing
