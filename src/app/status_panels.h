#pragma once

#include <QStatusBar>

#include <array>

class QLabel;

namespace kv {

// The status bar `sb` with three panels: status texts on the left, the board's
// clock and the mode letters centred on the right. The right panels keep
// their widths; the left one takes the rest.
class StatusPanels : public QStatusBar {
    Q_OBJECT
public:
    // The panels: status texts, the board's clock, mode and activity letters.
    enum Panel : int { Text = 0, Clock = 1, Mode = 2, Count = 3 };
    // Widths of the reference layout at 96 dots per inch.
    static constexpr int ClockWidth = 160;
    static constexpr int ModeWidth = 100;
    static constexpr int DesignHeight = 19;

    explicit StatusPanels(QWidget* parent = nullptr);

    // Scales the fixed widths and the height by the screen's dots per inch / 96.
    void setScale(double scale);

    void setPanelText(int panel, const QString& text);
    // An active alert holds the first panel, in red, until it is cleared
    // (empty text); the status texts told meanwhile come back after it.
    void setAlertText(const QString& text);
    QString alertText() const { return alert_; }
    QString panelText(int panel) const;
    QLabel* panel(int index) const { return panels_[std::size_t(index)]; }
    int fixedWidth() const; // of panels 1 and 2 together

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    // Panel 0 gets the bar's width minus the fixed panels.
    void sbResize();

    std::array<QLabel*, Count> panels_{};
    QString alert_;
    QString status_; // the first panel's status text under an alert
    int clockWidth_ = ClockWidth;
    int modeWidth_ = ModeWidth;
};

} // namespace kv
