#pragma once

#include "device/records/info_block.h"
#include "views/view.h"

#include <array>
#include <functional>
#include <optional>

class QLabel;
class QLineEdit;
class QSlider;

namespace kv {

struct ExpertBlock;
class LabelledEdit;
class SliderEditPair;

// A tab of one per-channel ExpertBlock setting: a description, then per
// channel a slider with its edit, captioned with the channel's name and
// tinted in its colour. Every change goes to the board with the ExpertBlock.
class ChannelSettingsView : public View {
    Q_OBJECT
public:
    // What the tab edits and how.
    struct Setting {
        QString sheetName;
        QString designCaption;
        QString descriptionName; // the description label's component name
        QString descriptionText; // its design-time text
        QString editPrefix;      // "edtMoon": edtMoon0 to edtMoon3
        QString sliderPrefix;
        int maximum = 0;
        int pageStep = 1;
        int tickInterval = 0;
        std::function<QString(int position)> text;
        std::function<std::optional<int>(QLineEdit*)> read;
        // The channel's field: its value, and storing a value into a copy of
        // the record (false when it held the value already).
        std::function<int(const ExpertBlock&, int channel)> value;
        std::function<bool(ExpertBlock&, int channel, int value)> store;
    };

    ChannelSettingsView(ViewContext context, Setting setting);

    void showExpert() override;
    // Once a board was read its channel names mean something: the captions
    // follow them from then on.
    void connectionChanged(bool connected) override;
    void applyEnabling(const ViewFacts& facts) override;
    // The edits' captions are the channel letters until a board's names
    // follow.
    void textsApplied() override;

    SliderEditPair* pair(int channel) const { return pairs_[std::size_t(channel)]; }
    LabelledEdit* edit(int channel) const { return edits_[std::size_t(channel)]; }
    QLabel* description() const { return description_; }

private:
    // The channel names changed: tints follow, and the captions once a board
    // told its names.
    void showChannelNames();
    void setCaption(int channel, const QString& caption);

    Setting setting_;
    QLabel* description_ = nullptr;
    std::array<LabelledEdit*, ChannelCount> edits_{};
    std::array<SliderEditPair*, ChannelCount> pairs_{};
    EnablingList enabling_;
    bool boardNamed_ = false;
};

// The Delays tab: per channel the delay before clouds and thunderstorms
// reach it, 0 to 25.5 s (25.5 switches weather off on the channel).
class WeatherDelayView : public ChannelSettingsView {
    Q_OBJECT
public:
    explicit WeatherDelayView(ViewContext context);
};

// The Moon tab: per channel the brightness of a full moon at the zenith,
// 0 to 4096 (the raw level, not a percentage).
class MoonView : public ChannelSettingsView {
    Q_OBJECT
public:
    explicit MoonView(ViewContext context);
};

} // namespace kv
