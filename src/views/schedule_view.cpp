#include "views/schedule_view.h"

#include "board/board_service.h"
#include "schedule/schedule_edits.h"
#include "views/channel_names.h"
#include "views/component_texts.h"
#include "views/input_marks.h"
#include "views/schedule_grid.h"

#include <QAction>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QStyle>

#include <algorithm>

namespace kv {

namespace {

using namespace schedule;

// Column widths and the row height at 96 dots per inch.
constexpr int LineColumnWidth = 30;
constexpr int PlaceColumnWidth = 46;
constexpr int LevelColumnWidth = 80;
constexpr int FlagColumnWidth = 50;
constexpr int RowHeight = 18;
constexpr int DescriptionWidth = 240;
constexpr int HeaderTextSlack = 4;

// The design-time text of the note; the catalogue puts the German one there.
const char* const DesignDescription =
    "Column \"Time\" for mode \"Auto\", column \"Altitude\" for mode \"Geo\".\n\n"
    "Times and altitudes must be in ascending order.\n"
    "00:00 = beginning of the day, 24:00 = end of the day.\n\n"
    "Moving a line: click into column \"Line\" and drag.\n\n"
    "Saving the configuration permanently: \"Options / Save settings permanently\".";

int designWidth(int column) {
    if (column == LineColumn)
        return LineColumnWidth;
    if (column == PlaceColumn)
        return PlaceColumnWidth;
    if (channelOfColumn(column) >= 0)
        return LevelColumnWidth;
    return FlagColumnWidth;
}

bool isTyped(int column) {
    return column == PlaceColumn || channelOfColumn(column) >= 0 || column == TimerColumn;
}

} // namespace

ScheduleView::ScheduleView(ViewContext context)
    : View(context, QStringLiteral("tsSchedule"), QStringLiteral("Schedule")) {
    buildGrid();
    memDescription_ = new QPlainTextEdit(this);
    memDescription_->setObjectName(QStringLiteral("memDescription"));
    memDescription_->setReadOnly(true);
    memDescription_->setPlainText(QString::fromLatin1(DesignDescription));
    memDescription_->setFixedWidth(DescriptionWidth);
    memDescription_->setAccessibleName(QString::fromUtf8("Erläuterung der Spalten"));

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(sgSchedule_, 1);
    layout->addWidget(memDescription_);

    buildColumnMenu();
    enabling_.add(EnableRule::Connected, {this, memDescription_});
    connect(&channelNames(), &ChannelNames::changed, this, &ScheduleView::showChannelNames);
    showSchedule();
}

void ScheduleView::buildGrid() {
    sgSchedule_ = new ScheduleGrid(this);
    sgSchedule_->setObjectName(QStringLiteral("sgSchedule"));
    sgSchedule_->setColumnCount(ColumnCount);
    sgSchedule_->setFlagColumns({DisplayColumn, CloudsColumn, StormsColumn});
    for (int column = 0; column < ColumnCount; ++column) {
        sgSchedule_->setHorizontalHeaderItem(column, new QTableWidgetItem(QString()));
        sgSchedule_->setColumnWidth(column, designWidth(column));
    }
    QHeaderView* rows = sgSchedule_->verticalHeader();
    rows->setMinimumSectionSize(1);
    rows->setDefaultSectionSize(std::max(RowHeight, fontMetrics().height() + 4));
    rows->setSectionResizeMode(QHeaderView::Fixed);

    connect(sgSchedule_, &ScheduleGrid::cellTextEdited, this, &ScheduleView::sgScheduleSetEditText);
    connect(sgSchedule_, &ScheduleGrid::flagClicked, this, &ScheduleView::sgScheduleFlagClick);
    connect(sgSchedule_, &ScheduleGrid::rightPressed, this, &ScheduleView::sgScheduleMouseDown);
    connect(sgSchedule_, &ScheduleGrid::rowMoved, this, &ScheduleView::sgScheduleRowMoved);
}

void ScheduleView::buildColumnMenu() {
    pumCol_ = new QMenu(this);
    pumCol_->setObjectName(QStringLiteral("pumCol"));
    const auto item = [this](const char* name, const char* caption) {
        QAction* action = pumCol_->addAction(QString::fromLatin1(caption));
        action->setObjectName(QString::fromLatin1(name));
        return action;
    };
    mnuCopyCol_ = item("mnuCopyCol", "Copy content of this column");
    mnuPasteCol_ = item("mnuPasteCol", "Paste into this column");
    mnuSwapCol_ = item("mnuSwapCol", "Swap this and copied column");
    connect(pumCol_, &QMenu::aboutToShow, this, &ScheduleView::pumColPopup);
    connect(mnuCopyCol_, &QAction::triggered, this, &ScheduleView::mnuCopyColClick);
    connect(mnuPasteCol_, &QAction::triggered, this, &ScheduleView::mnuPasteColClick);
    connect(mnuSwapCol_, &QAction::triggered, this, &ScheduleView::mnuSwapColClick);
}

int ScheduleView::lineCount() const {
    return int(board().schedule().size());
}

schedule::Place ScheduleView::place() const {
    return placeOfMode(board().info().Mode);
}

QTableWidgetItem* ScheduleView::cell(int row, int column) {
    QTableWidgetItem* item = sgSchedule_->item(row, column);
    if (!item) {
        item = new QTableWidgetItem;
        sgSchedule_->setItem(row, column, item);
    }
    return item;
}

// ---------------------------------------------------------------------------
// Showing the schedule

void ScheduleView::showSchedule() {
    // The schedule is shown anew (read, imported, another mode): a cell's
    // editor would hold a text of the old one. What was typed is stored.
    sgSchedule_->closeCellEditor();
    shownPlace_ = place();
    for (int column = 0; column < ColumnCount; ++column)
        if (channelOfColumn(column) < 0)
            sgSchedule_->horizontalHeaderItem(column)->setText(headerText(column, shownPlace_));
    // An empty schedule shows one empty row.
    sgSchedule_->setRowCount(std::max(1, lineCount()));
    for (int row = 0; row < sgSchedule_->rowCount(); ++row)
        fillRow(row);
    showChannelNames();
}

void ScheduleView::fillRow(int row) {
    const bool isLine = row < lineCount();
    // The cell the user is typing into keeps its text (a moved row may
    // refill it).
    const QModelIndex edited = sgSchedule_->editedIndex();
    for (int column = 0; column < ColumnCount; ++column) {
        QTableWidgetItem* item = cell(row, column);
        Qt::ItemFlags flags = Qt::ItemIsEnabled;
        if (isLine && isTyped(column))
            flags |= Qt::ItemIsSelectable | Qt::ItemIsEditable;
        item->setFlags(flags);
        if (edited.isValid() && edited.row() == row && edited.column() == column)
            continue;
        sgSchedule_->clearCellMark(row, column);
        item->setText(isLine
                          ? cellText(board().schedule()[std::size_t(row)], row, column, shownPlace_)
                          : QString());
        paintCell(row, column);
    }
}

// The cell colours: the line the board is on, the channels' tints, ON and OFF.
void ScheduleView::paintCell(int row, int column) {
    QTableWidgetItem* item = sgSchedule_->item(row, column);
    if (!item || column == PlaceColumn)
        return;
    const QPalette& colors = palette();
    if (column == LineColumn) {
        const bool current = row == board().info().CurrentLine;
        item->setBackground(colors.color(current ? QPalette::Highlight : QPalette::Button));
        item->setForeground(
            colors.color(current ? QPalette::HighlightedText : QPalette::ButtonText));
    } else if (const int channel = channelOfColumn(column); channel >= 0) {
        item->setBackground(channelNames().tint(channel));
    } else {
        const bool off = item->text() == flagText(false);
        item->setBackground(colors.color(off ? QPalette::Button : QPalette::Base));
    }
}

void ScheduleView::showCurrentLine() {
    for (int row = 0; row < sgSchedule_->rowCount(); ++row)
        paintCell(row, LineColumn);
}

void ScheduleView::showChannelNames() {
    for (int channel = 0; channel < ChannelCount; ++channel) {
        const int column = columnOfChannel(channel);
        sgSchedule_->horizontalHeaderItem(column)->setText(channelNames().name(channel));
        for (int row = 0; row < sgSchedule_->rowCount(); ++row)
            paintCell(row, column);
    }
    fitColumnWidths();
}

// The designed widths, wider where a header's text needs it.
void ScheduleView::fitColumnWidths() {
    QHeaderView* header = sgSchedule_->horizontalHeader();
    const int margins = 2 * header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header) +
                        HeaderTextSlack;
    for (int column = 0; column < ColumnCount; ++column) {
        const QString text = sgSchedule_->horizontalHeaderItem(column)->text();
        const int needed =
            std::max(designWidth(column), header->fontMetrics().horizontalAdvance(text) + margins);
        if (header->sectionSize(column) < needed)
            header->resizeSection(column, needed);
    }
}

