#pragma once

#include <QDateTime>
#include <QObject>
#include <QTimer>

#include <functional>

namespace kv {

class BoardLink;

// Reads the board's live record once a second while a board with the supported
// firmware is connected, and keeps the board's clock within a few seconds of
// the computer's.
class Poller : public QObject {
    Q_OBJECT
public:
    static constexpr int IntervalMs = 1000;

    explicit Poller(BoardLink& link, QObject* parent = nullptr);

    // While this says false (the window is hidden) ticks read nothing.
    void setVisibleCheck(std::function<bool()> isVisible) { isVisible_ = std::move(isVisible); }
    // The computer's clock; tests replace it.
    void setClock(std::function<QDateTime()> now) { now_ = std::move(now); }

    // Every IntervalMs by default; the command line's watch takes its own.
    void setInterval(int ms) { timer_.setInterval(ms); }
    int interval() const { return timer_.interval(); }

    void start() { timer_.start(); }
    void stop() { timer_.stop(); }
    bool isActive() const { return timer_.isActive(); }

    // One tick: read the InfoBlock and correct the clock when it drifted.
    // Returns true when it wrote the clock.
    bool tick();

signals:
    // After each tick that asked the board: whether the read succeeded and
    // whether the clock was corrected.
    void polled(bool readOk, bool clockWritten);
    // Before the clock is written: how many seconds the board's time of day
    // was ahead of the computer's (negative: behind).
    void clockCorrected(int driftSeconds);

private:
    BoardLink& link_;
    QTimer timer_;
    std::function<bool()> isVisible_;
    std::function<QDateTime()> now_;
};

} // namespace kv
