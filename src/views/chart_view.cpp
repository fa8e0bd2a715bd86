#include "views/chart_view.h"

#include "board/board_service.h"
#include "plot/board_chart.h"
#include "text/text_catalogue.h"
#include "views/component_texts.h"
#include "views/picture_box.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QVBoxLayout>

namespace kv {

ChartView::ChartView(ViewContext context, std::function<QDateTime()> computerClock)
    : View(context, QStringLiteral("tsTemp"), QStringLiteral("Chart")),
      computerClock_(std::move(computerClock)) {
    auto* layout = new QVBoxLayout(this);
    imgTemp_ = new PictureBox(QStringLiteral("imgTemp"), this);
    imgTemp_->setCursor(Qt::CrossCursor);
    imgTemp_->setFocusPolicy(Qt::StrongFocus);
    imgTemp_->setContextMenuPolicy(Qt::CustomContextMenu);
    imgTemp_->setAccessibleName(QStringLiteral("Chart"));
    layout->addWidget(imgTemp_);

    pumChart_ = new QMenu(this);
    pumChart_->setObjectName(QStringLiteral("pumChart"));
    const auto item = [this](const char* name, const char* caption) {
        auto* action = pumChart_->addAction(QString::fromUtf8(caption));
        action->setObjectName(QString::fromLatin1(name));
        action->setCheckable(true);
        return action;
    };
    mnuCHMTempWater_ = item("mnuCHMTempWater", "Water temperature (KestTHERMAL)");
    mnuCHMVoltage_ = item("mnuCHMVoltage", "Input voltage");
    mnuCHMTempSlave_ = item("mnuCHMTempSlave", "Slave temperature");
    mnuCHMTempBoard_ = item("mnuCHMTempBoard", "Board temperature");
    mnuCHMTempBoard_->setCheckable(false);
    // One source at a time: shown as a choice.
    auto* sources = new QActionGroup(pumChart_);
    for (QAction* source : {mnuCHMTempWater_, mnuCHMVoltage_, mnuCHMTempSlave_})
        sources->addAction(source);
    // The program offers no slave boards; a board may still report the value.
    mnuCHMTempSlave_->setVisible(false);

    connect(mnuCHMTempWater_, &QAction::triggered, this,
            [this] { chooseSource(ExpertBlock::ChartWaterTemp); });
    connect(mnuCHMVoltage_, &QAction::triggered, this,
            [this] { chooseSource(ExpertBlock::ChartVoltage); });
    connect(mnuCHMTempSlave_, &QAction::triggered, this,
            [this] { chooseSource(ExpertBlock::ChartSlaveTemp); });
    connect(pumChart_, &QMenu::aboutToShow, this, &ChartView::pumChartPopup);
    connect(imgTemp_, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { pumChart_->popup(imgTemp_->mapToGlobal(at)); });
    connect(imgTemp_, &PictureBox::clicked, this, &ChartView::imgTempClick);
    connect(imgTemp_, &PictureBox::sizeChanged, this, &ChartView::redraw);

    enabling_.add(EnableRule::Connected, {imgTemp_});
}

void ChartView::showExpert() {
    redraw();
}

void ChartView::applyEnabling(const ViewFacts& facts) {
    enabling_.apply(facts);
}

void ChartView::showEvent(QShowEvent* event) {
    View::showEvent(event);
    if (stale_)
        redraw();
}

void ChartView::activated() {
    board().reread({BoardRecord::Expert, BoardRecord::Chart});
}

void ChartView::textsApplied() {
    // The catalogue names no captions of its own for these items: they are
    // the captions of the buttons that choose the same source.
    const std::pair<QAction*, const char*> copies[] = {
        {mnuCHMTempWater_, "rbtCHMTempWater.Caption"},
        {mnuCHMVoltage_, "rbtCHMVoltage.Caption"},
        {mnuCHMTempSlave_, "rbtCHMTempSlave.Caption"},
    };
    for (const auto& [action, entry] : copies)
        if (const auto text = textCatalogue().formValue(QString::fromLatin1(entry)))
            setComponentCaption(action, expandLineBreaks(*text));
}

void ChartView::redraw() {
    // A hidden chart is drawn when it is shown.
    stale_ = !imgTemp_->isVisible();
    if (stale_)
        return;
    const chart::ChartInput input =
        chart::boardChartInput(board().info(), board().expert(), board().chart(), computerClock_());
    imgTemp_->setImage(chart::drawChart(input, imgTemp_->size()));
    imgTemp_->setAccessibleDescription(chart::chartDescription(input));
}

void ChartView::imgTempClick() {
    board().reread({BoardRecord::Expert, BoardRecord::Chart});
}

void ChartView::pumChartPopup() {
    const std::uint8_t mode = board().expert().ChartMode;
    mnuCHMTempWater_->setEnabled(board().info().WaterTemp != NoValue);
    mnuCHMTempWater_->setChecked(mode == ExpertBlock::ChartWaterTemp);
    mnuCHMVoltage_->setChecked(mode == ExpertBlock::ChartVoltage);
    mnuCHMTempSlave_->setChecked(mode == ExpertBlock::ChartSlaveTemp);
}

void ChartView::chooseSource(std::uint8_t chartMode) {
    ExpertBlock expert = board().expert();
    expert.ChartMode = chartMode;
    // The board records the new source, every view shows it at once (the
    // chart in its colour and units), then the board hands over its history
    // of it.
    board().setExpert(expert);
    shell().showRecordAgain(BoardRecord::Expert);
    board().reread({BoardRecord::Expert, BoardRecord::Chart});
}

} // namespace kv
