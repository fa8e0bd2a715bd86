#pragma once

#include "views/view.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;

namespace kv {

class LabelledEdit;
class SliderEditPair;

// The Weather tab: how often and how long clouds and thunderstorms come (the
// InfoBlock's rates, written with SetConfig), how dark they make the light,
// how fast they dim and how often lightning strikes (ExpertBlock, written
// with SetExpert), the share of time each is present, and the buttons that
// start or stop one at once.
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
    QLabel* cloudRatioLabel() const { return lblCloudRatio_; }
    QLabel* stormRatioLabel() const { return lblStormRatio_; }
    QPushButton* cloudButton() const { return btnCloud_; }
    QPushButton* stormButton() const { return btnStorm_; }

private:
    // A slider with its labelled edit in the next row of a group.
    struct Row {
        QSlider* slider = nullptr;
        LabelledEdit* edit = nullptr;
    };
    Row addRow(QGroupBox* group, const QString& name, const QString& caption, int minimum,
               int maximum);
    QGroupBox* buildCloudGroup();
    QGroupBox* buildStormGroup();
    // A rate pair: its position is a count or a duration; the rates are
    // computed from both sliders of the event and sent with SetConfig.
    SliderEditPair* coupleRate(const Row& row, bool clouds);
    // An effect pair over an ExpertBlock field, sent with SetExpert.
    template <class Field> SliderEditPair* coupleEffect(const Row& row, Field& field);

    bool storeCloudRates();
    bool storeStormRates();
    void showRatios();
    void btnCloudClick();
    void btnStormClick();

    QList<SliderEditPair*> pairs_;
    QList<Row> rows_;
    SliderEditPair* cloudCount_ = nullptr;
    SliderEditPair* cloudSeconds_ = nullptr;
    SliderEditPair* stormCount_ = nullptr;
    SliderEditPair* stormMinutes_ = nullptr;
    SliderEditPair* cloudAlpha_ = nullptr;
    SliderEditPair* cloudStep_ = nullptr;
    SliderEditPair* stormAlpha_ = nullptr;
    SliderEditPair* stormStep_ = nullptr;
    SliderEditPair* lightningP_ = nullptr;
    QLabel* lblCloudRatio_ = nullptr;
    QLabel* lblStormRatio_ = nullptr;
    QPushButton* btnCloud_ = nullptr;
    QPushButton* btnStorm_ = nullptr;
    EnablingList enabling_;
};

} // namespace kv
