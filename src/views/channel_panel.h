#pragma once

#include <QWidget>

#include <array>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;

namespace kv {

class BoardLink;
struct InfoBlock;

// The channel tab: per channel a level slider, a percent edit, OFF and ON,
// the colour-name list and the channel's label. Every change goes to the
// board at once through the board link.
class ChannelPanel : public QWidget {
    Q_OBJECT
public:
    static constexpr int Channels = 4;
    static constexpr int FullLevel = 4096;

    explicit ChannelPanel(BoardLink& link, QWidget* parent = nullptr);

    // Fills each colour list with the sixteen colour names (once, at start).
    void fillColorNames();
    // Puts the record's levels into the sliders and edits the user is not
    // working.
    void showLevels(const InfoBlock& info);
    // The "all channels" commands: every channel to this level, one write.
    void setAllChannels(int level);

    QSlider* slider(int channel) const { return rows_[channel].slider; }
    QLineEdit* percentEdit(int channel) const { return rows_[channel].edit; }
    QComboBox* nameBox(int channel) const { return rows_[channel].nameBox; }
    QLabel* nameLabel(int channel) const { return rows_[channel].nameLabel; }

signals:
    // The user chose a colour name: everything that shows channel names or
    // tints has to follow.
    void colorChosen();

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
    // The row handlers; the channel is the row's index.
    void trbAChange(int channel);
    void edtAChange(int channel);
    void btnOnAClick(int channel);
    void btnOffAClick(int channel);
    void cmbNameAChange(int channel, int index);
    // Level into the record, slider and edit, without writing.
    void putLevel(int channel, int level);
    void writeLevels();

    BoardLink& link_;
    std::array<Row, Channels> rows_;
};

} // namespace kv
