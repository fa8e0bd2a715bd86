#include "web/live_feed.h"

#include <QJsonDocument>
#include <QWebSocket>

namespace kv::web {

namespace {

// The page sends nothing; anything larger than this is no page of ours.
constexpr qint64 LongestIncoming = 4096;

} // namespace

LiveFeed::LiveFeed(QObject* parent) : QObject(parent) {}

LiveFeed::~LiveFeed() {
    closeAll();
}

void LiveFeed::add(std::unique_ptr<QWebSocket> owned) {
    QWebSocket* client = owned.release();
    client->setParent(this);
    if (clients_.size() >= MaxClients) {
        client->close(QWebSocketProtocol::CloseCodePolicyViolated,
                      QStringLiteral("too many live connections"));
        client->deleteLater();
        return;
    }
    client->setMaxAllowedIncomingFrameSize(LongestIncoming);
    client->setMaxAllowedIncomingMessageSize(LongestIncoming);
    clients_.append(client);
    connect(client, &QWebSocket::disconnected, this, [this, client] { drop(client); });
    if (greeting_)
        sendTo(client, QJsonDocument(greeting_()).toJson(QJsonDocument::Compact));
}

void LiveFeed::send(const QJsonObject& message) {
    const QByteArray text = QJsonDocument(message).toJson(QJsonDocument::Compact);
    for (QWebSocket* client : QList<QWebSocket*>(clients_))
        sendTo(client, text);
}

void LiveFeed::sendTo(QWebSocket* client, const QByteArray& text) {
    if (client->bytesToWrite() > LongestBacklog) {
        client->abort();
        drop(client);
        return;
    }
    client->sendTextMessage(QString::fromUtf8(text));
}

void LiveFeed::drop(QWebSocket* client) {
    if (clients_.removeOne(client))
        client->deleteLater();
}

void LiveFeed::closeAll() {
    for (QWebSocket* client : QList<QWebSocket*>(clients_)) {
        client->close(QWebSocketProtocol::CloseCodeGoingAway);
        drop(client);
    }
}

} // namespace kv::web
