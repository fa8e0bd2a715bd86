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
    try {
        link_.GetInfoConfig();
        if (!clockNeedsCorrection(link_.info, now_().time()))
            return false;
        // Read the clock again at the moment of writing.
        setBoardTimeOfDay(link_.info, now_().time());
        link_.SetInfo(true, false, false);
        return true;
    } catch (const std::exception&) {
        // A failing tick ends silently; the next one starts afresh.
        return false;
    }
}

} // namespace kv
