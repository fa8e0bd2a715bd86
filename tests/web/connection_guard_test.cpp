// Slow, idle and greedy clients over real loopback connections, from several
// loopback addresses, against the web server in this process: deadlines that
// a trickle of bytes does not put off, the cap per address, the slots held
// back from the busiest address, and the live feed exempt from the deadlines.
#include "web/connection_counts.h"
#include "web/connection_limits.h"
#include "web/web_server.h"

#include "web/raw_connection.h"

#include <QTimer>
#include <QWebSocket>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

using namespace kv::web;
using kv::testing::getRequest;
using kv::testing::RawConnection;

namespace {

// Larger than the kernel's buffers on both ends of a loopback connection
// whose client reads nothing (4 MiB at most to send here, and the receiving
// end grows only while it is read), so that the answer is still being written.
constexpr qsizetype BigAnswer = 8 * 1024 * 1024;

class ConnectionGuardTest : public ::testing::Test {
protected:
    void start(const ConnectionDeadlines& deadlines = {}) {
        server = std::make_unique<WebServer>(QByteArray());
        server->setConnectionDeadlines(deadlines);
        server->routes().add("GET", "/hello", [](const WebRequest&, const QString&) {
            return jsonReply({{"hello", true}});
        });
        server->routes().add("POST", "/hello", [](const WebRequest&, const QString&) {
            return jsonReply({{"hello", true}});
        });
        server->routes().add("GET", "/big", [](const WebRequest&, const QString&) {
            return WebReply{200, "application/octet-stream", QByteArray(BigAnswer, 'x'), {}};
        });
        ListenAddress address;
        address.port = 0;
        QString error;
        ASSERT_TRUE(server->listen(address, error)) << error.toStdString();
        port = server->port();
    }

    std::unique_ptr<RawConnection> connect(const QString& from, bool takeAnswers = true) {
        auto connection = std::make_unique<RawConnection>(from, port, takeAnswers);
        EXPECT_TRUE(connection->waitConnected()) << from.toStdString();
        return connection;
    }
    // Connections from one address that send half a request head and stop.
    std::vector<std::unique_ptr<RawConnection>> halfOpen(const QString& from, int count) {
        std::vector<std::unique_ptr<RawConnection>> connections;
        for (int i = 0; i < count; ++i) {
            connections.push_back(connect(from));
            connections.back()->send("GET /hello HTTP/1.1\r\nHost: 127.0.0.1:" +
                                     QByteArray::number(port) + "\r\nX-Slow: ");
        }
        return connections;
    }
    bool waitOpen(int count, int ms = 5000) {
        return QTest::qWaitFor([&] { return server->openConnections() == count; }, ms);
    }
    // A connection that asks for /hello, once answered (and kept open).
    std::unique_ptr<RawConnection> getIn(const QString& from) {
        auto connection = connect(from);
        connection->send(getRequest("/hello", port));
        EXPECT_TRUE(connection->waitAnswered()) << from.toStdString();
        EXPECT_EQ(connection->status(), 200) << connection->received.toStdString();
        return connection;
    }

    std::unique_ptr<WebServer> server;
    quint16 port = 0;
};

void expectTurnedAway(RawConnection& connection, const char* code) {
    ASSERT_TRUE(connection.waitClosed(2000)) << code;
    EXPECT_EQ(connection.status(), 503) << connection.received.toStdString();
    EXPECT_EQ(connection.json()["status"].toInt(), 503);
    EXPECT_EQ(connection.json()["code"].toString(), code);
    EXPECT_FALSE(connection.json()["error"].toString().isEmpty());
}

TEST_F(ConnectionGuardTest, IdleConnectionsFromOneAddressDoNotLockOthersOut) {
    start();
    const auto idle = halfOpen("127.0.0.2", 200);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            int closed = 0;
            for (const auto& connection : idle)
                closed += connection->closed() ? 1 : 0;
            return closed == 200 - MaxConnectionsPerAddress;
        },
        10000));
    EXPECT_EQ(server->openConnections(), MaxConnectionsPerAddress);
    for (const auto& connection : idle) {
        if (connection->closed()) {
            EXPECT_EQ(connection->json()["code"].toString(), "too_many_from_address");
        }
    }

    const auto other = connect("127.0.0.1");
    QElapsedTimer took;
    took.start();
    other->send(getRequest("/hello", port));
    ASSERT_TRUE(other->waitAnswered(5000));
    EXPECT_EQ(other->status(), 200);
    EXPECT_LT(took.elapsed(), 1000);
}

