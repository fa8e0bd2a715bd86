#pragma once

#include <QHostAddress>
#include <QString>

#include <optional>

namespace kv::web {

// The port `serve` listens on when none is given (in the dynamic range, so it
// is no other service's).
inline constexpr quint16 DefaultPort = 58440;

struct ListenAddress {
    QHostAddress address{QHostAddress::LocalHost};
    quint16 port = DefaultPort; // 0: any free port

    bool loopback() const { return address.isLoopback(); }
    // "127.0.0.1:58440", "[::1]:58440"
    QString text(quint16 actualPort) const;
};

// ADDRESS:PORT, [IPV6]:PORT, or ADDRESS alone (the default port). ADDRESS is
// an IP address or localhost; PORT 0 to 65535 (0 takes any free port).
// Nothing for anything else; error says why.
std::optional<ListenAddress> parseListenAddress(const QString& text, QString& error);

} // namespace kv::web
