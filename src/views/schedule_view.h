#pragma once

#include "schedule/schedule_cells.h"
#include "views/view.h"

class QAction;
class QMenu;
class QPlainTextEdit;
class QTableWidgetItem;

namespace kv {

class ScheduleGrid;

// The schedule tab: the board's schedule as a table with one row per line,
// edited cell by cell, and a note that explains the columns. Every edit goes
// to the board at once: the whole schedule is written.
class ScheduleView : public View {
    Q_OBJECT
public:
    explicit ScheduleView(ViewContext context);

    // Fills the table from the schedule (the cell being typed into keeps its
    // text).
    void showSchedule() override;
    // The line the board is on is highlighted; the table follows a change of
    // mode (times or altitudes).
    void showInfo() override;
    void applyEnabling(const ViewFacts& facts) override;
    // Coming to the front refills the table.
    void activated() override;
    void textsApplied() override;

    ScheduleGrid* grid() const { return sgSchedule_; }
    QPlainTextEdit* description() const { return memDescription_; }
    QMenu* columnMenu() const { return pumCol_; }
    QAction* copyAction() const { return mnuCopyCol_; }
    QAction* pasteAction() const { return mnuPasteCol_; }
    QAction* swapAction() const { return mnuSwapCol_; }
    // The channel of the column last pressed with the right button, and the
    // channel copied from the column menu (-1: nothing copied).
    int menuColumn() const { return menuColumn_; }
    int copiedColumn() const { return copiedColumn_; }

private:
    void buildGrid();
    void buildColumnMenu();
    int lineCount() const;
    schedule::Place place() const;
    QTableWidgetItem* cell(int row, int column);
    // The texts, flags and colours of one row.
    void fillRow(int row);
    void paintCell(int row, int column);
    void showCurrentLine();
    void showChannelNames();
    void fitColumnWidths();

    // Reads the row of line index back from its texts into the line and
    // writes the schedule; not when the edited cell's text is refused.
    void ReadGridRow(int index, int editedColumn = -1);
    // Handlers of the grid and the column menu.
    void sgScheduleSetEditText(int row, int column, const QString& text);
    void sgScheduleFlagClick(int row, int column);
    void sgScheduleMouseDown(int row, int column, QPoint globalPosition);
    void sgScheduleRowMoved(int from, int to);
    void pumColPopup();
    void mnuCopyColClick();
    void mnuPasteColClick();
    void mnuSwapColClick();
    // After a paste or swap into copies of the records: the board, the
    // names and every view follow.
    void afterColumnsChanged(const InfoBlock& configuration, const Schedule& lines);

    ScheduleGrid* sgSchedule_ = nullptr;
    QPlainTextEdit* memDescription_ = nullptr;
    QMenu* pumCol_ = nullptr;
    QAction* mnuCopyCol_ = nullptr;
    QAction* mnuPasteCol_ = nullptr;
    QAction* mnuSwapCol_ = nullptr;
    EnablingList enabling_;
    // What the place column shows since the last fill.
    schedule::Place shownPlace_ = schedule::Place::Time;
    int menuColumn_ = -1;
    int copiedColumn_ = -1;
};

} // namespace kv
