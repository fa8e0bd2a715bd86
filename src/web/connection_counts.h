#pragma once

#include "web/access_policy.h"

#include <QHash>
#include <QHostAddress>

#include <optional>

namespace kv::web {

// The open connections of the server by client address, and whether one more
// from an address may come in (web/connection_limits.h).
class ConnectionCounts {
public:
    // Nothing when the address may open one more connection; else the 503
    // to answer it with.
    std::optional<Refusal> admit(const QHostAddress& client) const;
    void add(const QHostAddress& client);
    void remove(const QHostAddress& client);

    int total() const { return total_; }
    int from(const QHostAddress& client) const;

    // The address connections are counted by: an IPv4 client on an IPv6
    // listener is its IPv4 address, and a link-local address counts without
    // its interface.
    static QHostAddress clientKey(const QHostAddress& peer);

private:
    int busiest() const;

    QHash<QHostAddress, int> open_;
    int total_ = 0;
};

} // namespace kv::web
