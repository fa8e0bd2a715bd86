#include "views/config_view.h"

#include "board/board_service.h"
#include "views/field_edit.h"
#include "views/health_display.h"
#include "views/labelled_edit.h"
#include "views/picture_box.h"
#include "views/setting_pairs.h"
#include "views/slider_edit_pair.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

namespace kv {

namespace {

constexpr int PercentMaximum = 100;
constexpr int TimeLapseMaximum = 250;
constexpr int RealTime = 1;
constexpr int HealthPictureSize = 48;

QSlider* newSlider(const char* name, int maximum, QWidget* parent) {
    auto* slider = new QSlider(Qt::Horizontal, parent);
    slider->setObjectName(QString::fromLatin1(name));
    slider->setRange(0, maximum);
    slider->setPageStep(10);
    slider->setFocusPolicy(Qt::StrongFocus);
    return slider;
}

LabelledEdit* newEdit(const char* name, const char* caption, QWidget* parent) {
    auto* edit = new LabelledEdit(QString::fromLatin1(name), QString::fromUtf8(caption), parent);
    fitForNumber(edit->edit());
    return edit;
}

// Held in order with its neighbours: not above the level over it, not below
// the one under it (checked in that order).
void holdInOrder(QAbstractSlider* slider, const QAbstractSlider* above,
                 const QAbstractSlider* below) {
    if (above && slider->value() > above->value())
        slider->setValue(above->value());
    if (below && slider->value() < below->value())
        slider->setValue(below->value());
}

} // namespace

ConfigView::ConfigView(ViewContext context)
    : View(context, QStringLiteral("tsConfig"), QStringLiteral("Configuration")) {
    auto* layout = new QVBoxLayout(this);

    auto* status = new QHBoxLayout;
    imgHealth_ = new PictureBox(QStringLiteral("imgHealth"), this);
    imgHealth_->setFixedSize(HealthPictureSize, HealthPictureSize);
    imgHealth_->setAccessibleName(QStringLiteral("Zustandsbild"));
    imgHealth_->setAccessibleDescription(QStringLiteral("Leer"));
    lblBoard_ = new QLabel(this);
    lblBoard_->setObjectName(QStringLiteral("lblBoard"));
    lblBoard_->setWordWrap(true);
    status->addWidget(imgHealth_);
    status->addWidget(lblBoard_, 1);
    layout->addLayout(status);

    auto* groups = new QHBoxLayout;
    groups->addWidget(buildLevelGroup(
        "gbxLCDBL", "Display backlight brightness", backlight_,
        {"LCDBLMax", "LCDBLMin", "LCDBLNight"},
        {"Bright level (%)", "Dim level (%)", "When \"OFF\" (see \"Schedule\") (%)"}));
    groups->addWidget(
        buildLevelGroup("gbxFan", "Fan speed", fan_, {"FanHigh", "FanLow", "FanOff"},
                        {"Fast level (%)", "Slow level (%)", "When LEDs are off (%)"}));
    layout->addLayout(groups);
    layout->addWidget(buildTimeLapse());
    layout->addStretch(1);

    coupleLevels();
    enabling_.add(EnableRule::Connected,
                  {timeLapse_.slider, btnRealtime_, timeLapse_.edit, backlight_[Top].edit,
                   backlight_[Middle].edit, backlight_[Bottom].edit, backlight_[Top].slider,
                   backlight_[Middle].slider, backlight_[Bottom].slider, fan_[Top].edit,
                   fan_[Middle].edit, fan_[Top].slider, fan_[Middle].slider});
    enabling_.add(EnableRule::ConnectedFanNotTemp, {fan_[Bottom].edit, fan_[Bottom].slider});
    textsApplied();
}

QGroupBox* ConfigView::buildLevelGroup(const char* groupName, const char* groupCaption,
                                       LevelGroup& group, const std::array<const char*, 3>& names,
                                       const std::array<const char*, 3>& captions) {
    auto* box = new QGroupBox(QString::fromUtf8(groupCaption), this);
    box->setObjectName(QString::fromLatin1(groupName));
    auto* grid = new QGridLayout(box);
    for (std::size_t i = 0; i < group.size(); ++i) {
        const QByteArray edit = "edt" + QByteArray(names[i]);
        const QByteArray slider = "trb" + QByteArray(names[i]);
        group[i].edit = newEdit(edit.constData(), captions[i], box);
        group[i].slider = newSlider(slider.constData(), PercentMaximum, box);
        grid->addWidget(group[i].edit, int(i), 0);
        grid->addWidget(group[i].slider, int(i), 1, Qt::AlignBottom);
    }
    grid->setColumnStretch(1, 1);
    return box;
}

void ConfigView::coupleLevels() {
    BoardService& b = board();
    // The bottom level (night, off) is an expert setting.
    coupleGroup(backlight_, {applyToConfiguration(b, fieldStore(&InfoBlock::LCDBLMax)),
                             applyToConfiguration(b, fieldStore(&InfoBlock::LCDBLMin)),
                             applyToExpert(b, fieldStore(&ExpertBlock::LCDBLNight))});
    coupleGroup(fan_, {applyToConfiguration(b, fieldStore(&InfoBlock::FanHigh)),
                       applyToConfiguration(b, fieldStore(&InfoBlock::FanLow)),
                       applyToExpert(b, fieldStore(&ExpertBlock::FanOff))});

    SliderEditPair::Rules rules;
    rules.text = pairtext::integer;
    rules.read = pairread::integer(0, TimeLapseMaximum);
    rules.apply = applyToConfiguration(b, fieldStore(&InfoBlock::TimeLapse));
    timeLapse_.pair =
        new SliderEditPair(timeLapse_.slider, timeLapse_.edit->edit(), std::move(rules), this);
}

void ConfigView::coupleGroup(LevelGroup& group, const std::array<Apply, 3>& applies) {
    for (std::size_t i = 0; i < group.size(); ++i) {
        QSlider* self = group[i].slider;
        QSlider* above = i > Top ? group[i - 1].slider : nullptr;
        QSlider* below = i < Bottom ? group[i + 1].slider : nullptr;
        SliderEditPair::Rules rules;
        rules.text = pairtext::integer;
        rules.read = pairread::rounded(0, PercentMaximum);
        rules.apply = applies[i];
        rules.keepOrder = [self, above, below] {
            holdInOrder(self, above, below);
        };
        group[i].pair = new SliderEditPair(self, group[i].edit->edit(), std::move(rules), this);
    }
}

QWidget* ConfigView::buildTimeLapse() {
    auto* row = new QWidget(this);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    timeLapse_.edit = newEdit("edtTimeLapse", "Time lapse factor", row);
    timeLapse_.slider = newSlider("trbTimeLapse", TimeLapseMaximum, row);
    btnRealtime_ = new QPushButton(QStringLiteral("Realtime"), row);
    btnRealtime_->setObjectName(QStringLiteral("btnRealtime"));
    layout->addWidget(timeLapse_.edit);
    layout->addWidget(timeLapse_.slider, 1, Qt::AlignBottom);
    layout->addWidget(btnRealtime_, 0, Qt::AlignBottom);
    connect(btnRealtime_, &QPushButton::clicked, this, &ConfigView::btnRealtimeClick);
    return row;
}

void ConfigView::showInfo() {
    const InfoBlock& info = board().info();
    showBoardStatus(info, lblBoard_);
    backlight_[Top].pair->show(info.LCDBLMax);
    backlight_[Middle].pair->show(info.LCDBLMin);
    fan_[Top].pair->show(info.FanHigh);
    fan_[Middle].pair->show(info.FanLow);
    timeLapse_.pair->show(info.TimeLapse);
}

void ConfigView::showExpert() {
    backlight_[Bottom].pair->show(board().expert().LCDBLNight);
    fan_[Bottom].pair->show(board().expert().FanOff);
    applyFanOffEnabling();
}

void ConfigView::connectionChanged(bool connected) {
    if (!connected)
        lblBoard_->clear();
}

void ConfigView::applyEnabling(const ViewFacts& facts) {
    facts_ = facts;
    applyFanOffEnabling();
}

void ConfigView::activated() {
    applyFanOffEnabling();
}

void ConfigView::applyFanOffEnabling() {
    // The fan mode may have changed since the window last told the facts.
    facts_.fanMode = board().expert().FanMode;
    enabling_.apply(facts_);
}

void ConfigView::textsApplied() {
    for (const LevelGroup* group : {&backlight_, &fan_})
        for (const Level& level : *group)
            level.slider->setAccessibleName(level.edit->caption());
    timeLapse_.slider->setAccessibleName(timeLapse_.edit->caption());
}

void ConfigView::btnRealtimeClick() {
    timeLapse_.pair->show(RealTime, true);
    InfoBlock configuration = board().info();
    configuration.TimeLapse = RealTime;
    board().setConfiguration(configuration);
}

} // namespace kv