TEST_F(ConnectionGuardTest, TheSeventeenthFromOneAddressIsTurnedAwayAtOnce) {
    start();
    auto held = halfOpen("127.0.0.2", MaxConnectionsPerAddress);
    ASSERT_TRUE(waitOpen(MaxConnectionsPerAddress));

    const auto seventeenth = connect("127.0.0.2");
    expectTurnedAway(*seventeenth, "too_many_from_address");
    EXPECT_LT(seventeenth->closedAt(), 1000);
    const auto other = getIn("127.0.0.3");
    EXPECT_EQ(server->openConnections(), MaxConnectionsPerAddress + 1);

    // A slot given back is taken again.
    held.front()->close();
    ASSERT_TRUE(waitOpen(MaxConnectionsPerAddress, 2000));
    const auto again = getIn("127.0.0.2");
}

TEST_F(ConnectionGuardTest, TheLastSlotsAreHeldBackFromTheBusiestAddress) {
    start();
    constexpr int Each = (MaxConnections - HeldBackConnections) / 4; // 14, under the cap
    std::vector<std::unique_ptr<RawConnection>> held;
    for (const char* from : {"127.0.0.2", "127.0.0.3", "127.0.0.4", "127.0.0.5"})
        for (auto& connection : halfOpen(from, Each))
            held.push_back(std::move(connection));
    ASSERT_TRUE(waitOpen(MaxConnections - HeldBackConnections));

    const auto busiest = connect("127.0.0.2");
    expectTurnedAway(*busiest, "too_many_connections");
    // Any other address gets the held-back slots, one each here.
    for (int i = 0; i < HeldBackConnections; ++i)
        held.push_back(getIn(QStringLiteral("127.0.0.%1").arg(6 + i)));
    ASSERT_TRUE(waitOpen(MaxConnections));
    const auto full = connect("127.0.0.20");
    expectTurnedAway(*full, "too_many_connections");
}

TEST_F(ConnectionGuardTest, ConnectionCountsAreByClientAddress) {
    ConnectionCounts counts;
    const QHostAddress four("127.0.0.2");
    const QHostAddress mapped("::ffff:127.0.0.2");
    for (int i = 0; i < MaxConnectionsPerAddress / 2; ++i) {
        counts.add(four);
        counts.add(mapped);
    }
    EXPECT_EQ(counts.from(four), MaxConnectionsPerAddress);
    EXPECT_STREQ(counts.admit(mapped)->code, "too_many_from_address");
    EXPECT_FALSE(counts.admit(QHostAddress("::1")));
    counts.remove(QHostAddress("127.0.0.9")); // never counted
    counts.remove(mapped);
    EXPECT_EQ(counts.total(), MaxConnectionsPerAddress - 1);
    EXPECT_FALSE(counts.admit(four));
}

// The real deadlines: a head trickled in or never sent is cut ten seconds
// after the connection, and a slow head that does come whole is answered.
TEST_F(ConnectionGuardTest, AHeadMustBeWholeTenSecondsAfterTheConnection) {
    start();
    EXPECT_EQ(ConnectionDeadlines{}.headMs, 10000);
    EXPECT_EQ(ConnectionDeadlines{}.bodyMs, 10000);
    EXPECT_EQ(ConnectionDeadlines{}.keepAliveMs, 30000);
    EXPECT_EQ(ConnectionDeadlines{}.answerMs, 60000);

    const auto silent = connect("127.0.0.2");
    const auto trickling = connect("127.0.0.2");
    const auto slow = connect("127.0.0.3");
    const QByteArray slowHead = getRequest("/hello", port);
    trickling->send("GET /hello HTTP/1.1\r\nX-Slow: ");
    int sent = 0;
    QTimer everySecond;
    QObject::connect(&everySecond, &QTimer::timeout, [&] {
        ++sent;
        trickling->send("x");
        if (sent <= 5) {
            const qsizetype from = (sent - 1) * slowHead.size() / 5;
            slow->send(slowHead.mid(from, sent * slowHead.size() / 5 - from));
        }
    });
    everySecond.start(1000);

    ASSERT_TRUE(trickling->waitClosed(12000));
    EXPECT_TRUE(silent->waitClosed(1000));
    for (const RawConnection* cut : {trickling.get(), silent.get()}) {
        EXPECT_GE(cut->closedAt(), 9900);
        EXPECT_LE(cut->closedAt(), 11000);
        EXPECT_TRUE(cut->received.isEmpty());
    }
    EXPECT_GE(sent, 9);
    EXPECT_TRUE(slow->answered());
    EXPECT_EQ(slow->status(), 200);
}