void ScheduleView::showInfo() {
    if (place() != shownPlace_)
        showSchedule();
    else
        showCurrentLine();
}

void ScheduleView::activated() {
    showSchedule();
}

void ScheduleView::applyEnabling(const ViewFacts& facts) {
    enabling_.apply(facts);
}

void ScheduleView::textsApplied() {
    const QString caption = componentCaption(this);
    sgSchedule_->setAccessibleName(caption.isEmpty() ? designCaption() : caption);
    pumCol_->setAccessibleName(sgSchedule_->accessibleName());
    fitColumnWidths();
}

// ---------------------------------------------------------------------------
// Editing

void ScheduleView::ReadGridRow(int index, int editedColumn) {
    if (index < 0 || index >= lineCount())
        return;
    QStringList texts;
    for (int column = 0; column < ColumnCount; ++column)
        texts << cell(index, column)->text();
    ScheduleLine line = board().schedule()[std::size_t(index)];
    const RowInput outcomes = applyRowTexts(line, index, texts, shownPlace_);
    for (int column = 0; column < ColumnCount; ++column) {
        const CellInput& outcome = outcomes[std::size_t(column)];
        if (outcome.outcome == CellInput::Refused)
            sgSchedule_->markCell(index, column, outcome.reason);
        else
            sgSchedule_->clearCellMark(index, column);
    }
    if (editedColumn >= 0) {
        const CellInput& edited = outcomes[std::size_t(editedColumn)];
        QLineEdit* editor = sgSchedule_->cellEditor();
        if (edited.outcome == CellInput::Refused) {
            // Nothing of this row is stored or sent while its cell is refused.
            if (editor)
                markInvalid(editor, edited.reason);
            return;
        }
        if (editor)
            clearInvalid(editor);
    }
    board().setScheduleLine(index, line);
}

