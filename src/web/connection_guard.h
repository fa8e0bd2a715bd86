#pragma once

#include "web/access_policy.h"
#include "web/connection_counts.h"
#include "web/connection_limits.h"
#include "web/request_framing.h"

#include <QHostAddress>
#include <QTcpServer>

#include <functional>
#include <optional>

namespace kv::web {

// The listening socket under the HTTP server. Every connection it accepts
// gets a guard that sees each byte before the server reads it: a request
// above the limits is answered at once (413, 431, ...) and the connection
// closed, instead of being read whole into memory first; a WebSocket upgrade
// is let through only when the gate allows it, so a refused one gets a plain
// HTTP answer and never a socket. A connection that misses a deadline
// (ConnectionDeadlines) is closed; one above the limits on connections
// (web/connection_limits.h) is answered 503 and closed as it comes.
class GuardedTcpServer : public QTcpServer {
    Q_OBJECT
public:
    // Decides on a WebSocket upgrade: nothing lets it through.
    using UpgradeGate =
        std::function<std::optional<Refusal>(const RequestHead& head, const QHostAddress& peer)>;
    // Told of every request refused here, for the log.
    using RefusalLog = std::function<void(const QHostAddress& peer, const RequestHead& head,
                                          const Refusal& refusal)>;

    explicit GuardedTcpServer(QObject* parent = nullptr);

    void setUpgradeGate(UpgradeGate gate) { upgradeGate_ = std::move(gate); }
    void setRefusalLog(RefusalLog log) { refusalLog_ = std::move(log); }
    // For the connections accepted from now on.
    void setDeadlines(const ConnectionDeadlines& deadlines) { deadlines_ = deadlines; }
    int openConnections() const { return counts_.total(); }

protected:
    void incomingConnection(qintptr descriptor) override;

private:
    friend class ConnectionGuard;
    UpgradeGate upgradeGate_;
    RefusalLog refusalLog_;
    ConnectionDeadlines deadlines_;
    ConnectionCounts counts_;
};

} // namespace kv::web
