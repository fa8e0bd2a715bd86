#include "cli/board_watch.h"

#include "device/board_link.h"
#include "device/device_session.h"
#include "device/discovery.h"
#include "device/hid_controller.h"
#include "device/poller.h"

namespace kv::cli {

const QString BoardWatch::Unplugged = QStringLiteral("unplugged");
const QString BoardWatch::Connected = QStringLiteral("connected");
const QString BoardWatch::NoAnswer = QStringLiteral("noAnswer");
const QString BoardWatch::OtherFirmware = QStringLiteral("otherFirmware");

BoardWatch::BoardWatch(DeviceSession& session, QObject* parent)
    : QObject(parent), session_(session) {
    Discovery& discovery = session.discovery();
    Poller& poller = session.poller();
    connect(&poller, &Poller::polled, this, [this](bool readOk) { afterPoll(readOk); });
    connect(&discovery, &Discovery::boardGone, this, [this] {
        emit boardEvent(Unplugged, discoverytext::boardGone());
        rescan_.start();
    });
    connect(&discovery, &Discovery::boardConnected, this, [this, &poller] {
        rescan_.stop();
        emit boardEvent(Connected, discoverytext::boardFound(session_.link().info.FirmwareVersion));
        // Carry on at once with the board that came back.
        QTimer::singleShot(0, &poller, [&poller] { poller.tick(); });
    });
    connect(&discovery, &Discovery::boardWithOtherFirmware, this,
            [this, &discovery] { emit boardEvent(OtherFirmware, discovery.boardProblem()); });
    // Device notifications bring a board back; scanning now and then finds it
    // also where the system sends none.
    connect(&rescan_, &QTimer::timeout, this, [this] { session_.controller().scanNow(); });
}

void BoardWatch::start(int rescanMs) {
    rescan_.setInterval(rescanMs);
    if (session_.discovery().isBoardConnected())
        session_.poller().tick();
    else
        rescan_.start();
}

void BoardWatch::afterPoll(bool readOk) {
    if (!readOk) {
        // A board that left the bus fails its read before its departure is
        // noticed: look, and say that it is gone rather than silent.
        session_.controller().scanNow();
        if (!session_.discovery().isBoardConnected())
            return;
        emit boardEvent(NoAnswer, QStringLiteral("the board did not answer"));
    } else {
        emit statusPolled();
    }
    emit polledBoard();
}

} // namespace kv::cli