TEST_F(ConnectionGuardTest, BodiesAndKeptConnectionsHaveTheirDeadlines) {
    ConnectionDeadlines deadlines;
    deadlines.headMs = 400;
    deadlines.bodyMs = 400;
    deadlines.keepAliveMs = 1000;
    start(deadlines);

    // A body trickled in is cut its deadline after the head.
    const auto body = connect("127.0.0.2");
    body->send("POST /hello HTTP/1.1\r\nHost: 127.0.0.1:" + QByteArray::number(port) +
               "\r\nContent-Length: 100\r\n\r\n");
    QElapsedTimer sinceHead;
    sinceHead.start();
    QTimer trickle;
    QObject::connect(&trickle, &QTimer::timeout, [&] { body->send("x"); });
    trickle.start(50);
    ASSERT_TRUE(body->waitClosed(3000));
    trickle.stop();
    EXPECT_GE(sinceHead.elapsed(), 380);
    EXPECT_LE(sinceHead.elapsed(), 1000);
    EXPECT_TRUE(body->received.isEmpty());

    // A kept connection may wait past a head's deadline for its next request,
    // whose head then has its own; without one it is closed.
    const auto kept = connect("127.0.0.2");
    kept->send(getRequest("/hello", port));
    ASSERT_TRUE(kept->waitAnswered());
    kept->received.clear();
    QTest::qWait(600);
    ASSERT_FALSE(kept->closed());
    const QByteArray next = getRequest("/hello", port);
    kept->send(next.left(10));
    QTest::qWait(100);
    kept->send(next.mid(10));
    ASSERT_TRUE(kept->waitAnswered());
    EXPECT_EQ(kept->status(), 200);
    QElapsedTimer sinceAnswer;
    sinceAnswer.start();
    ASSERT_TRUE(kept->waitClosed(3000));
    EXPECT_GE(sinceAnswer.elapsed(), 900);
    EXPECT_LE(sinceAnswer.elapsed(), 1700);
}

// The next request's head waits for the answer before it: a client still
// taking a long answer is not cut, one that never takes it is.
TEST_F(ConnectionGuardTest, AnAnswerBeingWrittenHoldsOffTheNextHeadsDeadline) {
    ConnectionDeadlines deadlines;
    deadlines.headMs = 300;
    deadlines.answerMs = 2500;
    start(deadlines);
    const auto taking = connect("127.0.0.2", false);
    const auto neverTaking = connect("127.0.0.3", false);
    for (RawConnection* connection : {taking.get(), neverTaking.get()})
        connection->send(getRequest("/big", port));
    QTest::qWait(200);
    for (RawConnection* connection : {taking.get(), neverTaking.get()})
        connection->send("GET /hello HTTP/1.1\r\nHost: 127.0.0.1:");
    QTest::qWait(800);
    ASSERT_FALSE(taking->closed());
    ASSERT_EQ(server->openConnections(), 2);

    taking->startReading();
    ASSERT_TRUE(QTest::qWaitFor([&] { return taking->received.size() > BigAnswer; }, 5000))
        << taking->received.size();
    QElapsedTimer sinceAnswer;
    sinceAnswer.start();
    ASSERT_TRUE(taking->waitClosed(3000));
    EXPECT_LE(sinceAnswer.elapsed(), 1500);
    EXPECT_EQ(taking->status(), 200);

    // The other one reads nothing and never will (its own socket does not
    // notice the end, so the server's count tells).
    ASSERT_TRUE(waitOpen(0, 3000));
    EXPECT_GE(neverTaking->age(), 2500);
}

TEST_F(ConnectionGuardTest, AnOpenLiveFeedOutlivesTheDeadlinesButHoldsItsSlot) {
    ConnectionDeadlines deadlines;
    deadlines.headMs = 1000;
    deadlines.bodyMs = 1000;
    deadlines.keepAliveMs = 1000;
    deadlines.answerMs = 1000;
    start(deadlines);
    server->live().setGreeting([] { return QJsonObject{{"hello", true}}; });

    QWebSocket live;
    QStringList messages;
    QObject::connect(&live, &QWebSocket::textMessageReceived,
                     [&](const QString& message) { messages << message; });
    live.open(QUrl(QStringLiteral("ws://127.0.0.1:%1/api/v1/live").arg(port)));
    ASSERT_TRUE(QTest::qWaitFor([&] { return messages.size() == 1; }, 5000));

    // It counts toward its address's connections.
    const auto others = halfOpen("127.0.0.1", MaxConnectionsPerAddress - 1);
    const auto oneTooMany = connect("127.0.0.1");
    expectTurnedAway(*oneTooMany, "too_many_from_address");

    QTest::qWait(2500);
    for (const auto& other : others)
        EXPECT_TRUE(other->closed());
    ASSERT_EQ(live.state(), QAbstractSocket::ConnectedState);
    EXPECT_EQ(server->openConnections(), 1);
    server->live().send({{"later", true}});
    ASSERT_TRUE(QTest::qWaitFor([&] { return messages.size() == 2; }, 2000));

    live.close();
    EXPECT_TRUE(waitOpen(0, 2000));
}

} // namespace
