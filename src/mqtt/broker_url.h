#pragma once

#include <QString>

#include <optional>

namespace kv::mqtt {

// Where the bridge finds its broker: mqtt://[USER@]HOST[:PORT] (1883 by
// default) or mqtts://... (8883, TLS). A password never goes into the URL.
struct BrokerUrl {
    static constexpr int PlainPort = 1883;
    static constexpr int TlsPort = 8883;

    bool tls = false;
    QString user; // empty: none
    QString host; // a name or an address, an IPv6 one without brackets
    int port = PlainPort;

    // The URL as the log names it (without any secret).
    QString text() const;
};

// The broker of --mqtt URL; nothing, with the reason in English, for a URL
// that is none.
std::optional<BrokerUrl> parseBrokerUrl(const QString& text, QString& error);

} // namespace kv::mqtt
