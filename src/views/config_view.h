#pragma once

#include "views/view.h"

#include <array>
#include <functional>

class QAbstractSlider;
class QGroupBox;
class QLabel;
class QPushButton;
class QSlider;

namespace kv {

class LabelledEdit;
class PictureBox;
class SliderEditPair;

// The Configuration tab: the board's status line `lblBoard` beside the empty
// picture `imgHealth`, the display backlight and fan levels (each a slider
// with its edit, the sliders held in order: bright/fast above dim/slow above
// night/off), and the time-lapse factor with "Realtime".
class ConfigView : public View {
    Q_OBJECT
public:
    explicit ConfigView(ViewContext context);

    // The status line, levels and time lapse follow every read of the
    // InfoBlock (the status line not when the board's date is impossible:
    // then it keeps what it showed).
    void showInfo() override;
    // The night and off levels are expert settings.
    void showExpert() override;
    // Without a board there is no status to show.
    void connectionChanged(bool connected) override;
    // The fan's off level is no use while the water temperature switches
    // the fan: it follows the fan mode the records hold.
    void applyEnabling(const ViewFacts& facts) override;
    void activated() override;
    // The sliders are named as their edits' captions read.
    void textsApplied() override;

    QLabel* boardLabel() const { return lblBoard_; }

private:
    // One level: its edit with caption, its slider and their coupling.
    struct Level {
        LabelledEdit* edit = nullptr;
        QSlider* slider = nullptr;
        SliderEditPair* pair = nullptr;
    };
    // The three levels of a group, top to bottom: the highest first.
    static constexpr std::size_t Top = 0;
    static constexpr std::size_t Middle = 1;
    static constexpr std::size_t Bottom = 2;
    using LevelGroup = std::array<Level, 3>;

    QGroupBox* buildLevelGroup(const char* groupName, const char* groupCaption, LevelGroup& group,
                               const std::array<const char*, 3>& names,
                               const std::array<const char*, 3>& captions);
    using Apply = std::function<void(int)>;
    void coupleLevels();
    // Couples each level of a group with its field, held between its
    // neighbours.
    void coupleGroup(LevelGroup& group, const std::array<Apply, 3>& applies);
    QWidget* buildTimeLapse();
    void btnRealtimeClick();
    void applyFanOffEnabling();

    QLabel* lblBoard_ = nullptr;
    PictureBox* imgHealth_ = nullptr;
    LevelGroup backlight_;
    LevelGroup fan_;
    Level timeLapse_;
    QPushButton* btnRealtime_ = nullptr;
    EnablingList enabling_;
    ViewFacts facts_;
};

} // namespace kv
