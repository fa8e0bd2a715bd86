#pragma once

#include "web/access_policy.h"
#include "web/connection_limits.h"
#include "web/listen_address.h"
#include "web/live_feed.h"
#include "web/request_framing.h"
#include "web/web_routes.h"

#include <QHttpServer>
#include <QObject>

#include <functional>

namespace kv::web {

class GuardedTcpServer;

// The path of the live feed (a WebSocket).
inline const QString LivePath = QStringLiteral("/api/v1/live");

// The HTTP server on the program's one thread: every request passes the
// access rules, then goes to its route (404 and 405 for the others); a
// WebSocket upgrade to LivePath that passes them joins the live feed.
class WebServer : public QObject {
    Q_OBJECT
public:
    explicit WebServer(QByteArray token, QObject* parent = nullptr);
    ~WebServer() override;

    Routes& routes() { return routes_; }
    LiveFeed& live() { return live_; }

    // How long clients may take (set before listen; tests shorten them).
    void setConnectionDeadlines(const ConnectionDeadlines& deadlines) { deadlines_ = deadlines; }

    // Starts listening; false with the reason when the address cannot be
    // had.
    bool listen(const ListenAddress& address, QString& error);
    quint16 port() const { return rules_.port; }
    // The connections open now, WebSockets of the live feed included.
    int openConnections() const;
    const AccessRules& rules() const { return rules_; }

    // Told of every refused request: the client, the request and why.
    std::function<void(const QString& line)> log;

    // What a request that came off a connection is answered: the access
    // rules, then its route, 404 or 405 (the fuzz target asks here, without
    // sockets). The framing limits are checked before, on the connection.
    WebReply answer(const WebRequest& request);

private:
    void serve(const QHttpServerRequest& request, QHttpServerResponder&& responder);
    std::optional<Refusal> upgradeRefusal(const RequestHead& head) const;
    void takeWebSockets();
    void logRefusal(const QString& peer, const QByteArray& method, const QString& path,
                    const Refusal& refusal);

    AccessRules rules_;
    ConnectionDeadlines deadlines_;
    Routes routes_;
    LiveFeed live_;
    QHttpServer http_;
    GuardedTcpServer* tcp_ = nullptr; // owned by http_
};

} // namespace kv::web
