#include "device/poller.h"

#include "device/board_link.h"
#include "device/clock_sync.h"

#include <exception>

namespace kv {

Poller::Poller(BoardLink& link, QObject* parent)
    : QObject(parent), link_(link), now_([] { return QDateTime::currentDateTime(); }) {
    timer_.setInterval(IntervalMs);
    connect(&timer_, &QTimer::timeout, this, [this] { tick(); });
}

bool Poller::tick() {
    if (isVisible_ && !isVisible_())
        return false;
    bool readOk = false;
    bool clockWritten = false;
    try {
        readOk = link_.GetInfoConfig();
        if (clockNeedsCorrection(link_.info, now_().time())) {
            emit clockCorrected(clockDifferenceSeconds(link_.info, now_().time()));
            // Read the clock again at the moment of writing.
            setBoardTimeOfDay(link_.info, now_().time());
            link_.SetInfo(true, false, false);
            clockWritten = true;
        }
    } catch (const std::exception&) {
        // A failing tick ends silently; the next one starts afresh.
    }
    emit polled(readOk, clockWritten);
    return clockWritten;
}

} // namespace kv
