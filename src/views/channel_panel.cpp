#include "views/channel_panel.h"

#include "board/board_service.h"
#include "device/records/field_range.h"
#include "plot/channel_colors.h"
#include "text/number_format.h"
#include "text/text_catalogue.h"
#include "views/channel_names.h"
#include "views/component_texts.h"
#include "views/focus_rule.h"
#include "views/input_marks.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>

namespace kv {

namespace {

constexpr int SliderPageSize = 128;
constexpr int SliderTickInterval = 512;

QString percentText(int level) {
    return formatNumber(levelToPercent(level), u"0.##");
}

QString numbered(const char* prefix, int channel) {
    return QString::fromLatin1(prefix) + QString::number(channel);
}

} // namespace

ChannelPanel::ChannelPanel(ViewContext context)
    : View(context, QStringLiteral("tsChannels"), QStringLiteral("Channels A-F")) {
    auto* grid = new QGridLayout(this);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(12);
    for (int channel = 0; channel < ChannelCount; ++channel)
        buildRow(channel);
    grid->setColumnStretch(3, 1);
    grid->setRowStretch(ChannelCount, 1);
    fillColorNames();
    connect(&channelNames(), &ChannelNames::changed, this, &ChannelPanel::showChannelNames);
}

void ChannelPanel::buildRow(int channel) {
    auto* grid = static_cast<QGridLayout*>(layout());
    Row& row = rows_[channel];

    // Design-time texts; the catalogue replaces them at start.
    row.nameLabel =
        new QLabel(QStringLiteral("Label channel %1").arg(ChannelLetter(channel)), this);
    row.nameLabel->setObjectName(numbered("lblName", channel));

    row.nameBox = new QComboBox(this);
    row.nameBox->setObjectName(numbered("cmbName", channel));
    row.nameBox->setEditable(false);
    row.nameBox->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    row.nameLabel->setBuddy(row.nameBox);

    row.offButton = new QPushButton(QStringLiteral("OFF"), this);
    row.offButton->setObjectName(numbered("btnOff", channel));

    row.slider = new QSlider(Qt::Horizontal, this);
    row.slider->setObjectName(numbered("trb", channel));
    row.slider->setRange(0, FullLevel);
    row.slider->setPageStep(SliderPageSize);
    row.slider->setTickInterval(SliderTickInterval);
    row.slider->setTickPosition(QSlider::TicksBothSides);
    row.slider->setFocusPolicy(Qt::StrongFocus);

    row.onButton = new QPushButton(QStringLiteral("ON"), this);
    row.onButton->setObjectName(numbered("btnOn", channel));

    row.edit = new QLineEdit(this);
    row.edit->setObjectName(numbered("edt", channel));
    row.edit->setMaximumWidth(row.edit->fontMetrics().horizontalAdvance(QStringLiteral("0000000")) +
                              12);
    row.edit->setAlignment(Qt::AlignRight);

    grid->addWidget(row.nameLabel, channel, 0);
    grid->addWidget(row.nameBox, channel, 1);
    grid->addWidget(row.offButton, channel, 2);
    grid->addWidget(row.slider, channel, 3);
    grid->addWidget(row.onButton, channel, 4);
    grid->addWidget(row.edit, channel, 5);
    grid->addWidget(new QLabel(QStringLiteral("%"), this), channel, 6);

    connect(row.slider, &QSlider::valueChanged, this, [this, channel] { trbAChange(channel); });
    connect(row.edit, &QLineEdit::textChanged, this, [this, channel] { edtAChange(channel); });
    connect(row.onButton, &QPushButton::clicked, this, [this, channel] { btnOnAClick(channel); });
    connect(row.offButton, &QPushButton::clicked, this, [this, channel] { btnOffAClick(channel); });
    // activated comes from the user only, never from the program's own changes.
    connect(row.nameBox, &QComboBox::activated, this,
            [this, channel](int index) { cmbNameAChange(channel, index); });

    enabling_.add(EnableRule::Connected, {row.nameLabel, row.nameBox});
    enabling_.add(EnableRule::ConnectedManual, {row.slider, row.edit, row.offButton, row.onButton});
}

void ChannelPanel::fillColorNames() {
    for (const Row& row : rows_) {
        row.nameBox->clear();
        for (int color = 0; color < ColorCount; ++color)
            row.nameBox->addItem(ColorNameText(color));
    }
}

void ChannelPanel::showInfo() {
    const InfoBlock& info = board().info();
    for (int channel = 0; channel < ChannelCount; ++channel) {
        const int level = info.Level[std::size_t(channel)];
        focus::showValue(rows_[channel].slider, level);
        focus::showText(rows_[channel].edit, percentText(level));
    }
}

void ChannelPanel::putLevel(int channel, int level) {
    Row& row = rows_[channel];
    // The record holds the level already: a slider the user holds sends
    // nothing for it.
    row.slider->setValue(level);
    clearInvalid(row.edit);
    row.edit->setText(percentText(level));
}

void ChannelPanel::trbAChange(int channel) {
    QSlider* slider = rows_[channel].slider;
    if (!focus::userIsWorking(slider))
        return;
    const int position = slider->value();
    if (position == board().info().Level[std::size_t(channel)])
        return;
    clearInvalid(rows_[channel].edit);
    rows_[channel].edit->setText(percentText(position));
    board().setLevel(channel, position);
}

void ChannelPanel::edtAChange(int channel) {
    QLineEdit* edit = rows_[channel].edit;
    if (!focus::userIsWorking(edit))
        return;
    // A level outside 0..100 % would reach the board as nonsense: refused.
    const auto percent = acceptTypedNumber(edit, fieldrange::LevelPercent);
    if (!percent)
        return;
    const int level = int(percentToLevel(*percent));
    rows_[channel].slider->setValue(level);
    board().setLevel(channel, level);
}

void ChannelPanel::btnOnAClick(int channel) {
    board().setLevel(channel, FullLevel);
    putLevel(channel, FullLevel);
}

void ChannelPanel::btnOffAClick(int channel) {
    board().setLevel(channel, 0);
    putLevel(channel, 0);
}

void ChannelPanel::setAllChannels(int level) {
    std::array<int, ChannelCount> levels{};
    levels.fill(level);
    board().setLevels(levels);
    for (int channel = 0; channel < ChannelCount; ++channel)
        putLevel(channel, level);
}

void ChannelPanel::cmbNameAChange(int channel, int index) {
    if (index < 0)
        return;
    InfoBlock configuration = board().info();
    configuration.ColorName[std::size_t(channel)] = std::uint8_t(index);
    board().setConfiguration(configuration);
    channelNames().ApplyChannelNames();
}

void ChannelPanel::showChannelNames() {
    for (int channel = 0; channel < ChannelCount; ++channel) {
        const Row& row = rows_[channel];
        if (!focus::isDroppedDown(row.nameBox))
            row.nameBox->setCurrentIndex(channelNames().colorIndex(channel));
        setEditTint(row.edit, channelNames().tint(channel));
        // A screen reader names the row's level controls by the channel.
        const QString levelName = QStringLiteral("Level ") + channelNames().name(channel);
        row.slider->setAccessibleName(levelName);
        row.edit->setAccessibleName(levelName);
    }
}

void ChannelPanel::applyEnabling(const ViewFacts& facts) {
    enabling_.apply(facts);
}

void ChannelPanel::textsApplied() {
    // Channel 0 last: its texts are the templates of the others.
    const QString nameTemplate = rows_[0].nameLabel->text();
    for (int channel = ChannelCount - 1; channel >= 0; --channel) {
        Row& row = rows_[channel];
        row.onButton->setText(rows_[0].onButton->text());
        row.offButton->setText(rows_[0].offButton->text());
        row.nameLabel->setText(formatCaption(nameTemplate, ChannelLetter(channel)));
        // The list is announced by its label, not by the colour it shows.
        row.nameBox->setAccessibleName(row.nameLabel->text());
    }
    // "Kanäle %s": the tab's caption without a letter.
    setComponentCaption(this, formatCaption(componentCaption(this), QString()).trimmed());
}

} // namespace kv
