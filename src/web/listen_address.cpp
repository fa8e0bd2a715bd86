#include "web/listen_address.h"

namespace kv::web {

QString ListenAddress::text(quint16 actualPort) const {
    const QString host = address.protocol() == QAbstractSocket::IPv6Protocol
                             ? QLatin1Char('[') + address.toString() + QLatin1Char(']')
                             : address.toString();
    return host + QLatin1Char(':') + QString::number(actualPort);
}

std::optional<ListenAddress> parseListenAddress(const QString& text, QString& error) {
    QString host = text;
    QString port;
    if (text.startsWith(QLatin1Char('['))) {
        const qsizetype close = text.indexOf(QLatin1Char(']'));
        const QString rest = close < 0 ? QString() : text.mid(close + 1);
        if (close < 0 || (!rest.isEmpty() && !rest.startsWith(QLatin1Char(':')))) {
            error = QStringLiteral("--listen must be ADDRESS:PORT or [IPV6-ADDRESS]:PORT");
            return std::nullopt;
        }
        host = text.mid(1, close - 1);
        if (!rest.isEmpty())
            port = rest.mid(1);
    } else if (text.count(QLatin1Char(':')) == 1) {
        host = text.section(QLatin1Char(':'), 0, 0);
        port = text.section(QLatin1Char(':'), 1);
    }
    ListenAddress result;
    if (host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0)
        result.address = QHostAddress(QHostAddress::LocalHost);
    // Short IPv4 forms ("192.168.1" is 192.168.0.1, "2130706433" is
    // 127.0.0.1) are taken for typing errors: they would listen elsewhere.
    else if (!result.address.setAddress(host) ||
             (result.address.protocol() == QAbstractSocket::IPv4Protocol &&
              host.count(QLatin1Char('.')) != 3)) {
        error = QStringLiteral("--listen: \"%1\" is no IP address (or localhost)").arg(host);
        return std::nullopt;
    }
    if (!port.isNull()) {
        bool ok = false;
        const uint number = port.toUInt(&ok);
        if (!ok || number > 65535) {
            error = QStringLiteral("--listen: the port must be a number from 0 to 65535");
            return std::nullopt;
        }
        result.port = quint16(number);
    }
    return result;
}

} // namespace kv::web
