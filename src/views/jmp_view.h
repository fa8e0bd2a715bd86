#pragma once

#include "views/view.h"

#include <array>

class QLabel;
class QLineEdit;
class QRadioButton;

namespace kv {

class FieldEdit;
class LabelledEdit;
class RadioChoice;

// The JMP pin tab: what the board's JMP pin does (nothing, pulled to ground
// during a cloud, a thunderstorm or a lightning, by the water temperature
// for a cooler or a heater, or by the schedule), the temperature hysteresis
// of cooler and heater, and an example schematic `imgLink`.
class JmpView : public View {
    Q_OBJECT
public:
    static constexpr int ModeCount = 7;

    explicit JmpView(ViewContext context);

    void showExpert() override;
    void applyEnabling(const ViewFacts& facts) override;
    void textsApplied() override;

    QRadioButton* modeButton(int mode) const { return modes_[std::size_t(mode)]; }

private:
    void jmpModeChosen(int value, bool byUser);

    QLabel* lblJMPWarning1_ = nullptr;
    QLabel* lblJMPWarning2_ = nullptr;
    std::array<QRadioButton*, ModeCount> modes_{};
    RadioChoice* jmpMode_ = nullptr;
    LabelledEdit* edtTempJMPLow_ = nullptr;
    QLineEdit* edtTempJMPHigh_ = nullptr;
    FieldEdit* low_ = nullptr;
    FieldEdit* high_ = nullptr;
    EnablingList enabling_;
};

} // namespace kv
