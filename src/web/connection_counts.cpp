#include "web/connection_counts.h"

#include "web/connection_limits.h"
#include "web/error_codes.h"

#include <algorithm>

namespace kv::web {

QHostAddress ConnectionCounts::clientKey(const QHostAddress& peer) {
    bool mapped = false;
    const quint32 four = peer.toIPv4Address(&mapped);
    if (mapped)
        return QHostAddress(four);
    QHostAddress key = peer;
    key.setScopeId({});
    return key;
}

int ConnectionCounts::from(const QHostAddress& client) const {
    return open_.value(clientKey(client));
}

int ConnectionCounts::busiest() const {
    int most = 0;
    for (const int count : open_)
        most = std::max(most, count);
    return most;
}

std::optional<Refusal> ConnectionCounts::admit(const QHostAddress& client) const {
    const int mine = from(client);
    if (mine >= MaxConnectionsPerAddress)
        return Refusal{503, errorcode::TooManyFromAddress,
                       QStringLiteral("too many connections from this address (at most %1)")
                           .arg(MaxConnectionsPerAddress)};
    const bool full = total_ >= MaxConnections;
    const bool heldBack = total_ >= MaxConnections - HeldBackConnections && mine >= busiest();
    if (full || heldBack)
        return Refusal{503, errorcode::TooManyConnections, QStringLiteral("too many connections")};
    return std::nullopt;
}

void ConnectionCounts::add(const QHostAddress& client) {
    ++open_[clientKey(client)];
    ++total_;
}

void ConnectionCounts::remove(const QHostAddress& client) {
    const auto at = open_.find(clientKey(client));
    if (at == open_.end())
        return;
    if (--*at == 0)
        open_.erase(at);
    --total_;
}

} // namespace kv::web
