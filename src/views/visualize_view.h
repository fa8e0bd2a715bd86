#pragma once

#include "device/records/schedule_line.h"
#include "views/view.h"
// The drawing headers use C++20 library parts that moc cannot read; moc
// needs nothing of them.
#ifndef Q_MOC_RUN
#include "plot/day_curve_geometry.h"
#endif

#include <QPointF>
#include <QTimer>

#include <optional>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QWheelEvent;

namespace kv {

class DayCurvePicture;
struct DayCurveScene;

// The visualisation tab: the schedule drawn as a day curve per channel. The
// chosen channel lies on top with handles at its lines; dragging a handle
// changes that line's level and, by clock time, its time. While the handle
// is dragged the view keeps a draft of its line and draws the schedule with
// the draft in place; the line goes to the board once, when the drag ends.
class VisualizeView : public View {
    Q_OBJECT
public:
    explicit VisualizeView(ViewContext context);
    ~VisualizeView() override;

    // The marker follows the board's clock while the tab is in front.
    void showInfo() override;
    void showSchedule() override;
    void applyEnabling(const ViewFacts& facts) override;
    void activated() override;
    void textsApplied() override;

    DayCurvePicture* picture() const { return img_; }
    QComboBox* channelList() const { return cmbVisualize_; }
    QCheckBox* timeLock() const { return cbxTimeLock_; }
    const QTimer& redrawTimer() const { return tmrVisualize_; }
    // The channel drawn on top and the line being dragged (-1: none).
    int visualChannel() const { return visualChannel_; }
    int dragLine() const { return dragLine_; }

    // What the picture shows now, from the records (with the dragged line's
    // draft) and the channel names.
    DayCurveScene scene() const;
    // Where the last drawing placed each line, for the mouse to hit.
    const std::vector<LinePoint>& linePoints() const { return linePoints_; }

protected:
    void showEvent(QShowEvent* event) override;
    // The wheel anywhere in the window changes the channel while the tab is
    // in front.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void DrawDayCurve();
    void cmbVisualizeChange(int index);
    void imgMouseDown(QPointF position);
    void imgMouseMove(QPointF position);
    void imgMouseUp();
    void imgResize();
    void tmrVisualizeTimer();
    bool FormMouseWheel(const QWheelEvent& event);
    void showChannelNames();

    DayCurvePicture* img_ = nullptr;
    QLabel* lblVisualize_ = nullptr;
    QComboBox* cmbVisualize_ = nullptr;
    QCheckBox* cbxTimeLock_ = nullptr;
    QTimer tmrVisualize_;
    EnablingList enabling_;
    int visualChannel_ = 0;
    int dragLine_ = -1;
    // The dragged line as the mouse moved it, not yet on the board.
    std::optional<ScheduleLine> draft_;
    std::vector<LinePoint> linePoints_;
};

} // namespace kv
