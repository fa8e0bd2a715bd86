#include "views/channel_settings_view.h"

#include "board/board_service.h"
#include "text/text_catalogue.h"
#include "views/accessible_names.h"
#include "views/channel_names.h"
#include "views/input_marks.h"
#include "views/labelled_edit.h"
#include "views/setting_pairs.h"
#include "views/slider_edit_pair.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>

namespace kv {

namespace {

constexpr int EditWidth = 70;

// Delays in tenths of a second; 255 (25.5 s) switches weather off.
constexpr int MaxDelayTenths = 255;
constexpr double MaxDelaySeconds = 25.5;

QString numbered(const QString& prefix, int channel) {
    return prefix + QString::number(channel);
}

} // namespace

ChannelSettingsView::ChannelSettingsView(ViewContext context, Setting setting)
    : View(context, setting.sheetName, setting.designCaption), setting_(std::move(setting)) {
    auto* grid = new QGridLayout(this);
    grid->setVerticalSpacing(12);
    grid->setColumnStretch(1, 1);

    description_ = new QLabel(setting_.descriptionText, this);
    description_->setObjectName(setting_.descriptionName);
    description_->setWordWrap(true);
    grid->addWidget(description_, 0, 0, 1, 2);
    enabling_.add(EnableRule::Connected, {description_});

    for (int channel = 0; channel < ChannelCount; ++channel) {
        auto* edit = new LabelledEdit(numbered(setting_.editPrefix, channel),
                                      QString(ChannelLetter(channel)), this,
                                      LabelledEdit::LabelPosition::Left);
        edit->edit()->setFixedWidth(EditWidth);
        edit->edit()->setAlignment(Qt::AlignRight);
        auto* slider = new QSlider(Qt::Horizontal, this);
        slider->setObjectName(numbered(setting_.sliderPrefix, channel));
        slider->setRange(0, setting_.maximum);
        slider->setPageStep(setting_.pageStep);
        slider->setTickInterval(setting_.tickInterval);
        slider->setTickPosition(setting_.tickInterval > 0 ? QSlider::TicksBelow : QSlider::NoTicks);
        slider->setFocusPolicy(Qt::StrongFocus);
        grid->addWidget(edit, channel + 1, 0);
        grid->addWidget(slider, channel + 1, 1);
        enabling_.add(EnableRule::Connected, {edit, slider});

        SliderEditPair::Rules rules;
        rules.text = setting_.text;
        rules.read = setting_.read;
        rules.apply = applyToExpert(board(), [this, channel](ExpertBlock& expert, int value) {
            return setting_.store(expert, channel, value);
        });
        edits_[std::size_t(channel)] = edit;
        pairs_[std::size_t(channel)] = new SliderEditPair(slider, edit->edit(), rules, this);
    }
    grid->setRowStretch(ChannelCount + 1, 1);
    textsApplied();
    connect(&channelNames(), &ChannelNames::changed, this, &ChannelSettingsView::showChannelNames);
}

void ChannelSettingsView::setCaption(int channel, const QString& caption) {
    LabelledEdit* edit = edits_[std::size_t(channel)];
    edit->setCaption(caption);
    nameAfterCaption(edit, {pairs_[std::size_t(channel)]->slider()});
}

void ChannelSettingsView::showExpert() {
    for (int channel = 0; channel < ChannelCount; ++channel)
        pairs_[std::size_t(channel)]->show(setting_.value(board().expert(), channel));
}

void ChannelSettingsView::connectionChanged(bool connected) {
    if (!connected)
        return;
    boardNamed_ = true;
    showChannelNames();
}

void ChannelSettingsView::showChannelNames() {
    for (int channel = 0; channel < ChannelCount; ++channel) {
        if (boardNamed_)
            setCaption(channel, channelNames().name(channel));
        setEditTint(edits_[std::size_t(channel)]->edit(), channelNames().tint(channel));
    }
}

void ChannelSettingsView::applyEnabling(const ViewFacts& facts) {
    enabling_.apply(facts);
}

void ChannelSettingsView::textsApplied() {
    for (int channel = 0; channel < ChannelCount; ++channel)
        setCaption(channel, QString(ChannelLetter(channel)));
}

// ---------------------------------------------------------------------------

namespace {

ChannelSettingsView::Setting weatherDelays() {
    ChannelSettingsView::Setting s;
    s.sheetName = QStringLiteral("tsWeatherDelay");
    s.designCaption = QStringLiteral("Delays");
    s.descriptionName = QStringLiteral("lblWeatherDelay");
    s.descriptionText = QStringLiteral(
        "To make weather seem to move across the tank, each channel can have a delay: clouds "
        "and thunderstorms reach it when its time has passed. The value 25.5 switches weather "
        "off on the channel. Range: 0 to 25.5 seconds.");
    s.editPrefix = QStringLiteral("edtWeatherDelay");
    s.sliderPrefix = QStringLiteral("trbWeatherDelay");
    s.maximum = MaxDelayTenths;
    s.pageStep = 10;
    s.tickInterval = 10;
    s.text = pairtext::tenths;
    s.read = pairread::tenths(0, MaxDelaySeconds);
    s.value = [](const ExpertBlock& expert, int channel) {
        return int(expert.WeatherDelay[std::size_t(channel)]);
    };
    s.store = [](ExpertBlock& expert, int channel, int value) {
        return storeValue(expert.WeatherDelay[std::size_t(channel)], value);
    };
    return s;
}

ChannelSettingsView::Setting moonBrightness() {
    ChannelSettingsView::Setting s;
    s.sheetName = QStringLiteral("tsMoon");
    s.designCaption = QStringLiteral("Moon");
    s.descriptionName = QStringLiteral("lblMoon");
    s.descriptionText = QStringLiteral(
        "These settings give the brightness of a full moon at the zenith (90°). It is added "
        "to the current brightness in proportion to the moon's real altitude and phase. "
        "Range: 0 to 4096 (100 %).");
    s.editPrefix = QStringLiteral("edtMoon");
    s.sliderPrefix = QStringLiteral("trbMoon");
    s.maximum = FullLevel;
    s.pageStep = 128;
    s.tickInterval = 512;
    s.text = pairtext::integer;
    s.read = pairread::rounded(0, FullLevel);
    s.value = [](const ExpertBlock& expert, int channel) {
        return int(expert.MoonColor[std::size_t(channel)]);
    };
    s.store = [](ExpertBlock& expert, int channel, int value) {
        return storeValue(expert.MoonColor[std::size_t(channel)], value);
    };
    return s;
}

} // namespace

WeatherDelayView::WeatherDelayView(ViewContext context)
    : ChannelSettingsView(context, weatherDelays()) {}

MoonView::MoonView(ViewContext context) : ChannelSettingsView(context, moonBrightness()) {}

} // namespace kv
