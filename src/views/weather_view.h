#pragma once

#include "device/records/expert_block.h"
#include "views/view.h"

#include <cstdint>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;

namespace kv {

class LabelledEdit;
class SliderEditPair;

// The Weather tab: how often and how long clouds and thunderstorms come (the
// InfoBlock's rates, written with the configuration), how dark they make the
// light, how fast they dim and how often lightning strikes (ExpertBlock), the
// share of time each is present, and the buttons that start or stop one at
// once.
class WeatherView : public View {
    Q_OBJECT
public:
    explicit WeatherView(ViewContext context);

    // The rate sliders and edits the user is not working, and the ratio
    // labels.
    void showInfo() override;
    // The effect sliders and edits the user is not working.
    void showExpert() override;
    void applyEnabling(const ViewFacts& facts) override;
    void textsApplied() override;

    // One slider/edit pair of the tab, by the slider's or the edit's name
    // ("trbCloudCount", "edtCloudCount").
    SliderEditPair* pair(const QString& name) const;
    QLabel* cloudRatioLabel() const { return clouds_.ratio; }
    QLabel* stormRatioLabel() const { return storms_.ratio; }
    QPushButton* cloudButton() const { return clouds_.trigger; }
    QPushButton* stormButton() const { return storms_.trigger; }

private:
    // A slider with its labelled edit in the next row of a group.
    struct Row {
        QSlider* slider = nullptr;
        LabelledEdit* edit = nullptr;
    };
    // The controls of one kind of weather event, and how they are designed.
    struct Event {
        QGroupBox* group = nullptr;
        SliderEditPair* count = nullptr;
        SliderEditPair* duration = nullptr;
        SliderEditPair* alpha = nullptr;
        SliderEditPair* step = nullptr;
        QLabel* ratio = nullptr;
        QPushButton* trigger = nullptr;
    };
    struct EventDesign {
        QString kind; // "Cloud": gbxCloud, edtCloudCount, lblCloudRatio, btnCloud
        QString caption;
        QString countCaption;
        int maxCount = 0;
        QString durationName; // "Seconds": edtCloudSeconds
        QString durationCaption;
        int maxDuration = 0;
        QString triggerHint;
        bool clouds = true; // else thunderstorms
    };

    Row addRow(QGroupBox* group, const QString& name, const QString& caption, int minimum,
               int maximum);
    // The group with its rate and effect rows.
    Event buildEvent(const EventDesign& design, std::uint8_t ExpertBlock::*alpha,
                     std::uint16_t ExpertBlock::*step);
    // The ratio label and the trigger button below the rows.
    void addTrigger(Event& event, const EventDesign& design);
    QGroupBox* buildCloudGroup();
    QGroupBox* buildStormGroup();
    // A rate pair: its position is a count or a duration; the rates are
    // computed from both sliders of the event and sent with the
    // configuration.
    SliderEditPair* coupleRate(const Row& row, bool clouds);
    // An effect pair over an ExpertBlock field.
    template <class Field> SliderEditPair* coupleEffect(const Row& row, Field ExpertBlock::*field);

    // The rates of both sliders of the event to the board (when they
    // changed), then the ratios.
    void applyRates(bool clouds);
    void showRatios();

    QList<SliderEditPair*> pairs_;
    QList<Row> rows_;
    Event clouds_;
    Event storms_;
    SliderEditPair* lightningP_ = nullptr;
    EnablingList enabling_;
};

} // namespace kv
