#include "web/connection_guard.h"

#include "web/error_codes.h"
#include "web/web_reply.h"

#include <QPointer>
#include <QTcpSocket>
#include <QTimer>

namespace kv::web {

// Watches one connection until it is closed or handed to the WebSocket
// server. Its slot is connected before the HTTP server's, so it sees each
// piece of the stream first (as unread bytes) and can stop the server from
// reading a refused request at all.
class ConnectionGuard : public QObject {
public:
    ConnectionGuard(QTcpSocket* socket, GuardedTcpServer& server)
        : QObject(socket), socket_(socket), server_(&server) {
        ++server.open_;
        idle_.setSingleShot(true);
        idle_.setInterval(GuardedTcpServer::IdleMs);
        connect(&idle_, &QTimer::timeout, socket, [socket] { socket->abort(); });
        connect(socket, &QTcpSocket::readyRead, this, [this] { look(); });
        connect(socket, &QTcpSocket::disconnected, this, [this] { release(); });
        idle_.start();
    }
    ~ConnectionGuard() override { release(); }

private:
    void look() {
        idle_.start();
        const QByteArray bytes = socket_->peek(socket_->bytesAvailable());
        const RequestFraming::Step step = framing_.feed(bytes);
        const QHostAddress peer = socket_->peerAddress();
        for (const RequestHead& head : step.heads) {
            if (!head.isWebSocketUpgrade())
                continue;
            const auto refusal =
                server_ && server_->upgradeGate_
                    ? server_->upgradeGate_(head, peer)
                    : std::optional<Refusal>{Refusal{404, errorcode::NotFound, {}}};
            if (refusal)
                return refuse(head, *refusal);
            // The WebSocket server takes the connection over: its life is
            // no longer an HTTP connection's.
            release();
            idle_.stop();
            disconnect(socket_, nullptr, this, nullptr);
            return;
        }
        if (step.refusal)
            refuse(step.heads.empty() ? RequestHead{} : step.heads.back(), *step.refusal);
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
        idle_.disconnect();
        connect(&idle_, &QTimer::timeout, socket_,
                [socket = socket_] { socket->disconnectFromHost(); });
        idle_.start(DrainMs);
        release();
    }

    void release() {
        if (counted_ && server_)
            --server_->open_;
        counted_ = false;
    }

    static constexpr int DrainMs = 2000;

    QTcpSocket* socket_;
    QPointer<GuardedTcpServer> server_;
    RequestFraming framing_;
    QTimer idle_;
    bool counted_ = true;
};

GuardedTcpServer::GuardedTcpServer(QObject* parent) : QTcpServer(parent) {}

void GuardedTcpServer::incomingConnection(qintptr descriptor) {
    auto* socket = new QTcpSocket(this);
    if (!socket->setSocketDescriptor(descriptor)) {
        delete socket;
        return;
    }
    if (open_ >= MaxConnections) {
        socket->write(rawResponse(errorReply(503, errorcode::TooManyConnections,
                                             QStringLiteral("too many connections"))));
        socket->disconnectFromHost();
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        return;
    }
    new ConnectionGuard(socket, *this);
    addPendingConnection(socket); // QTcpServer tells of it after this returns
}

} // namespace kv::web
