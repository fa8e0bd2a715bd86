#pragma once

#include "views/view.h"

#include <QDateTime>

#include <cstdint>
#include <functional>

class QAction;
class QMenu;

namespace kv {

class PictureBox;

// The Chart tab: the board's recorded history `imgTemp`, drawn after every
// read of the expert record and the chart and whenever the picture changes
// size. A click rereads both; the pop-up menu `pumChart` switches the
// board's chart source. Coming to the front rereads as well.
class ChartView : public View {
    Q_OBJECT
public:
    // The computer's clock gives the date of the chart (and the time when
    // the board's is no valid time).
    explicit ChartView(ViewContext context,
                       std::function<QDateTime()> computerClock = &QDateTime::currentDateTime);

    void showExpert() override;
    void applyEnabling(const ViewFacts& facts) override;
    void activated() override;
    // The menu items read as the chart source's buttons on the expert tab.
    void textsApplied() override;

    PictureBox* picture() const { return imgTemp_; }
    QMenu* menu() const { return pumChart_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void redraw();
    void imgTempClick();
    // Before the menu opens: the water temperature needs the sensor, the
    // board's source is checked.
    void pumChartPopup();
    void chooseSource(std::uint8_t chartMode);

    std::function<QDateTime()> computerClock_;
    PictureBox* imgTemp_ = nullptr;
    QMenu* pumChart_ = nullptr;
    QAction* mnuCHMTempWater_ = nullptr;
    QAction* mnuCHMVoltage_ = nullptr;
    QAction* mnuCHMTempSlave_ = nullptr;
    QAction* mnuCHMTempBoard_ = nullptr;
    EnablingList enabling_;
    bool stale_ = false; // the picture waits to be drawn until it is seen
};

} // namespace kv
