#pragma once

#include <QLineEdit>
#include <QPointer>
#include <QTableWidget>

namespace kv {

// The table of the schedule tab, `sgSchedule`: one row per line. It knows how
// a person works its cells and tells the view what happened; what that means
// for the schedule is the view's business.
//
// - Typing into a cell opens its editor; every change of the editor's text is
//   reported at once (cellTextEdited).
// - A left click on a flag cell (or Space on it) toggles it; flag cells never
//   open an editor (flagClicked).
// - Dragging a row by its first cell moves it (rowMoved, in rows).
// - A right press on a cell or a header section is reported with its row (-1
//   for the header) and column; so is the context-menu key on a cell, as a
//   press on its column's header (rightPressed).
class ScheduleGrid : public QTableWidget {
    Q_OBJECT
public:
    explicit ScheduleGrid(QWidget* parent = nullptr);

    // The columns whose cells toggle on a click (set by the view).
    void setFlagColumns(QList<int> columns) { flagColumns_ = std::move(columns); }
    bool isFlagColumn(int column) const { return flagColumns_.contains(column); }

    // The editor open in a cell, if any.
    QLineEdit* cellEditor() const { return editor_; }
    QModelIndex editedIndex() const;
    // Closes the open editor; its text was taken (or refused) while typing.
    void closeCellEditor();

    // A cell whose text was not taken: red text and the reason as tooltip,
    // until the cell is filled again.
    void markCell(int row, int column, const QString& reason);
    void clearCellMark(int row, int column);
    bool isCellMarked(int row, int column) const;

    // Where a drag by the first cell is heading; -1 when none runs.
    int dropRow() const { return dragRow_ >= 0 ? dropRow_ : -1; }

signals:
    void cellTextEdited(int row, int column, const QString& text);
    void flagClicked(int row, int column);
    void rightPressed(int row, int column, QPoint globalPosition);
    void rowMoved(int from, int to);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;

private:
    friend class ScheduleCellDelegate;
    void editorOpened(QLineEdit* editor, const QModelIndex& index);
    void finishRowDrag(bool move);

    QList<int> flagColumns_;
    QPointer<QLineEdit> editor_;
    QPersistentModelIndex editorIndex_;
    int dragRow_ = -1;
    int dropRow_ = -1;
};

} // namespace kv
