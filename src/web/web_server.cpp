#include "web/web_server.h"

#include "web/connection_guard.h"
#include "web/error_codes.h"

#include <QHttpServerRequest>
#include <QHttpServerResponder>
#include <QHttpServerResponse>
#include <QMetaEnum>
#include <QWebSocket>

namespace kv::web {

namespace {

QByteArray methodName(QHttpServerRequest::Method method) {
    const char* key = QMetaEnum::fromType<QHttpServerRequest::Method>().valueToKey(int(method));
    return key ? QByteArray(key).toUpper() : QByteArray("UNKNOWN");
}

WebRequest webRequest(const QHttpServerRequest& request) {
    WebRequest result;
    result.method = methodName(request.method());
    result.path = request.url().path();
    result.query = request.query();
    for (const auto& [name, value] : request.headers())
        result.headers.insert(name.toLower(), value);
    result.body = request.body();
    result.peer = request.remoteAddress();
    return result;
}

AccessHeaders accessHeaders(const std::function<QByteArray(const QByteArray&)>& header) {
    return {header("host"), header("origin"), header("authorization"), header("cookie"),
            header("sec-fetch-site")};
}

// Sent with every answer: no other site may frame the page or guess a type,
// nothing is cached, and the page takes nothing from elsewhere.
void addCommonHeaders(WebReply& reply) {
    reply.addHeader("X-Content-Type-Options", "nosniff");
    reply.addHeader("X-Frame-Options", "DENY");
    reply.addHeader("Referrer-Policy", "no-referrer");
    reply.addHeader("Cache-Control", "no-store");
    reply.addHeader("Content-Security-Policy",
                    "default-src 'self'; img-src 'self' data: blob:; "
                    "frame-ancestors 'none'; form-action 'self'; base-uri 'none'");
}

void writeReply(const WebReply& reply, bool withBody, QHttpServerResponder&& responder) {
    using Status = QHttpServerResponder::StatusCode;
    responder.writeStatusLine(Status(reply.status));
    if (!reply.contentType.isEmpty())
        responder.writeHeader("Content-Type", reply.contentType);
    for (const auto& [name, value] : reply.headers)
        responder.writeHeader(name, value);
    responder.writeHeader("Content-Length", QByteArray::number(reply.body.size()));
    if (withBody && !reply.body.isEmpty())
        responder.writeBody(reply.body);
    else
        responder.writeBody(QByteArray());
}

} // namespace

WebServer::WebServer(QByteArray token, QObject* parent) : QObject(parent), live_(this) {
    rules_.token = std::move(token);
    http_.setMissingHandler(
        [this](const QHttpServerRequest& request, QHttpServerResponder&& responder) {
            serve(request, std::move(responder));
        });
    // Qt's server hands an upgrade to its WebSocket server only when a route
    // took the request; every other request to the path is answered as usual.
    http_.route(LivePath,
                [this](const QHttpServerRequest& request, QHttpServerResponder&& responder) {
                    if (request.value("upgrade").compare("websocket", Qt::CaseInsensitive) != 0)
                        serve(request, std::move(responder));
                });
    connect(&http_, &QAbstractHttpServer::newWebSocketConnection, this, &WebServer::takeWebSockets);
}

WebServer::~WebServer() {
    live_.closeAll();
}

bool WebServer::listen(const ListenAddress& address, QString& error) {
    tcp_ = new GuardedTcpServer(&http_);
    tcp_->setDeadlines(deadlines_);
    if (!tcp_->listen(address.address, address.port)) {
        error = QStringLiteral("cannot listen on %1: %2")
                    .arg(address.text(address.port), tcp_->errorString());
        delete tcp_;
        tcp_ = nullptr;
        return false;
    }
    rules_.loopback = address.loopback();
    rules_.port = tcp_->serverPort();
    tcp_->setUpgradeGate(
        [this](const RequestHead& head, const QHostAddress&) { return upgradeRefusal(head); });
    tcp_->setRefusalLog(
        [this](const QHostAddress& peer, const RequestHead& head, const Refusal& refusal) {
            WebRequest who;
            who.peer = peer;
            logRefusal(who.peerText(), head.method, QString::fromLatin1(head.path()), refusal);
        });
    http_.bind(tcp_);
    return true;
}

int WebServer::openConnections() const {
    return tcp_ ? tcp_->openConnections() : 0;
}

std::optional<Refusal> WebServer::upgradeRefusal(const RequestHead& head) const {
    if (auto refusal = checkAccess(rules_, Access{}, accessHeaders([&](const QByteArray& name) {
                                       return head.header(name);
                                   })))
        return refusal;
    if (head.method != "GET" || QString::fromLatin1(head.path()) != LivePath)
        return Refusal{404, errorcode::NotFound,
                       QStringLiteral("no live feed at %1").arg(QString::fromLatin1(head.path()))};
    return std::nullopt;
}

void WebServer::takeWebSockets() {
    while (auto socket = http_.nextPendingWebSocketConnection()) {
        // The gate let only upgrades to the live path through; anything else
        // here would be a connection it never saw.
        if (socket->requestUrl().path() != LivePath) {
            socket->abort();
            continue;
        }
        live_.add(std::move(socket));
    }
}

void WebServer::serve(const QHttpServerRequest& httpRequest, QHttpServerResponder&& responder) {
    WebRequest request = webRequest(httpRequest);
    const bool head = request.method == "HEAD";
    if (head)
        request.method = "GET";
    WebReply reply = answer(request);
    addCommonHeaders(reply);
    writeReply(reply, !head, std::move(responder));
}

WebReply WebServer::answer(const WebRequest& request) {
    const Routes::Match match = routes_.find(request.method, request.path);
    Access access;
    // A path with routes is open when they are (the page's files); a path
    // without any is answered 404 alike with or without the token, outside
    // the API.
    access.open =
        match.allowed.isEmpty() ? !request.path.startsWith(QLatin1String("/api/")) : match.open;
    access.change = request.method != "GET";
    const auto refusal =
        checkAccess(rules_, access,
                    accessHeaders([&](const QByteArray& name) { return request.header(name); }));
    if (refusal) {
        logRefusal(request.peerText(), request.method, request.path, *refusal);
        return errorReply(refusal->status, refusal->code, refusal->message);
    }
    if (match.allowed.isEmpty())
        return errorReply(404, errorcode::NotFound,
                          QStringLiteral("nothing at %1").arg(request.path));
    if (!match.route) {
        WebReply reply =
            errorReply(405, errorcode::MethodNotAllowed,
                       QStringLiteral("%1 takes %2, not %3")
                           .arg(request.path, QString::fromLatin1(match.allowed.join(", ")),
                                QString::fromLatin1(request.method)));
        reply.addHeader("Allow", match.allowed.join(", "));
        return reply;
    }
    if (request.body.size() > BodyLimit)
        return errorReply(
            413, errorcode::PayloadTooLarge,
            QStringLiteral("the request body is larger than %1 bytes").arg(BodyLimit));
    return match.route->handler(request, match.segment);
}

void WebServer::logRefusal(const QString& peer, const QByteArray& method, const QString& path,
                           const Refusal& refusal) {
    if (log)
        log(QStringLiteral("%1 | refused %2 %3: %4 %5")
                .arg(peer, QString::fromLatin1(method), path)
                .arg(refusal.status)
                .arg(refusal.message));
}

} // namespace kv::web
