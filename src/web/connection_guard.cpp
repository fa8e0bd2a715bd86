#include "web/connection_guard.h"

#include "web/error_codes.h"
#include "web/web_reply.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QTcpSocket>
#include <QTimer>

namespace kv::web {

// Watches one connection until it is closed. Its slot is connected before
// the HTTP server's, so it sees each piece of the stream first (as unread
// bytes) and can stop the server from reading a refused request at all. The
// framing tells it where the stream stands, and so which deadline runs: the
// head's, the body's, the answer's or the kept connection's. An answer has
// gone out when the socket has written everything it was given after the
// request's last byte (the server answers at once, in the same turn of the
// event loop); until then no deadline of the next request runs. A connection
// handed to the WebSocket server keeps its slot but has no deadline.
class ConnectionGuard : public QObject {
public:
    ConnectionGuard(QTcpSocket* socket, GuardedTcpServer& server)
        : QObject(socket), socket_(socket), server_(&server), client_(socket->peerAddress()),
          deadlines_(server.deadlines_) {
        server.counts_.add(client_);
        deadline_.setSingleShot(true);
        deadline_.setTimerType(Qt::PreciseTimer);
        connect(&deadline_, &QTimer::timeout, this, [this] { check(); });
        connect(socket, &QTcpSocket::readyRead, this, [this] { look(); });
        connect(socket, &QTcpSocket::bytesWritten, this, [this] { written(); });
        connect(socket, &QTcpSocket::disconnected, this, [this] { release(); });
        since_.start();
        check();
    }
    ~ConnectionGuard() override { release(); }

private:
    enum class Phase { Waiting, Head, Body, Answer, Live, Refused };

    void look() {
        const QByteArray bytes = socket_->peek(socket_->bytesAvailable());
        const RequestFraming::Step step = framing_.feed(bytes);
        for (const RequestHead& head : step.heads) {
            if (!head.isWebSocketUpgrade())
                continue;
            const auto refusal =
                server_ && server_->upgradeGate_
                    ? server_->upgradeGate_(head, socket_->peerAddress())
                    : std::optional<Refusal>{Refusal{404, errorcode::NotFound, {}}};
            if (refusal)
                return refuse(head, *refusal);
            return goLive();
        }
        if (step.refusal)
            return refuse(step.heads.empty() ? RequestHead{} : step.heads.back(), *step.refusal);
        if (step.requestsEnded > 0)
            answering_ = true;
        settle();
    }

    void written() {
        if (!answering_ || socket_->bytesToWrite() > 0)
            return;
        answering_ = false;
        answered_ = true;
        settle();
    }

    Phase phaseNow() const {
        if (answering_)
            return Phase::Answer;
        switch (framing_.position()) {
        case RequestFraming::Position::InHead:
            return Phase::Head;
        case RequestFraming::Position::InBody:
            return Phase::Body;
        case RequestFraming::Position::BetweenRequests:
            break;
        }
        return Phase::Waiting;
    }

    // A deadline runs from the moment its phase began; the first request's
    // head counts from the connection.
    void settle() {
        const Phase now = phaseNow();
        if (now == phase_)
            return;
        const bool firstHead = phase_ == Phase::Waiting && now == Phase::Head && !answered_;
        if (!firstHead)
            since_.restart();
        phase_ = now;
        check();
    }

    int allowedMs() const {
        switch (phase_) {
        case Phase::Waiting:
            return answered_ ? deadlines_.keepAliveMs : deadlines_.headMs;
        case Phase::Head:
            return deadlines_.headMs;
        case Phase::Body:
            return deadlines_.bodyMs;
        case Phase::Answer:
            return deadlines_.answerMs;
        case Phase::Refused:
            return DrainMs;
        case Phase::Live:
            break;
        }
        return -1;
    }

    // Arms the timer for what is left of the phase's time, or ends the
    // connection when nothing is: a refused one once its answer is out, any
    // other at once.
    void check() {
        if (phase_ == Phase::Live)
            return;
        const qint64 left = allowedMs() - since_.elapsed();
        if (left > 0) {
            deadline_.start(int(left));
            return;
        }
        if (phase_ == Phase::Refused && socket_->bytesToWrite() == 0)
            socket_->disconnectFromHost();
        else
            socket_->abort();
    }

    // The WebSocket server takes the connection over: a long-lived reader
    // of the live feed, no longer an HTTP connection. It still holds its
    // slot until it closes.
    void goLive() {
        phase_ = Phase::Live;
        deadline_.stop();
        disconnect(socket_, nullptr, this, nullptr);
        // The HTTP server cuts every connection of the socket when it hands
        // it over; the guard listens for its end again after that.
        QMetaObject::invokeMethod(
            this,
            [this] {
                connect(socket_, &QTcpSocket::disconnected, this, [this] { release(); });
                if (socket_->state() == QAbstractSocket::UnconnectedState)
                    release();
            },
            Qt::QueuedConnection);
    }

    // Answers and closes; the HTTP server's own slot is cut off first, so it
    // reads nothing of the refused request. What the client still sends is
    // read and dropped for a moment: closing with unread bytes would reset
    // the connection and could take the answer with it.
    void refuse(const RequestHead& head, const Refusal& refusal) {
        if (server_ && server_->refusalLog_)
            server_->refusalLog_(socket_->peerAddress(), head, refusal);
        QObject::disconnect(socket_, &QTcpSocket::readyRead, nullptr, nullptr);
        socket_->readAll();
        connect(socket_, &QTcpSocket::readyRead, this, [this] { socket_->readAll(); });
        socket_->write(rawResponse(errorReply(refusal.status, refusal.code, refusal.message)));
        phase_ = Phase::Refused;
        since_.restart();
        check();
    }

    void release() {
        deadline_.stop();
        if (counted_ && server_)
            server_->counts_.remove(client_);
        counted_ = false;
    }

    static constexpr int DrainMs = 2000;

    QTcpSocket* socket_;
    QPointer<GuardedTcpServer> server_;
    const QHostAddress client_;
    const ConnectionDeadlines deadlines_;
    RequestFraming framing_;
    Phase phase_ = Phase::Waiting;
    bool answering_ = false; // a request came in whole; its answer has not gone out
    bool answered_ = false;  // an answer went out: the connection is kept
    QElapsedTimer since_;
    QTimer deadline_;
    bool counted_ = true;
};

namespace {

// Answers a connection above the limits and closes it at once.
void turnAway(QTcpSocket* socket, const Refusal& refusal) {
    QObject::connect(socket, &QTcpSocket::readyRead, socket, [socket] { socket->readAll(); });
    QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    socket->write(rawResponse(errorReply(refusal.status, refusal.code, refusal.message)));
    socket->disconnectFromHost();
}

} // namespace

GuardedTcpServer::GuardedTcpServer(QObject* parent) : QTcpServer(parent) {}

void GuardedTcpServer::incomingConnection(qintptr descriptor) {
    auto* socket = new QTcpSocket(this);
    if (!socket->setSocketDescriptor(descriptor)) {
        delete socket;
        return;
    }
    if (const auto refusal = counts_.admit(socket->peerAddress()))
        return turnAway(socket, *refusal);
    new ConnectionGuard(socket, *this);
    addPendingConnection(socket); // QTcpServer tells of it after this returns
}

} // namespace kv::web
