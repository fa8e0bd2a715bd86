#include "views/schedule_grid.h"

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>

namespace kv {

namespace {

constexpr int MarkReasonRole = Qt::UserRole + 1;
const QColor MarkColor(0xb0, 0x00, 0x00);
constexpr int DropLineWidth = 2;

} // namespace

// The in-place editor of a cell: a plain line edit that reports each change
// of its text, named after its column for screen readers.
class ScheduleCellDelegate : public QStyledItemDelegate {
public:
    explicit ScheduleCellDelegate(ScheduleGrid* grid) : QStyledItemDelegate(grid), grid_(grid) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        Q_UNUSED(option)
        auto* editor = new QLineEdit(parent);
        editor->setFrame(false);
        if (const QTableWidgetItem* header = grid_->horizontalHeaderItem(index.column()))
            editor->setAccessibleName(header->text());
        const QPersistentModelIndex cell(index);
        QObject::connect(editor, &QLineEdit::textEdited, grid_,
                         [grid = grid_, cell](const QString& text) {
                             if (cell.isValid())
                                 emit grid->cellTextEdited(cell.row(), cell.column(), text);
                         });
        grid_->editorOpened(editor, index);
        return editor;
    }

    // The view puts the typed text into the cell while the editor is open:
    // the editor keeps its cursor then.
    void setEditorData(QWidget* editor, const QModelIndex& index) const override {
        auto* edit = static_cast<QLineEdit*>(editor);
        const QString text = index.data(Qt::EditRole).toString();
        if (edit->text() != text)
            edit->setText(text);
    }

private:
    ScheduleGrid* grid_;
};

ScheduleGrid::ScheduleGrid(QWidget* parent) : QTableWidget(parent) {
    setItemDelegate(new ScheduleCellDelegate(this));
    // The editor opens as soon as a cell becomes the current one.
    setEditTriggers(QAbstractItemView::CurrentChanged | QAbstractItemView::DoubleClicked |
                    QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setTabKeyNavigation(true);
    verticalHeader()->hide();
    horizontalHeader()->setSectionsClickable(false);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setContextMenuPolicy(Qt::PreventContextMenu);
    horizontalHeader()->viewport()->installEventFilter(this);
}

QModelIndex ScheduleGrid::editedIndex() const {
    return editor_ ? QModelIndex(editorIndex_) : QModelIndex();
}

void ScheduleGrid::closeCellEditor() {
    if (editor_)
        closeEditor(editor_, QAbstractItemDelegate::NoHint);
}

void ScheduleGrid::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
    if (editor == editor_) {
        editor_ = nullptr;
        editorIndex_ = QPersistentModelIndex();
    }
    QTableWidget::closeEditor(editor, hint);
}

void ScheduleGrid::editorOpened(QLineEdit* editor, const QModelIndex& index) {
    editor_ = editor;
    editorIndex_ = index;
}

void ScheduleGrid::markCell(int row, int column, const QString& reason) {
    QTableWidgetItem* cell = item(row, column);
    if (!cell)
        return;
    cell->setData(MarkReasonRole, reason);
    cell->setForeground(MarkColor);
    cell->setToolTip(reason);
}

void ScheduleGrid::clearCellMark(int row, int column) {
    QTableWidgetItem* cell = item(row, column);
    if (!cell || !isCellMarked(row, column))
        return;
    cell->setData(MarkReasonRole, QVariant());
    cell->setData(Qt::ForegroundRole, QVariant());
    cell->setToolTip(QString());
}

bool ScheduleGrid::isCellMarked(int row, int column) const {
    const QTableWidgetItem* cell = item(row, column);
    return cell && cell->data(MarkReasonRole).isValid();
}

