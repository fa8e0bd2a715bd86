#pragma once

#include <QDateTime>

#include <functional>

namespace kv::sim {

// The simulated board's real-time clock. It holds a wall-clock time of its
// own (no time zone: the fields the board shows) and advances it by the time
// that passes on its source, multiplied by the time-lapse factor in force.
class BoardClock {
public:
    using Source = std::function<QDateTime()>;

    BoardClock(); // the computer's local clock

    // A new source also sets the board's time to the source's time.
    void setSource(Source source);

    // Moves the board time on by the source time passed since the last call,
    // times lapse (0 holds the clock). Returns the source time, ms since the
    // epoch.
    qint64 advance(int lapse);

    // Board wall time as milliseconds since 1970-01-01 00:00 of its own
    // calendar, without zone.
    qint64 wallMs() const { return wallMs_; }
    void setWallMs(qint64 wallMs) { wallMs_ = wallMs; }
    // The board time it would show now, at the given lapse, without
    // advancing.
    qint64 peekWallMs(int lapse) const;

    static qint64 toWallMs(const QDate& date, const QTime& time);
    static QDateTime fromWallMs(qint64 wallMs); // local date-time with those fields

private:
    qint64 sourceMs() const;

    Source source_;
    qint64 wallMs_ = 0;
    qint64 lastSourceMs_ = 0;
};

} // namespace kv::sim
