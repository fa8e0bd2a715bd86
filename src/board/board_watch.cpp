#include "board/board_watch.h"

#include "board/board_service.h"
#include "device/discovery.h"
#include "text/text_catalogue.h"

namespace kv {

const QString BoardWatch::Unplugged = QStringLiteral("unplugged");
const QString BoardWatch::Connected = QStringLiteral("connected");
const QString BoardWatch::NoAnswer = QStringLiteral("noAnswer");
const QString BoardWatch::OtherFirmware = QStringLiteral("otherFirmware");

BoardWatch::BoardWatch(BoardService& service, QObject* parent)
    : QObject(parent), service_(service) {
    connect(&service, &BoardService::polled, this, &BoardWatch::afterPoll);
    connect(&service, &BoardService::unplugged, this, [this] {
        emit boardEvent(Unplugged, discoverytext::boardGone());
        rescan_.start();
    });
    connect(&service, &BoardService::connected, this, [this] {
        rescan_.stop();
        emit boardEvent(Connected, discoverytext::boardFound(service_.info().FirmwareVersion));
        // Carry on at once with the board that came back.
        QTimer::singleShot(0, &service_, [this] { service_.pollNow(); });
    });
    connect(&service, &BoardService::otherFirmware, this,
            [this] { emit boardEvent(OtherFirmware, service_.problem().text()); });
    // Device notifications bring a board back; scanning now and then finds it
    // also where the system sends none.
    connect(&rescan_, &QTimer::timeout, this, [this] { service_.scanNow(); });
}

void BoardWatch::start(int rescanMs) {
    rescan_.setInterval(rescanMs);
    if (service_.isConnected())
        service_.pollNow();
    else
        rescan_.start();
}

void BoardWatch::afterPoll(bool readOk) {
    if (!readOk) {
        // A board that left the bus fails its read before its departure is
        // noticed: look, and say that it is gone rather than silent.
        service_.scanNow();
        if (!service_.isConnected())
            return;
        emit boardEvent(NoAnswer, MsgFmt(QStringLiteral("BoardDidNotAnswer"), {}));
    } else {
        emit statusPolled();
    }
    emit polledBoard();
}

} // namespace kv
