#pragma once

#include "views/view.h"

#include <array>
#include <functional>
#include <vector>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace kv {

namespace sunmoon {
struct TimeZoneRules;
}

struct ExpertBlock;
class FieldEdit;
class LabelledEdit;
class RadioChoice;
class WeatherExpertEditors;

// The Expert options tab: the fan mode with its temperature hysteresis, the
// chart's source, interval and scale, the bus bitrate, the sensor's
// calibration offset and the board's time-zone rules, with a button that
// copies the computer's. Every change is written with the expert record.
class ExpertView : public View {
    Q_OBJECT
public:
    using ZoneSource = std::function<sunmoon::TimeZoneRules()>;

    // The computer's time-zone rules come from the zone source (by default
    // the system's time zone this year).
    explicit ExpertView(ViewContext context, ZoneSource systemZone = {});

    void showExpert() override;
    // The hysteresis of the fan needs the sensor and the temperature
    // controlled fan mode.
    void applyEnabling(const ViewFacts& facts) override;
    void textsApplied() override;

    // The nine time-zone edits, in the order the handler reads them.
    static constexpr std::size_t ZoneFieldCount = 9;
    QLineEdit* zoneEdit(std::size_t index) const;
    QPushButton* applyZoneButton() const { return btnApplyTZI_; }

private:
    QWidget* buildTwiAndOffset();
    QGroupBox* buildFanMode();
    QGroupBox* buildChartMode();
    QGroupBox* buildTimeZone();
    void coupleFields();

    void fanModeChosen(int value, bool byUser);
    void chartModeChosen(int value, bool byUser);
    // One handler for the nine time-zone edits.
    void edtTimeZoneChange();
    void btnApplyTZIClick();

    ZoneSource systemZone_;
    ViewFacts facts_;
    EnablingList enabling_;

    QLabel* lblPWMPrescaler_ = nullptr;
    LabelledEdit* edtPWMPrescaler_ = nullptr;
    QLabel* lblTWIBitrate_ = nullptr;
    LabelledEdit* edtTWIBitrate_ = nullptr;
    LabelledEdit* edtTempOffset_ = nullptr;

    QRadioButton* rbtFMOLED_ = nullptr;
    QRadioButton* rbtFMOWater_ = nullptr;
    QRadioButton* rbtFMOWaterMaster_ = nullptr;
    LabelledEdit* edtTempWaterLow_ = nullptr;
    QLineEdit* edtTempWaterHigh_ = nullptr;
    RadioChoice* fanMode_ = nullptr;

    QRadioButton* rbtCHMTempWater_ = nullptr;
    QRadioButton* rbtCHMVoltage_ = nullptr;
    QRadioButton* rbtCHMTempSlave_ = nullptr;
    LabelledEdit* edtChartInterval_ = nullptr;
    LabelledEdit* edtChartScale_ = nullptr;
    RadioChoice* chartMode_ = nullptr;

    // A time-zone edit with the values its field takes and how it is stored
    // in a record and read from one.
    struct ZoneField {
        LabelledEdit* edit = nullptr;
        int minimum = 0;
        int maximum = 0;
        std::function<void(ExpertBlock&, int)> store;
        std::function<int(const ExpertBlock&)> value;
    };
    std::array<ZoneField, ZoneFieldCount> zone_;
    QPushButton* btnApplyTZI_ = nullptr;

    std::vector<FieldEdit*> fields_;
    WeatherExpertEditors* weatherEditors_ = nullptr;
};

} // namespace kv
