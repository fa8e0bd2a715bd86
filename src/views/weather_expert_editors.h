#pragma once

#include "device/records/info_block.h"
#include "views/enabling.h"

#include <QWidget>

#include <array>

class QGroupBox;
class QLineEdit;
class QSlider;

namespace kv {

class BoardService;
class ChannelNames;
class LabelledEdit;
class SliderEditPair;

// The weather editors of the Expert options tab: the lightning bit mask of
// each channel (`gbxLightningMask`), the water temperature above which clouds
// are triggered (`gbxCloudTemp`), and the white balance sum with its daily
// ramp. Each change goes to the board with the ExpertBlock. The mask edits are tinted in
// their channel's colour.
//
// The tab that holds them calls showExpert() from its own showExpert(),
// applyEnabling() from its applyEnabling() and textsApplied() from its
// textsApplied().
class WeatherExpertEditors : public QWidget {
    Q_OBJECT
public:
    WeatherExpertEditors(BoardService& board, ChannelNames& names, QWidget* parent = nullptr);

    // The record's values in the edits the user is not working; the balance
    // sum is shown even then.
    void showExpert();
    // The masks and the balance sum follow the connection; the cloud
    // temperature needs the water-temperature sensor too.
    void applyEnabling(const ViewFacts& facts);
    // The mask edits are captioned with the channel letters; the cloud
    // temperature edit takes the caption of the sensor's choice as chart
    // source ("KestTHERMAL"), which its tab holds.
    void textsApplied(const QString& sensorCaption);

    QGroupBox* lightningMaskGroup() const { return gbxLightningMask_; }
    QGroupBox* cloudTempGroup() const { return gbxCloudTemp_; }
    QLineEdit* lightningMaskEdit(int channel) const;
    QLineEdit* cloudTempEdit() const;
    QLineEdit* balanceSumRampEdit() const;
    SliderEditPair* balanceSum() const { return balanceSum_; }

private:
    QGroupBox* buildLightningMasks();
    QGroupBox* buildCloudTemp();
    QWidget* buildBalanceSum();
    void showChannelNames();

    BoardService& board_;
    ChannelNames& names_;
    QGroupBox* gbxLightningMask_ = nullptr;
    QGroupBox* gbxCloudTemp_ = nullptr;
    std::array<LabelledEdit*, ChannelCount> masks_{};
    LabelledEdit* edtCloudTempWater_ = nullptr;
    LabelledEdit* edtBalanceSum_ = nullptr;
    QSlider* trbBalanceSum_ = nullptr;
    LabelledEdit* edtBalanceSumRamp_ = nullptr;
    SliderEditPair* balanceSum_ = nullptr;
    EnablingList enabling_;
};

} // namespace kv
