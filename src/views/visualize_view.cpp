#include "views/visualize_view.h"

#include "board/board_service.h"
#include "plot/board_day_curve.h"
#include "plot/day_curve_geometry.h"
#include "views/channel_names.h"
#include "views/component_texts.h"
#include "views/day_curve_picture.h"
#include "views/focus_rule.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QStringList>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <algorithm>
#include <utility>

namespace kv {

namespace {

constexpr int RedrawInterval = 25; // milliseconds, while the mouse is down

} // namespace

VisualizeView::VisualizeView(ViewContext context)
    : View(context, QStringLiteral("tsVisualize"), QStringLiteral("Visualization")) {
    img_ = new DayCurvePicture(this);
    img_->setAccessibleName(QString::fromUtf8("Tageskurve"));
    img_->setAccessibleDescription(
        QString::fromUtf8("Helligkeit jedes Kanals über den Tag; die Griffe des gewählten Kanals "
                          "lassen sich mit der Maus ziehen, das Mausrad wählt den Kanal."));

    // Design-time texts; the catalogue replaces them at start.
    lblVisualize_ =
        new QLabel(QStringLiteral("Adjust the following channel by click and drag:"), this);
    lblVisualize_->setObjectName(QStringLiteral("lblVisualize"));
    cmbVisualize_ = new QComboBox(this);
    cmbVisualize_->setObjectName(QStringLiteral("cmbVisualize"));
    // A fixed list: no typed entry can name a channel that does not exist.
    cmbVisualize_->setEditable(false);
    cmbVisualize_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    lblVisualize_->setBuddy(cmbVisualize_);
    cbxTimeLock_ = new QCheckBox(QStringLiteral("Lock times"), this);
    cbxTimeLock_->setObjectName(QStringLiteral("cbxTimeLock"));

    auto* controls = new QHBoxLayout;
    controls->addWidget(lblVisualize_);
    controls->addWidget(cmbVisualize_);
    controls->addSpacing(24);
    controls->addWidget(cbxTimeLock_);
    controls->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(img_, 1);
    layout->addLayout(controls);

    tmrVisualize_.setInterval(RedrawInterval);
    connect(&tmrVisualize_, &QTimer::timeout, this, &VisualizeView::tmrVisualizeTimer);
    connect(img_, &DayCurvePicture::pressed, this, &VisualizeView::imgMouseDown);
    connect(img_, &DayCurvePicture::moved, this, &VisualizeView::imgMouseMove);
    connect(img_, &DayCurvePicture::released, this, &VisualizeView::imgMouseUp);
    connect(img_, &DayCurvePicture::resized, this, &VisualizeView::imgResize);
    // activated comes from the user only, never from the program's own changes.
    connect(cmbVisualize_, &QComboBox::activated, this, &VisualizeView::cmbVisualizeChange);
    connect(&channelNames(), &ChannelNames::changed, this, &VisualizeView::showChannelNames);
    qApp->installEventFilter(this);

    enabling_.add(EnableRule::Connected, {this, lblVisualize_, cmbVisualize_, cbxTimeLock_});
    showChannelNames();
}

VisualizeView::~VisualizeView() {
    qApp->removeEventFilter(this);
}

DayCurveScene VisualizeView::scene() const {
    const Schedule* lines = &board().schedule();
    Schedule drafted;
    if (draft_ && dragLine_ >= 0 && dragLine_ < int(lines->size())) {
        drafted = *lines;
        drafted[std::size_t(dragLine_)] = *draft_;
        lines = &drafted;
    }
    DayCurveScene s = boardDayCurveScene(board().info(), board().expert(), *lines, visualChannel_);
    s.dragLine = dragLine_;
    s.font = font();
    return s;
}

void VisualizeView::DrawDayCurve() {
    // Times can be locked only where there are times.
    cbxTimeLock_->setVisible(!board().info().inMode(BoardMode::Geo));
    if (!img_->isVisible() || !img_->prepareImage())
        return;
    linePoints_ = kv::DrawDayCurve(img_->image(), scene());
    img_->update();
}

void VisualizeView::showInfo() {
    if (isFront())
        DrawDayCurve();
}

void VisualizeView::showSchedule() {
    DrawDayCurve();
}

void VisualizeView::activated() {
    DrawDayCurve();
}

void VisualizeView::showEvent(QShowEvent* event) {
    View::showEvent(event);
    DrawDayCurve();
}

void VisualizeView::applyEnabling(const ViewFacts& facts) {
    enabling_.apply(facts);
}

void VisualizeView::textsApplied() {
    cmbVisualize_->setAccessibleName(lblVisualize_->text());
    cbxTimeLock_->setAccessibleName(cbxTimeLock_->text());
}

void VisualizeView::showChannelNames() {
    // The list stays as it is while the user has it open.
    if (focus::isDroppedDown(cmbVisualize_))
        return;
    QStringList names;
    for (int channel = 0; channel < ChannelCount; ++channel)
        names << channelNames().name(channel);
    QStringList shown;
    for (int item = 0; item < cmbVisualize_->count(); ++item)
        shown << cmbVisualize_->itemText(item);
    if (shown != names) {
        cmbVisualize_->setUpdatesEnabled(false);
        cmbVisualize_->clear();
        cmbVisualize_->addItems(names);
        cmbVisualize_->setUpdatesEnabled(true);
    }
    cmbVisualize_->setCurrentIndex(visualChannel_);
}

void VisualizeView::cmbVisualizeChange(int index) {
    if (index < 0 || index >= ChannelCount)
        return;
    visualChannel_ = index;
    DrawDayCurve();
}

// ---------------------------------------------------------------------------
// Dragging a handle

void VisualizeView::imgMouseDown(QPointF position) {
    tmrVisualize_.start();
    const auto hit = curve::hitLine(linePoints_, visualChannel_, position);
    if (hit && *hit < int(board().schedule().size())) {
        dragLine_ = *hit;
        draft_ = board().schedule()[std::size_t(dragLine_)];
    }
}

void VisualizeView::imgMouseMove(QPointF position) {
    if (dragLine_ < 0 || !draft_)
        return;
    ScheduleLine& line = *draft_;
    const curve::CurveFrame frame{img_->width(), img_->height()};
    // On the sun's path a line keeps its altitude: only its level moves.
    if (!cbxTimeLock_->isChecked() && !board().info().inMode(BoardMode::Geo)) {
        if (const auto minutes = frame.minutesAt(position.x())) {
            line.Hour = std::int8_t(*minutes / 60);
            line.Minute = std::int8_t(*minutes % 60);
        }
    }
    if (const auto level = frame.levelAt(position.y()))
        line.Color16[std::size_t(visualChannel_)] = std::int16_t(*level);
    // The timer redraws; the board gets the line when the drag ends.
}

void VisualizeView::imgMouseUp() {
    // A press that hit no handle only ran the timer.
    tmrVisualize_.stop();
    if (dragLine_ < 0)
        return;
    const int line = dragLine_;
    const std::optional<ScheduleLine> draft = std::exchange(draft_, std::nullopt);
    dragLine_ = -1;
    if (draft)
        board().setScheduleLine(line, *draft);
    DrawDayCurve();
}

void VisualizeView::imgResize() {
    if (img_->isVisible())
        DrawDayCurve();
}

void VisualizeView::tmrVisualizeTimer() {
    if (window()->isVisible())
        DrawDayCurve();
}

// ---------------------------------------------------------------------------
// The wheel

bool VisualizeView::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::Wheel)
        return false;
    auto* target = qobject_cast<QWidget*>(watched);
    if (!target || target->window() != window())
        return false;
    return FormMouseWheel(*static_cast<QWheelEvent*>(event));
}

bool VisualizeView::FormMouseWheel(const QWheelEvent& event) {
    if (!isFront() || !isVisible() || dragLine_ >= 0)
        return false;
    const int delta = event.angleDelta().y();
    if (delta == 0)
        return false;
    // Towards the user: the next channel; away: the previous one.
    visualChannel_ = std::clamp(visualChannel_ + (delta < 0 ? 1 : -1), 0, ChannelCount - 1);
    cmbVisualize_->setCurrentIndex(visualChannel_);
    DrawDayCurve();
    return true;
}

} // namespace kv