void ScheduleGrid::mousePressEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    const int row = rowAt(at.y());
    const int column = columnAt(at.x());
    if (event->button() == Qt::RightButton) {
        // The current cell and its editor stay where they are; a press beside
        // the cells means nothing.
        if (row >= 0 && column >= 0)
            emit rightPressed(row, column, event->globalPosition().toPoint());
        event->accept();
        return;
    }
    if (event->button() == Qt::LeftButton && row >= 0 && isFlagColumn(column)) {
        emit flagClicked(row, column);
        event->accept();
        return;
    }
    if (event->button() == Qt::LeftButton && row >= 0 && column == 0) {
        dragRow_ = row;
        dropRow_ = row;
        viewport()->setCursor(Qt::SizeVerCursor);
    }
    QTableWidget::mousePressEvent(event);
}

void ScheduleGrid::mouseMoveEvent(QMouseEvent* event) {
    if (dragRow_ < 0) {
        QTableWidget::mouseMoveEvent(event);
        return;
    }
    const int y = int(event->position().y());
    int row = rowAt(y);
    if (row < 0)
        row = y < 0 ? 0 : rowCount() - 1;
    if (row != dropRow_) {
        dropRow_ = row;
        viewport()->update();
    }
    event->accept();
}

void ScheduleGrid::mouseReleaseEvent(QMouseEvent* event) {
    if (dragRow_ >= 0 && event->button() == Qt::LeftButton) {
        finishRowDrag(true);
        event->accept();
        return;
    }
    QTableWidget::mouseReleaseEvent(event);
}

void ScheduleGrid::finishRowDrag(bool move) {
    const int from = dragRow_;
    const int to = dropRow_;
    dragRow_ = -1;
    dropRow_ = -1;
    viewport()->unsetCursor();
    viewport()->update();
    if (move && from >= 0 && to >= 0 && from != to)
        emit rowMoved(from, to);
}

void ScheduleGrid::keyPressEvent(QKeyEvent* event) {
    const QModelIndex current = currentIndex();
    if (event->key() == Qt::Key_Space && current.isValid() && isFlagColumn(current.column())) {
        emit flagClicked(current.row(), current.column());
        event->accept();
        return;
    }
    if (event->key() == Qt::Key_Escape && dragRow_ >= 0) {
        finishRowDrag(false);
        event->accept();
        return;
    }
    QTableWidget::keyPressEvent(event);
}

void ScheduleGrid::contextMenuEvent(QContextMenuEvent* event) {
    // Mouse presses are reported by mousePressEvent; the keyboard's menu key
    // acts on the current cell's column as a press on its header would.
    const QModelIndex current = currentIndex();
    if (event->reason() == QContextMenuEvent::Keyboard && current.isValid()) {
        const QRect cell = visualRect(current);
        emit rightPressed(-1, current.column(), viewport()->mapToGlobal(cell.bottomLeft()));
    }
    event->accept();
}

void ScheduleGrid::paintEvent(QPaintEvent* event) {
    QTableWidget::paintEvent(event);
    if (dragRow_ < 0 || dropRow_ == dragRow_)
        return;
    // Where the dragged row will land: above the target row when moving up,
    // below it when moving down.
    const int top = rowViewportPosition(dropRow_);
    const int y = dropRow_ > dragRow_ ? top + rowHeight(dropRow_) - 1 : top;
    QPainter painter(viewport());
    painter.fillRect(QRect(0, y - DropLineWidth / 2, viewport()->width(), DropLineWidth),
                     palette().color(QPalette::Highlight));
}

bool ScheduleGrid::eventFilter(QObject* watched, QEvent* event) {
    if (watched == horizontalHeader()->viewport() && event->type() == QEvent::MouseButtonPress) {
        auto* press = static_cast<QMouseEvent*>(event);
        if (press->button() == Qt::RightButton) {
            const int column = horizontalHeader()->logicalIndexAt(press->position().toPoint());
            if (column >= 0)
                emit rightPressed(-1, column, press->globalPosition().toPoint());
            return true;
        }
    }
    return QTableWidget::eventFilter(watched, event);
}

} // namespace kv
