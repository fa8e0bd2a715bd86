#pragma once

#include <QJsonObject>
#include <QList>
#include <QObject>

#include <functional>
#include <memory>

class QWebSocket;

namespace kv::web {

// The page's live connections: each gets the state at once when it comes,
// then every message sent to all. A client that does not keep up is dropped
// rather than buffered for without end.
class LiveFeed : public QObject {
    Q_OBJECT
public:
    static constexpr int MaxClients = 32;
    static constexpr qint64 LongestBacklog = 1024 * 1024; // bytes not yet sent to one client

    explicit LiveFeed(QObject* parent = nullptr);
    ~LiveFeed() override;

    // What a new client is sent first.
    void setGreeting(std::function<QJsonObject()> greeting) { greeting_ = std::move(greeting); }

    void add(std::unique_ptr<QWebSocket> socket);
    void send(const QJsonObject& message);
    // Closes every connection (the server is going away).
    void closeAll();
    int clientCount() const { return int(clients_.size()); }

private:
    void sendTo(QWebSocket* client, const QByteArray& text);
    void drop(QWebSocket* client);

    std::function<QJsonObject()> greeting_;
    QList<QWebSocket*> clients_;
};

} // namespace kv::web
