#include "views/weather_view.h"

#include "device/board_link.h"
#include "views/accessible_names.h"
#include "views/labelled_edit.h"
#include "views/setting_pairs.h"
#include "views/slider_edit_pair.h"
#include "views/weather_rates.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>

namespace kv {

namespace {

// Slider ranges of the settings.
constexpr int MaxCloudsPerDay = 3000;
constexpr int MaxCloudSeconds = 900;
constexpr int MaxStormsPerWeek = 1000;
constexpr int MaxStormMinutes = 200;
constexpr int MaxPercent = 100;
constexpr int MaxStep = 5000;
constexpr int MaxLightning = 5000;

constexpr int EditWidth = 70;

QString sliderName(const QString& editName) {
    return QStringLiteral("trb") + editName.mid(3);
}

} // namespace

WeatherView::WeatherView(ViewContext context)
    : View(context, QStringLiteral("tsWeather"), QStringLiteral("Weather")) {
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(buildCloudGroup(), 1, Qt::AlignTop);
    layout->addWidget(buildStormGroup(), 1, Qt::AlignTop);
    textsApplied();
}

WeatherView::Row WeatherView::addRow(QGroupBox* group, const QString& name, const QString& caption,
                                     int minimum, int maximum) {
    auto* grid = static_cast<QGridLayout*>(group->layout());
    Row row;
    row.edit = new LabelledEdit(name, caption, group, LabelledEdit::LabelPosition::Left);
    row.edit->edit()->setFixedWidth(EditWidth);
    row.edit->edit()->setAlignment(Qt::AlignRight);
    row.slider = new QSlider(Qt::Horizontal, group);
    row.slider->setObjectName(sliderName(name));
    row.slider->setRange(minimum, maximum);
    row.slider->setPageStep(std::max(1, (maximum - minimum) / 20));
    row.slider->setFocusPolicy(Qt::StrongFocus);
    row.slider->setMinimumWidth(120);
    const int at = grid->rowCount();
    grid->addWidget(row.edit, at, 0);
    grid->addWidget(row.slider, at, 1);
    rows_.append(row);
    enabling_.add(EnableRule::Connected, {row.edit, row.slider});
    return row;
}

QGroupBox* WeatherView::buildCloudGroup() {
    auto* group = new QGroupBox(QStringLiteral("Clouds"), this);
    group->setObjectName(QStringLiteral("gbxCloud"));
    auto* grid = new QGridLayout(group);
    grid->setColumnStretch(1, 1);

    // Design-time texts; the catalogue replaces them at start.
    cloudCount_ = coupleRate(addRow(group, QStringLiteral("edtCloudCount"),
                                    QStringLiteral("Average number per day"), 0, MaxCloudsPerDay),
                             true);
    cloudSeconds_ =
        coupleRate(addRow(group, QStringLiteral("edtCloudSeconds"),
                          QStringLiteral("Average duration in seconds"), 1, MaxCloudSeconds),
                   true);
    ExpertBlock& expert = link().expert;
    cloudAlpha_ = coupleEffect(addRow(group, QStringLiteral("edtCloudAlpha"),
                                      QStringLiteral("Remaining brightness (%)"), 0, MaxPercent),
                               expert.CloudAlpha);
    const Row step =
        addRow(group, QStringLiteral("edtCloudStep"), QStringLiteral("Dimming speed"), 1, MaxStep);
    step.edit->edit()->setToolTip(QStringLiteral("The higher, the quicker the change"));
    cloudStep_ = coupleEffect(step, expert.CloudStep);

    lblCloudRatio_ = new QLabel(group);
    lblCloudRatio_->setObjectName(QStringLiteral("lblCloudRatio"));
    btnCloud_ = new QPushButton(QStringLiteral("Trigger/stop now"), group);
    btnCloud_->setObjectName(QStringLiteral("btnCloud"));
    btnCloud_->setToolTip(
        QStringLiteral("Starts a cloud at once or ends it at once (modes Auto and Geo only)"));
    connect(btnCloud_, &QPushButton::clicked, this, &WeatherView::btnCloudClick);
    const int at = grid->rowCount();
    grid->addWidget(lblCloudRatio_, at, 0);
    grid->addWidget(btnCloud_, at, 1, Qt::AlignRight);
    enabling_.add(EnableRule::Connected, {lblCloudRatio_});
    enabling_.add(EnableRule::ConnectedAutoOrGeo, {btnCloud_});
    return group;
}

QGroupBox* WeatherView::buildStormGroup() {
    auto* group = new QGroupBox(QStringLiteral("Thunderstorms"), this);
    group->setObjectName(QStringLiteral("gbxStorm"));
    auto* grid = new QGridLayout(group);
    grid->setColumnStretch(1, 1);

    stormCount_ = coupleRate(addRow(group, QStringLiteral("edtStormCount"),
                                    QStringLiteral("Average count per week"), 0, MaxStormsPerWeek),
                             false);
    stormMinutes_ =
        coupleRate(addRow(group, QStringLiteral("edtStormMinutes"),
                          QStringLiteral("Average duration in minutes"), 1, MaxStormMinutes),
                   false);
    ExpertBlock& expert = link().expert;
    stormAlpha_ = coupleEffect(addRow(group, QStringLiteral("edtStormAlpha"),
                                      QStringLiteral("Remaining brightness (%)"), 0, MaxPercent),
                               expert.StormAlpha);
    const Row step =
        addRow(group, QStringLiteral("edtStormStep"), QStringLiteral("Dimming speed"), 1, MaxStep);
    step.edit->edit()->setToolTip(QStringLiteral("The higher, the quicker the change"));
    stormStep_ = coupleEffect(step, expert.StormStep);
    const Row lightning = addRow(group, QStringLiteral("edtLightningP"),
                                 QStringLiteral("Lightning frequency"), 0, MaxLightning);
    lightning.edit->edit()->setToolTip(
        QStringLiteral("The higher, the more often lightning strikes during a thunderstorm."));
    lightningP_ = coupleEffect(lightning, expert.LightningP);

    lblStormRatio_ = new QLabel(group);
    lblStormRatio_->setObjectName(QStringLiteral("lblStormRatio"));
    btnStorm_ = new QPushButton(QStringLiteral("Trigger/stop now"), group);
    btnStorm_->setObjectName(QStringLiteral("btnStorm"));
    btnStorm_->setToolTip(QStringLiteral(
        "Starts a thunderstorm at once or ends it at once (modes Auto and Geo only)"));
    connect(btnStorm_, &QPushButton::clicked, this, &WeatherView::btnStormClick);
    const int at = grid->rowCount();
    grid->addWidget(lblStormRatio_, at, 0);
    grid->addWidget(btnStorm_, at, 1, Qt::AlignRight);
    enabling_.add(EnableRule::Connected, {lblStormRatio_});
    enabling_.add(EnableRule::ConnectedAutoOrGeo, {btnStorm_});
    return group;
}

SliderEditPair* WeatherView::coupleRate(const Row& row, bool clouds) {
    SliderEditPair::Rules rules;
    rules.text = pairtext::integer;
    // A typed rate is taken to the slider's range ("5000" clouds a day are
    // 3000).
    rules.read = pairread::integerClampedBySlider();
    rules.store = [this, clouds](int) {
        return clouds ? storeCloudRates() : storeStormRates();
    };
    rules.write = [this] {
        link().SetConfig();
    };
    auto* pair = new SliderEditPair(row.slider, row.edit->edit(), std::move(rules), this);
    pairs_.append(pair);
    return pair;
}

template <class Field> SliderEditPair* WeatherView::coupleEffect(const Row& row, Field& field) {
    auto* pair =
        coupleExpertField(row.slider, row.edit->edit(), field, link(), pairtext::integer,
                          pairread::integer(row.slider->minimum(), row.slider->maximum()), this);
    pairs_.append(pair);
    return pair;
}

SliderEditPair* WeatherView::pair(const QString& name) const {
    for (SliderEditPair* pair : pairs_) {
        if (pair->slider()->objectName() == name || pair->edit()->parent()->objectName() == name)
            return pair;
    }
    return nullptr;
}

// ---------------------------------------------------------------------------
// Rates

bool WeatherView::storeCloudRates() {
    const bool changed = weather::storeCloudRates(link().info, cloudCount_->slider()->value(),
                                                  cloudSeconds_->slider()->value());
    showRatios();
    return changed;
}

bool WeatherView::storeStormRates() {
    const bool changed = weather::storeStormRates(link().info, stormCount_->slider()->value(),
                                                  stormMinutes_->slider()->value());
    showRatios();
    return changed;
}

void WeatherView::showRatios() {
    const weather::RatioTexts texts = weather::ratioTexts(link().info);
    lblCloudRatio_->setText(texts.cloud);
    lblStormRatio_->setText(texts.storm);
}

// ---------------------------------------------------------------------------
// Refresh from the records

void WeatherView::showInfo() {
    const InfoBlock& info = link().info;
    const weather::RatePositions clouds = weather::cloudPositions(info);
    cloudCount_->show(clouds.count);
    cloudSeconds_->show(clouds.duration.value_or(cloudSeconds_->slider()->value()));
    const weather::RatePositions storms = weather::stormPositions(info);
    stormCount_->show(storms.count);
    stormMinutes_->show(storms.duration.value_or(stormMinutes_->slider()->value()));
    showRatios();
}

void WeatherView::showExpert() {
    const ExpertBlock& expert = link().expert;
    cloudAlpha_->show(expert.CloudAlpha);
    cloudStep_->show(expert.CloudStep);
    stormAlpha_->show(expert.StormAlpha);
    stormStep_->show(expert.StormStep);
    lightningP_->show(expert.LightningP);
}

// ---------------------------------------------------------------------------
// Buttons, enabling, texts

void WeatherView::btnCloudClick() {
    link().SendCommand(BoardCommand::Cloud);
}

void WeatherView::btnStormClick() {
    link().SendCommand(BoardCommand::Storm);
}

void WeatherView::applyEnabling(const ViewFacts& facts) {
    enabling_.apply(facts);
}

void WeatherView::textsApplied() {
    for (const Row& row : rows_)
        nameAfterCaption(row.edit, {row.slider});
}

} // namespace kv
