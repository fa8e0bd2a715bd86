#pragma once

// A plain TCP connection to the web server under test from a chosen loopback
// address (127.0.0.2 and on are loopback too on Linux), driven by the test's
// own event loop, which the server shares: bytes go out as the test says,
// what comes back is kept, and the moment the server closed it is noted.
#include <QElapsedTimer>
#include <QHostAddress>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTcpSocket>
#include <QTest>

namespace kv::testing {

class RawConnection {
public:
    // takeAnswers false: the connection reads nothing until told, so that a
    // long answer stays in the server's buffers once the kernel's are full.
    RawConnection(const QString& from, quint16 port, bool takeAnswers = true) {
        socket_.bind(QHostAddress(from));
        if (!takeAnswers)
            socket_.setReadBufferSize(8 * 1024);
        QObject::connect(&socket_, &QTcpSocket::readyRead, [this] {
            if (reading_)
                received += socket_.readAll();
        });
        QObject::connect(&socket_, &QTcpSocket::disconnected,
                         [this] { closedAt_ = age_.elapsed(); });
        reading_ = takeAnswers;
        age_.start();
        socket_.connectToHost(QHostAddress(QHostAddress::LocalHost), port);
    }

    bool waitConnected(int ms = 5000) {
        return QTest::qWaitFor(
            [this] { return socket_.state() == QAbstractSocket::ConnectedState; }, ms);
    }
    void send(const QByteArray& bytes) {
        socket_.write(bytes);
        socket_.flush();
    }
    void startReading() {
        reading_ = true;
        socket_.setReadBufferSize(0);
        received += socket_.readAll();
    }
    void close() { socket_.disconnectFromHost(); }

    bool closed() const { return closedAt_ >= 0; }
    bool waitClosed(int ms) {
        return QTest::qWaitFor([this] { return closed(); }, ms);
    }
    // Milliseconds from the connection's start to its end (-1: still open).
    qint64 closedAt() const { return closedAt_; }
    qint64 age() const { return age_.elapsed(); }

    // The first answer, once it came in whole.
    bool answered() const {
        const qsizetype end = received.indexOf("\r\n\r\n");
        if (end < 0)
            return false;
        const qsizetype length = received.indexOf("Content-Length: ");
        if (length < 0 || length > end)
            return true;
        const qsizetype lengthEnd = received.indexOf("\r\n", length);
        const qsizetype bytes = received.mid(length + 16, lengthEnd - length - 16).toLongLong();
        return received.size() >= end + 4 + bytes;
    }
    bool waitAnswered(int ms = 5000) {
        return QTest::qWaitFor([this] { return answered(); }, ms);
    }
    int status() const { return received.mid(9, 3).toInt(); }
    QJsonObject json() const {
        return QJsonDocument::fromJson(received.mid(received.indexOf("\r\n\r\n") + 4)).object();
    }

    QByteArray received;

private:
    QTcpSocket socket_;
    QElapsedTimer age_;
    qint64 closedAt_ = -1;
    bool reading_ = true;
};

// A whole GET request as a browser sends it to the server on the port.
inline QByteArray getRequest(const QByteArray& path, quint16 port) {
    return "GET " + path + " HTTP/1.1\r\nHost: 127.0.0.1:" + QByteArray::number(port) + "\r\n\r\n";
}

} // namespace kv::testing
