#include "views/weather_view.h"

#include "board/board_service.h"
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

WeatherView::Event WeatherView::buildEvent(const EventDesign& design,
                                           std::uint8_t ExpertBlock::*alpha,
                                           std::uint16_t ExpertBlock::*step) {
    Event event;
    event.group = new QGroupBox(design.caption, this);
    event.group->setObjectName(QStringLiteral("gbx") + design.kind);
    auto* grid = new QGridLayout(event.group);
    grid->setColumnStretch(1, 1);

    const QString edt = QStringLiteral("edt") + design.kind;
    event.count = coupleRate(
        addRow(event.group, edt + QStringLiteral("Count"), design.countCaption, 0, design.maxCount),
        design.clouds);
    event.duration = coupleRate(addRow(event.group, edt + design.durationName,
                                       design.durationCaption, 1, design.maxDuration),
                                design.clouds);
    event.alpha = coupleEffect(addRow(event.group, edt + QStringLiteral("Alpha"),
                                      QStringLiteral("Remaining brightness (%)"), 0, MaxPercent),
                               alpha);
    const Row stepRow = addRow(event.group, edt + QStringLiteral("Step"),
                               QStringLiteral("Dimming speed"), 1, MaxStep);
    stepRow.edit->edit()->setToolTip(QStringLiteral("The higher, the quicker the change"));
    event.step = coupleEffect(stepRow, step);
    return event;
}

void WeatherView::addTrigger(Event& event, const EventDesign& design) {
    auto* grid = static_cast<QGridLayout*>(event.group->layout());
    event.ratio = new QLabel(event.group);
    event.ratio->setObjectName(QStringLiteral("lbl") + design.kind + QStringLiteral("Ratio"));
    event.trigger = new QPushButton(QStringLiteral("Trigger/stop now"), event.group);
    event.trigger->setObjectName(QStringLiteral("btn") + design.kind);
    event.trigger->setToolTip(design.triggerHint);
    const bool clouds = design.clouds;
    connect(event.trigger, &QPushButton::clicked, this, [this, clouds] {
        if (clouds)
            board().startCloud();
        else
            board().startStorm();
    });
    const int at = grid->rowCount();
    grid->addWidget(event.ratio, at, 0);
    grid->addWidget(event.trigger, at, 1, Qt::AlignRight);
    enabling_.add(EnableRule::Connected, {event.ratio});
    enabling_.add(EnableRule::ConnectedAutoOrGeo, {event.trigger});
}

QGroupBox* WeatherView::buildCloudGroup() {
    // Design-time texts; the catalogue replaces them at start.
    EventDesign design;
    design.kind = QStringLiteral("Cloud");
    design.caption = QStringLiteral("Clouds");
    design.countCaption = QStringLiteral("Average number per day");
    design.maxCount = MaxCloudsPerDay;
    design.durationName = QStringLiteral("Seconds");
    design.durationCaption = QStringLiteral("Average duration in seconds");
    design.maxDuration = MaxCloudSeconds;
    design.triggerHint =
        QStringLiteral("Starts a cloud at once or ends it at once (modes Auto and Geo only)");
    design.clouds = true;
    clouds_ = buildEvent(design, &ExpertBlock::CloudAlpha, &ExpertBlock::CloudStep);
    addTrigger(clouds_, design);
    return clouds_.group;
}

QGroupBox* WeatherView::buildStormGroup() {
    EventDesign design;
    design.kind = QStringLiteral("Storm");
    design.caption = QStringLiteral("Thunderstorms");
    design.countCaption = QStringLiteral("Average count per week");
    design.maxCount = MaxStormsPerWeek;
    design.durationName = QStringLiteral("Minutes");
    design.durationCaption = QStringLiteral("Average duration in minutes");
    design.maxDuration = MaxStormMinutes;
    design.triggerHint = QStringLiteral(
        "Starts a thunderstorm at once or ends it at once (modes Auto and Geo only)");
    design.clouds = false;
    storms_ = buildEvent(design, &ExpertBlock::StormAlpha, &ExpertBlock::StormStep);
    const Row lightning = addRow(storms_.group, QStringLiteral("edtLightningP"),
                                 QStringLiteral("Lightning frequency"), 0, MaxLightning);
    lightning.edit->edit()->setToolTip(
        QStringLiteral("The higher, the more often lightning strikes during a thunderstorm."));
    lightningP_ = coupleEffect(lightning, &ExpertBlock::LightningP);
    addTrigger(storms_, design);
    return storms_.group;
}

SliderEditPair* WeatherView::coupleRate(const Row& row, bool clouds) {
    SliderEditPair::Rules rules;
    rules.text = pairtext::integer;
    // A typed rate is taken to the slider's range ("5000" clouds a day are
    // 3000).
    rules.read = pairread::integerClampedBySlider();
    rules.apply = [this, clouds](int) {
        applyRates(clouds);
    };
    auto* pair = new SliderEditPair(row.slider, row.edit->edit(), std::move(rules), this);
    pairs_.append(pair);
    return pair;
}

template <class Field>
SliderEditPair* WeatherView::coupleEffect(const Row& row, Field ExpertBlock::*field) {
    auto* pair = coupleExpertField(
        row.slider, row.edit->edit(), board(), fieldStore(field), pairtext::integer,
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

void WeatherView::applyRates(bool clouds) {
    InfoBlock configuration = board().info();
    const Event& event = clouds ? clouds_ : storms_;
    const int count = event.count->slider()->value();
    const int duration = event.duration->slider()->value();
    const bool changed = clouds ? weather::storeCloudRates(configuration, count, duration)
                                : weather::storeStormRates(configuration, count, duration);
    if (changed)
        board().setConfiguration(configuration);
    showRatios();
}

void WeatherView::showRatios() {
    const weather::RatioTexts texts = weather::ratioTexts(board().info());
    clouds_.ratio->setText(texts.cloud);
    storms_.ratio->setText(texts.storm);
}

// ---------------------------------------------------------------------------
// Refresh from the records

void WeatherView::showInfo() {
    const InfoBlock& info = board().info();
    const weather::RatePositions clouds = weather::cloudPositions(info);
    clouds_.count->show(clouds.count);
    clouds_.duration->show(clouds.duration.value_or(clouds_.duration->slider()->value()));
    const weather::RatePositions storms = weather::stormPositions(info);
    storms_.count->show(storms.count);
    storms_.duration->show(storms.duration.value_or(storms_.duration->slider()->value()));
    showRatios();
}

void WeatherView::showExpert() {
    const ExpertBlock& expert = board().expert();
    clouds_.alpha->show(expert.CloudAlpha);
    clouds_.step->show(expert.CloudStep);
    storms_.alpha->show(expert.StormAlpha);
    storms_.step->show(expert.StormStep);
    lightningP_->show(expert.LightningP);
}

// ---------------------------------------------------------------------------
// Enabling, texts

void WeatherView::applyEnabling(const ViewFacts& facts) {
    enabling_.apply(facts);
}

void WeatherView::textsApplied() {
    for (const Row& row : rows_)
        nameAfterCaption(row.edit, {row.slider});
}

} // namespace kv
