#pragma once

#include "device/records/info_block.h"
#include "views/view.h"

#include <array>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;

namespace kv {

// The channel tab: per channel a level slider, a percent edit, OFF and ON,
// the colour-name list and the channel's label. Every change goes to the
// board at once through the board service.
class ChannelPanel : public View {
    Q_OBJECT
public:
    explicit ChannelPanel(ViewContext context);

    // Puts the record's levels into the sliders and edits the user is not
    // working.
    void showInfo() override;
    void applyEnabling(const ViewFacts& facts) override;
    // The rows' captions are copies of the first row's, with the letter.
    void textsApplied() override;

    // The "all channels" commands: every channel to this level, one write.
    void setAllChannels(int level);

    QSlider* slider(int channel) const { return rows_[channel].slider; }
    QLineEdit* percentEdit(int channel) const { return rows_[channel].edit; }
    QComboBox* nameBox(int channel) const { return rows_[channel].nameBox; }
    QLabel* nameLabel(int channel) const { return rows_[channel].nameLabel; }

private:
    struct Row {
        QLabel* nameLabel = nullptr;
        QComboBox* nameBox = nullptr;
        QPushButton* offButton = nullptr;
        QSlider* slider = nullptr;
        QPushButton* onButton = nullptr;
        QLineEdit* edit = nullptr;
    };

    void buildRow(int channel);
    // Fills each colour list with the sixteen colour names.
    void fillColorNames();
    // The channel names changed: the colour lists and the edits' tints follow.
    void showChannelNames();
    // The row handlers; the channel is the row's index.
    void trbAChange(int channel);
    void edtAChange(int channel);
    void btnOnAClick(int channel);
    void btnOffAClick(int channel);
    void cmbNameAChange(int channel, int index);
    // A level the board took into the slider and the edit.
    void putLevel(int channel, int level);

    std::array<Row, ChannelCount> rows_;
    EnablingList enabling_;
};

} // namespace kv