void ScheduleView::sgScheduleSetEditText(int row, int column, const QString& text) {
    cell(row, column)->setText(text);
    // An emptied cell changes nothing.
    if (text.isEmpty())
        return;
    ReadGridRow(row, column);
}

void ScheduleView::sgScheduleFlagClick(int row, int column) {
    if (row >= lineCount())
        return;
    QTableWidgetItem* item = cell(row, column);
    item->setText(toggledFlagText(item->text()));
    paintCell(row, column);
    ReadGridRow(row);
}

void ScheduleView::sgScheduleMouseDown(int row, int column, QPoint globalPosition) {
    menuColumn_ = column - FirstLevelColumn;
    if (row < 0) {
        if (channelOfColumn(column) >= 0)
            pumCol_->popup(globalPosition);
        return;
    }
    // The board goes to the line chosen by its first cell.
    if (column == LineColumn && row < lineCount()) {
        board().selectLine(row);
        showCurrentLine();
    }
}

void ScheduleView::sgScheduleRowMoved(int from, int to) {
    if (from >= lineCount() || to >= lineCount())
        return;
    // The schedule is written once per row between; every row between takes
    // its new number and contents.
    board().moveLine(from, to);
    for (int row = std::min(from, to); row <= std::max(from, to); ++row)
        fillRow(row);
}

// ---------------------------------------------------------------------------
// Column menu

void ScheduleView::pumColPopup() {
    const bool copied = copiedColumn_ != -1;
    mnuPasteCol_->setEnabled(copied);
    mnuSwapCol_->setEnabled(mnuPasteCol_->isEnabled());
}

void ScheduleView::mnuCopyColClick() {
    // A reference to the channel: a later paste takes its values as they are
    // then.
    copiedColumn_ = menuColumn_;
}

void ScheduleView::mnuPasteColClick() {
    InfoBlock configuration = board().info();
    Schedule lines = board().schedule();
    if (pasteChannel(configuration, lines, copiedColumn_, menuColumn_))
        afterColumnsChanged(configuration, lines);
}

void ScheduleView::mnuSwapColClick() {
    InfoBlock configuration = board().info();
    Schedule lines = board().schedule();
    if (swapChannels(configuration, lines, copiedColumn_, menuColumn_))
        afterColumnsChanged(configuration, lines);
}

void ScheduleView::afterColumnsChanged(const InfoBlock& configuration, const Schedule& lines) {
    // The colour names go with the configuration, the levels with the
    // schedule.
    board().setConfiguration(configuration);
    board().setSchedule(lines);
    channelNames().ApplyChannelNames();
    shell().showRecordAgain(BoardRecord::Schedule);
}

} // namespace kv
