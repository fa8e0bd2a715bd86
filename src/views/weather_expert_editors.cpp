#include "views/weather_expert_editors.h"

#include "board/board_service.h"
#include "text/number_format.h"
#include "text/text_catalogue.h"
#include "views/accessible_names.h"
#include "views/channel_names.h"
#include "views/focus_rule.h"
#include "views/input_marks.h"
#include "views/labelled_edit.h"
#include "views/setting_pairs.h"
#include "views/slider_edit_pair.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QVBoxLayout>

#include <limits>

namespace kv {

namespace {

constexpr int EditWidth = 70;
constexpr int MaxMask = 255;
constexpr int MaxBalanceSum = 100;
constexpr int MaxBalanceRamp = 100;
// The cloud temperature is kept in tenths of a degree in 16 bits.
constexpr double LowestTemperature = std::numeric_limits<std::int16_t>::min() / 10.0;
constexpr double HighestTemperature = std::numeric_limits<std::int16_t>::max() / 10.0;

LabelledEdit* numberEdit(const QString& name, const QString& caption, QWidget* parent,
                         LabelledEdit::LabelPosition position = LabelledEdit::LabelPosition::Left) {
    auto* edit = new LabelledEdit(name, caption, parent, position);
    edit->edit()->setFixedWidth(EditWidth);
    edit->edit()->setAlignment(Qt::AlignRight);
    return edit;
}

} // namespace

WeatherExpertEditors::WeatherExpertEditors(BoardService& board, ChannelNames& names,
                                           QWidget* parent)
    : QWidget(parent), board_(board), names_(names) {
    // The two groups side by side, the balance sum below: the Expert tab
    // still fits the smallest tab area.
    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(buildLightningMasks(), 0, 0);
    layout->addWidget(buildCloudTemp(), 0, 1);
    layout->addWidget(buildBalanceSum(), 1, 0, 1, 2);
    textsApplied(QStringLiteral("KestTHERMAL"));
    connect(&names_, &ChannelNames::changed, this, &WeatherExpertEditors::showChannelNames);
}

QGroupBox* WeatherExpertEditors::buildLightningMasks() {
    // Design-time texts; the catalogue replaces them at start.
    gbxLightningMask_ = new QGroupBox(QStringLiteral("Lightning: bit mask (0 to 255)"), this);
    gbxLightningMask_->setObjectName(QStringLiteral("gbxLightningMask"));
    auto* row = new QHBoxLayout(gbxLightningMask_);
    for (int channel = 0; channel < ChannelCount; ++channel) {
        LabelledEdit* edit =
            numberEdit(QStringLiteral("edtLightningMask") + QString::number(channel),
                       ChannelLetter(channel), gbxLightningMask_);
        row->addWidget(edit);
        // A mask beyond one byte would reach the board as its low bits:
        // refused.
        coupleEdit(edit->edit(), pairread::integer(0, MaxMask),
                   applyToExpert(board_, fieldStore(&ExpertBlock::LightningMask, channel)));
        masks_[std::size_t(channel)] = edit;
        enabling_.add(EnableRule::Connected, {edit});
    }
    row->addStretch(1);
    return gbxLightningMask_;
}

QGroupBox* WeatherExpertEditors::buildCloudTemp() {
    gbxCloudTemp_ = new QGroupBox(QStringLiteral("Clouds when temperatures are exceeded"), this);
    gbxCloudTemp_->setObjectName(QStringLiteral("gbxCloudTemp"));
    auto* row = new QHBoxLayout(gbxCloudTemp_);
    edtCloudTempWater_ =
        numberEdit(QStringLiteral("edtCloudTempWater"), QStringLiteral("KestTHERMAL"), this);
    row->addWidget(edtCloudTempWater_);
    row->addWidget(new QLabel(QStringLiteral("°C"), gbxCloudTemp_));
    row->addStretch(1);
    coupleEdit(edtCloudTempWater_->edit(), pairread::tenths(LowestTemperature, HighestTemperature),
               applyToExpert(board_, fieldStore(&ExpertBlock::CloudTempWater)));
    enabling_.add(EnableRule::ConnectedSensor, {edtCloudTempWater_});
    return gbxCloudTemp_;
}

QWidget* WeatherExpertEditors::buildBalanceSum() {
    auto* box = new QWidget(this);
    auto* grid = new QGridLayout(box);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setColumnStretch(1, 1);

    edtBalanceSum_ = numberEdit(QStringLiteral("edtBalanceSum"), QStringLiteral("Sum"), box);
    trbBalanceSum_ = new QSlider(Qt::Horizontal, box);
    trbBalanceSum_->setObjectName(QStringLiteral("trbBalanceSum"));
    trbBalanceSum_->setRange(0, MaxBalanceSum);
    trbBalanceSum_->setPageStep(10);
    trbBalanceSum_->setFocusPolicy(Qt::StrongFocus);
    balanceSum_ = coupleExpertField(trbBalanceSum_, edtBalanceSum_->edit(), board_,
                                    fieldStore(&ExpertBlock::BalanceSum), pairtext::integer,
                                    pairread::integer(0, MaxBalanceSum), this);

    edtBalanceSumRamp_ = numberEdit(QStringLiteral("edtBalanceSumRamp"),
                                    QStringLiteral("White balance sum ramp (%/day)"), box);
    edtBalanceSumRamp_->edit()->setToolTip(
        QStringLiteral("Percentage points by which the sum changes every day, for getting "
                       "corals used to the light. Range: -100 to 100%."));
    coupleEdit(edtBalanceSumRamp_->edit(), pairread::integer(-MaxBalanceRamp, MaxBalanceRamp),
               applyToExpert(board_, fieldStore(&ExpertBlock::BalanceSumRamp)));

    grid->addWidget(edtBalanceSum_, 0, 0);
    grid->addWidget(trbBalanceSum_, 0, 1);
    grid->addWidget(edtBalanceSumRamp_, 1, 0);
    enabling_.add(EnableRule::Connected, {edtBalanceSum_, trbBalanceSum_, edtBalanceSumRamp_});
    return box;
}

QLineEdit* WeatherExpertEditors::lightningMaskEdit(int channel) const {
    return masks_[std::size_t(channel)]->edit();
}

QLineEdit* WeatherExpertEditors::cloudTempEdit() const {
    return edtCloudTempWater_->edit();
}

QLineEdit* WeatherExpertEditors::balanceSumRampEdit() const {
    return edtBalanceSumRamp_->edit();
}

void WeatherExpertEditors::showExpert() {
    const ExpertBlock& expert = board_.expert();
    for (int channel = 0; channel < ChannelCount; ++channel)
        focus::showText(lightningMaskEdit(channel),
                        QString::number(expert.LightningMask[std::size_t(channel)]));
    focus::showText(cloudTempEdit(), formatNumber(expert.CloudTempWater / 10.0, u"0.0"));
    focus::showText(balanceSumRampEdit(), QString::number(expert.BalanceSumRamp));
    balanceSum_->show(expert.BalanceSum, true);
}

void WeatherExpertEditors::applyEnabling(const ViewFacts& facts) {
    enabling_.apply(facts);
}

void WeatherExpertEditors::textsApplied(const QString& sensorCaption) {
    for (int channel = 0; channel < ChannelCount; ++channel) {
        masks_[std::size_t(channel)]->setCaption(ChannelLetter(channel));
        nameAfterCaption(masks_[std::size_t(channel)]);
    }
    edtCloudTempWater_->setCaption(sensorCaption);
    nameAfterCaption(edtCloudTempWater_);
    nameAfterCaption(edtBalanceSum_, {trbBalanceSum_});
    nameAfterCaption(edtBalanceSumRamp_);
}

void WeatherExpertEditors::showChannelNames() {
    for (int channel = 0; channel < ChannelCount; ++channel)
        setEditTint(lightningMaskEdit(channel), names_.tint(channel));
}

} // namespace kv
