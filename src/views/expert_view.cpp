#include "views/expert_view.h"

#include "views/weather_expert_editors.h"

#include "astro/time_zone_fields.h"
#include "astro/time_zone_rules.h"
#include "board/board_service.h"
#include "geo/time_zone_source.h"
#include "text/number_format.h"
#include "views/field_edit.h"
#include "views/focus_rule.h"
#include "views/input_marks.h"
#include "views/labelled_edit.h"
#include "views/radio_choice.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <type_traits>

namespace kv {

namespace {

// Bus bitrate divisors the board's bus runs with.
constexpr int TwiBitrateMinimum = 10;
constexpr int TwiBitrateMaximum = 255;
// The chart's scale in tenths of a degree, and its recording interval.
constexpr double ChartScaleMinimum = 0.1;
constexpr double ChartScaleMaximum = 25.5;
constexpr int ChartIntervalMaximum = 255;
// Local standard time minus UTC: from UTC−12 to UTC+14, in minutes.
constexpr int BiasMinimum = -12 * 60;
constexpr int BiasMaximum = 14 * 60;

QString text(const char* utf8) {
    return QString::fromUtf8(utf8);
}

LabelledEdit* newEdit(const char* name, const char* caption, QWidget* parent,
                      LabelledEdit::LabelPosition position = LabelledEdit::LabelPosition::Above) {
    auto* edit = new LabelledEdit(QString::fromLatin1(name), text(caption), parent, position);
    fitForNumber(edit->edit());
    return edit;
}

QRadioButton* newRadio(const char* name, const char* caption, QWidget* parent) {
    auto* button = new QRadioButton(text(caption), parent);
    button->setObjectName(QString::fromLatin1(name));
    return button;
}

QLabel* newLabel(const char* name, const char* caption, QWidget* parent) {
    auto* label = new QLabel(text(caption), parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setWordWrap(true);
    return label;
}

} // namespace

ExpertView::ExpertView(ViewContext context, ZoneSource systemZone)
    : View(context, QStringLiteral("tsExpert"), QStringLiteral("Expert options")),
      systemZone_(std::move(systemZone)) {
    if (!systemZone_)
        systemZone_ = [] {
            return timeZoneRules();
        };

    // Two groups side by side per row, so that the long German captions
    // still fit the smallest tab area.
    auto* rows = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    top->addWidget(buildFanMode(), 1, Qt::AlignTop);
    top->addWidget(buildTimeZone(), 1, Qt::AlignTop);
    auto* middle = new QHBoxLayout;
    middle->addWidget(buildChartMode(), 1, Qt::AlignTop);
    middle->addWidget(buildTwiAndOffset(), 1, Qt::AlignTop);
    rows->addLayout(top);
    rows->addLayout(middle);
    // The weather's expert settings (lightning masks, the cloud temperature,
    // the balance sum), a group of their own.
    weatherEditors_ = new WeatherExpertEditors(board(), channelNames(), this);
    rows->addWidget(weatherEditors_);
    rows->addStretch(1);

    coupleFields();

    enabling_.add(EnableRule::Connected,
                  {edtPWMPrescaler_, lblPWMPrescaler_, edtTWIBitrate_, lblTWIBitrate_, rbtFMOLED_,
                   rbtCHMVoltage_, edtChartInterval_, edtChartScale_, btnApplyTZI_});
    for (const ZoneField& field : zone_)
        enabling_.add(EnableRule::Connected, {field.edit});
    enabling_.add(EnableRule::ConnectedSensor, {edtTempOffset_, rbtFMOWater_, rbtCHMTempWater_});
    enabling_.add(EnableRule::ConnectedSensorNotLed, {edtTempWaterLow_, edtTempWaterHigh_});
    textsApplied();
}

QWidget* ExpertView::buildTwiAndOffset() {
    auto* box = new QWidget(this);
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    edtTempOffset_ = newEdit("edtTempOffset",
                             "Calibration offset of the KestTHERMAL (temperature sensor; °C)", box);
    // Long German captions break into lines rather than widen the tab.
    edtTempOffset_->label()->setWordWrap(true);
    edtTempOffset_->edit()->setToolTip(
        text("Values entered here are added to the measured values."));
    lblTWIBitrate_ =
        newLabel("lblTWIBitrate", "If bus malfunctions occur, try another value:", box);
    edtTWIBitrate_ =
        newEdit("edtTWIBitrate", "TWI bitrate (frequency=2500kHz/(bitrate+2); 10 to 255)", box);
    edtTWIBitrate_->label()->setWordWrap(true);
    edtTWIBitrate_->edit()->setToolTip(text("25kHz -> 98; 50kHz -> 48; 100kHz -> 23"));
    // The record has no field for a PWM prescaler: the program does not offer it.
    lblPWMPrescaler_ =
        newLabel("lblPWMPrescaler",
                 "To avoid coil whine or flicker, another value can be chosen here:", box);
    edtPWMPrescaler_ = newEdit("edtPWMPrescaler",
                               "PWM prescaler (frequency=25MHz/4096/(prescaler+1); 3 to 255)", box);
    edtPWMPrescaler_->edit()->setToolTip(text("1.5kHz -> 3; 1kHz -> 5; 600Hz -> 9; 300Hz -> 19"));
    lblPWMPrescaler_->setVisible(false);
    edtPWMPrescaler_->setVisible(false);

    layout->addWidget(edtTempOffset_);
    layout->addSpacing(8);
    layout->addWidget(lblTWIBitrate_);
    layout->addWidget(edtTWIBitrate_);
    layout->addWidget(lblPWMPrescaler_);
    layout->addWidget(edtPWMPrescaler_);
    return box;
}

QGroupBox* ExpertView::buildFanMode() {
    auto* box = new QGroupBox(text("Fan mode"), this);
    box->setObjectName(QStringLiteral("gbxFanMode"));
    rbtFMOLED_ = newRadio("rbtFMOLED", "Brightness controlled, to cool the LEDs", box);
    rbtFMOWater_ =
        newRadio("rbtFMOWater", "Temperature controlled with hysteresis (KestTHERMAL)", box);
    rbtFMOWaterMaster_ =
        newRadio("rbtFMOWaterMaster",
                 "Master: temperature controlled, SlavePlus: brightness controlled", box);
    // The program offers no master/slave boards.
    rbtFMOWaterMaster_->setVisible(false);
    edtTempWaterLow_ =
        newEdit("edtTempWaterLow", "Lower (stop) and upper (start) temperature of the hysteresis",
                box, LabelledEdit::LabelPosition::Left);
    edtTempWaterLow_->label()->setWordWrap(true);
    edtTempWaterHigh_ = new QLineEdit(box);
    edtTempWaterHigh_->setObjectName(QStringLiteral("edtTempWaterHigh"));
    fitForNumber(edtTempWaterHigh_);

    auto* layout = new QVBoxLayout(box);
    layout->addWidget(rbtFMOLED_);
    layout->addWidget(rbtFMOWater_);
    layout->addWidget(rbtFMOWaterMaster_);
    auto* hysteresis = new QHBoxLayout;
    hysteresis->addWidget(edtTempWaterLow_);
    hysteresis->addWidget(edtTempWaterHigh_);
    hysteresis->addStretch(1);
    layout->addLayout(hysteresis);

    fanMode_ =
        new RadioChoice([this](int value, bool byUser) { fanModeChosen(value, byUser); }, this);
    fanMode_->add(rbtFMOLED_, ExpertBlock::FanModeLeds);
    fanMode_->add(rbtFMOWater_, ExpertBlock::FanModeWater);
    fanMode_->add(rbtFMOWaterMaster_, -1);
    return box;
}

QGroupBox* ExpertView::buildChartMode() {
    auto* box =
        new QGroupBox(text("Chart data source (the value is also shown on the display)"), this);
    box->setObjectName(QStringLiteral("gbxChartMode"));
    rbtCHMTempWater_ = newRadio("rbtCHMTempWater", "KestTHERMAL", box);
    rbtCHMVoltage_ = newRadio("rbtCHMVoltage", "Input voltage", box);
    rbtCHMTempSlave_ = newRadio(
        "rbtCHMTempSlave", "Slave temperature (only meaningful with a single slave board)", box);
    // The program offers no slave boards; a board may still report the value.
    rbtCHMTempSlave_->setVisible(false);
    edtChartInterval_ = newEdit("edtChartInterval", "Recording interval (minutes)", box);
    edtChartScale_ = newEdit("edtChartScale", "Chart scale (°C)", box);
    edtChartScale_->edit()->setToolTip(
        text("Vertical division of the curve. Range: 0.1 to 25.5°C."));

    auto* layout = new QVBoxLayout(box);
    layout->addWidget(rbtCHMTempWater_);
    layout->addWidget(rbtCHMVoltage_);
    layout->addWidget(rbtCHMTempSlave_);
    auto* numbers = new QHBoxLayout;
    numbers->addWidget(edtChartInterval_);
    numbers->addWidget(edtChartScale_);
    numbers->addStretch(1);
    layout->addLayout(numbers);

    chartMode_ =
        new RadioChoice([this](int value, bool byUser) { chartModeChosen(value, byUser); }, this);
    chartMode_->add(rbtCHMTempWater_, ExpertBlock::ChartWaterTemp);
    chartMode_->add(rbtCHMVoltage_, ExpertBlock::ChartVoltage);
    chartMode_->add(rbtCHMTempSlave_, ExpertBlock::ChartSlaveTemp);
    return box;
}

QGroupBox* ExpertView::buildTimeZone() {
    auto* box =
        new QGroupBox(text("Local time zone and start of daylight saving and standard time"), this);
    box->setObjectName(QStringLiteral("gbxTimeZone"));
    const auto field = [](auto ExpertBlock::*member, int minimum, int maximum) {
        using Field = std::remove_reference_t<decltype(ExpertBlock{}.*member)>;
        ZoneField f;
        f.minimum = minimum;
        f.maximum = maximum;
        f.store = [member](ExpertBlock& expert, int v) {
            expert.*member = static_cast<Field>(v);
        };
        f.value = [member](const ExpertBlock& expert) {
            return int(expert.*member);
        };
        return f;
    };
    using E = ExpertBlock;
    zone_ = {field(&E::Bias, BiasMinimum, BiasMaximum),
             field(&E::StandardMonth, 0, 12),
             field(&E::StandardDay, 0, 31),
             field(&E::StandardHour, 0, 23),
             field(&E::StandardDayOfWeek, 0, 6),
             field(&E::DaylightMonth, 0, 12),
             field(&E::DaylightDay, 0, 31),
             field(&E::DaylightHour, 0, 23),
             field(&E::DaylightDayOfWeek, 0, 6)};
    const char* const names[ZoneFieldCount] = {
        "edtTimeZoneBias",         "edtTimeZoneStandardMonth",     "edtTimeZoneStandardDay",
        "edtTimeZoneStandardHour", "edtTimeZoneStandardDayOfWeek", "edtTimeZoneDaylightMonth",
        "edtTimeZoneDaylightDay",  "edtTimeZoneDaylightHour",      "edtTimeZoneDaylightDayOfWeek"};
    const char* const captions[ZoneFieldCount] = {
        "UTC+x (minutes)", "Standard time month",        "Day", "Hour",
        "Weekday",         "Daylight saving time month", "Day", "Hour",
        "Weekday"};

    auto* grid = new QGridLayout(box);
    for (std::size_t i = 0; i < ZoneFieldCount; ++i) {
        zone_[i].edit = newEdit(names[i], captions[i], box);
        // The bias alone on the first row, then a row per switch.
        const int row = i == 0 ? 0 : 1 + int(i - 1) / 4;
        const int column = i == 0 ? 0 : int(i - 1) % 4;
        grid->addWidget(zone_[i].edit, row, column);
        connect(zone_[i].edit->edit(), &QLineEdit::textChanged, this, [this, edit = zone_[i].edit] {
            if (focus::userIsWorking(edit))
                edtTimeZoneChange();
        });
    }
    btnApplyTZI_ = new QPushButton(text("Get from Windows"), box);
    btnApplyTZI_->setObjectName(QStringLiteral("btnApplyTZI"));
    btnApplyTZI_->setToolTip(text("Applies the time zone data of this system."));
    grid->addWidget(btnApplyTZI_, 3, 0, 1, 4, Qt::AlignLeft);
    grid->setColumnStretch(4, 1);
    connect(btnApplyTZI_, &QPushButton::clicked, this, &ExpertView::btnApplyTZIClick);
    return box;
}

void ExpertView::coupleFields() {
    using E = ExpertBlock;
    BoardService& b = board();
    const auto add = [this](QLineEdit* edit, FieldEdit::Rules rules) {
        fields_.push_back(new FieldEdit(edit, std::move(rules), this));
    };
    add(edtTempWaterLow_->edit(), fieldrules::temperature(b, &E::TempWaterLow));
    add(edtTempWaterHigh_, fieldrules::temperature(b, &E::TempWaterHigh));
    add(edtTempOffset_->edit(), fieldrules::temperature(b, &E::TempOffset));
    add(edtChartInterval_->edit(),
        fieldrules::integer(b, &E::ChartInterval, 0, ChartIntervalMaximum));
    add(edtTWIBitrate_->edit(),
        fieldrules::integer(b, &E::TWIBitrate, TwiBitrateMinimum, TwiBitrateMaximum));
    add(edtChartScale_->edit(), {fieldrules::valueOf(b, &E::ChartScale), pairtext::tenths,
                                 pairread::tenths(ChartScaleMinimum, ChartScaleMaximum),
                                 applyToExpert(b, fieldStore(&E::ChartScale))});
}

void ExpertView::showExpert() {
    const ExpertBlock& e = board().expert();
    fanMode_->show(e.FanMode);
    chartMode_->show(e.ChartMode);
    for (FieldEdit* field : fields_)
        field->show();
    for (const ZoneField& field : zone_)
        focus::showText(field.edit->edit(), QString::number(field.value(e)));
    weatherEditors_->showExpert();
}

void ExpertView::applyEnabling(const ViewFacts& facts) {
    facts_ = facts;
    facts_.fanFollowsLeds = rbtFMOLED_->isChecked();
    enabling_.apply(facts_);
    weatherEditors_->applyEnabling(facts_);
}

void ExpertView::textsApplied() {
    nameLimits(edtTempWaterLow_, edtTempWaterHigh_);
    // The cloud temperature is the sensor's: it takes the sensor's caption.
    weatherEditors_->textsApplied(rbtCHMTempWater_->text());
}

QLineEdit* ExpertView::zoneEdit(std::size_t index) const {
    return zone_[index].edit->edit();
}

void ExpertView::fanModeChosen(int value, bool byUser) {
    // The hysteresis is of use only while the temperature switches the fan.
    applyEnabling(facts_);
    if (byUser) {
        ExpertBlock expert = board().expert();
        expert.FanMode = std::uint8_t(value);
        board().setExpert(expert);
    }
}

void ExpertView::chartModeChosen(int value, bool byUser) {
    if (byUser) {
        ExpertBlock expert = board().expert();
        expert.ChartMode = std::uint8_t(value);
        board().setExpert(expert);
    }
}

void ExpertView::edtTimeZoneChange() {
    // In their order; the first text that is no number (or a number the
    // field cannot take) stops the rest, and nothing is written.
    ExpertBlock expert = board().expert();
    for (const ZoneField& field : zone_) {
        const std::optional<int> value =
            pairread::integer(field.minimum, field.maximum)(field.edit->edit());
        if (!value)
            return;
        field.store(expert, *value);
    }
    board().setExpert(expert);
}

void ExpertView::btnApplyTZIClick() {
    const sunmoon::TimeZoneFields f = sunmoon::timeZoneFields(systemZone_());
    const int values[ZoneFieldCount] = {f.Bias,         f.StandardMonth,     f.StandardDay,
                                        f.StandardHour, f.StandardDayOfWeek, f.DaylightMonth,
                                        f.DaylightDay,  f.DaylightHour,      f.DaylightDayOfWeek};
    ExpertBlock expert = board().expert();
    for (std::size_t i = 0; i < ZoneFieldCount; ++i) {
        zone_[i].store(expert, values[i]);
        QLineEdit* edit = zone_[i].edit->edit();
        const QSignalBlocker quiet(edit);
        clearInvalid(edit);
        edit->setText(QString::number(zone_[i].value(expert)));
    }
    board().setExpert(expert);
}

} // namespace kv
