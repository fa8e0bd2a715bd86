#include "sim/board_clock.h"

namespace kv::sim {

namespace {
constexpr qint64 MsPerDay = 86'400'000;
constexpr qint64 UnixEpochJulianDay = 2'440'588;

qint64 floorDiv(qint64 a, qint64 b) {
    const qint64 q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}
} // namespace

BoardClock::BoardClock() {
    const QDateTime now = QDateTime::currentDateTime();
    wallMs_ = toWallMs(now.date(), now.time());
    lastSourceMs_ = now.toMSecsSinceEpoch();
}

void BoardClock::setSource(Source source) {
    source_ = std::move(source);
    const QDateTime now = source_ ? source_() : QDateTime::currentDateTime();
    wallMs_ = toWallMs(now.date(), now.time());
    lastSourceMs_ = now.toMSecsSinceEpoch();
}

qint64 BoardClock::sourceMs() const {
    // The default path avoids a local-time conversion on every transfer.
    return source_ ? source_().toMSecsSinceEpoch() : QDateTime::currentMSecsSinceEpoch();
}

qint64 BoardClock::advance(int lapse) {
    const qint64 now = sourceMs();
    wallMs_ += (now - lastSourceMs_) * lapse;
    lastSourceMs_ = now;
    return now;
}

qint64 BoardClock::peekWallMs(int lapse) const {
    return wallMs_ + (sourceMs() - lastSourceMs_) * lapse;
}

qint64 BoardClock::toWallMs(const QDate& date, const QTime& time) {
    return (date.toJulianDay() - UnixEpochJulianDay) * MsPerDay + time.msecsSinceStartOfDay();
}

QDateTime BoardClock::fromWallMs(qint64 wallMs) {
    const qint64 day = floorDiv(wallMs, MsPerDay);
    const int msOfDay = int(wallMs - day * MsPerDay);
    return QDateTime(QDate::fromJulianDay(day + UnixEpochJulianDay),
                     QTime::fromMSecsSinceStartOfDay(msOfDay));
}

} // namespace kv::sim
