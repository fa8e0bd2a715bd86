#include "mqtt/broker_url.h"

#include <QUrl>

namespace kv::mqtt {

namespace {

const QString Rule = QStringLiteral("mqtt://[USER@]HOST[:PORT] or mqtts://[USER@]HOST[:PORT]");

std::optional<BrokerUrl> refuse(QString& error, const QString& why) {
    error = QStringLiteral("--mqtt: %1 (%2)").arg(why, Rule);
    return std::nullopt;
}

bool isHostCharacter(QChar c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') ||
           c == u'-' || c == u'.' || c == u'_';
}

} // namespace

QString BrokerUrl::text() const {
    QString shown = tls ? QStringLiteral("mqtts://") : QStringLiteral("mqtt://");
    if (!user.isEmpty())
        shown += QString::fromLatin1(QUrl::toPercentEncoding(user)) + QLatin1Char('@');
    shown += host.contains(QLatin1Char(':')) ? QLatin1Char('[') + host + QLatin1Char(']') : host;
    return shown + QLatin1Char(':') + QString::number(port);
}

std::optional<BrokerUrl> parseBrokerUrl(const QString& text, QString& error) {
    BrokerUrl url;
    QString rest;
    if (text.startsWith(QLatin1String("mqtt://"), Qt::CaseInsensitive)) {
        rest = text.mid(7);
    } else if (text.startsWith(QLatin1String("mqtts://"), Qt::CaseInsensitive)) {
        url.tls = true;
        url.port = BrokerUrl::TlsPort;
        rest = text.mid(8);
    } else {
        return refuse(error, QStringLiteral("the URL must start with mqtt:// or mqtts://"));
    }
    if (rest.endsWith(QLatin1Char('/')))
        rest.chop(1);
    if (rest.contains(QLatin1Char('/')) || rest.contains(QLatin1Char('?')) ||
        rest.contains(QLatin1Char('#')))
        return refuse(error, QStringLiteral("a broker URL has no path"));

    const qsizetype at = rest.lastIndexOf(QLatin1Char('@'));
    if (at >= 0) {
        const QString userInfo = rest.left(at);
        if (userInfo.contains(QLatin1Char(':')))
            return refuse(error, QStringLiteral("the password never goes into the URL: give it "
                                                "with --mqtt-password-file FILE or "
                                                "KESTVELQOR_MQTT_PASSWORD"));
        url.user = QUrl::fromPercentEncoding(userInfo.toUtf8());
        if (url.user.isEmpty())
            return refuse(error, QStringLiteral("the user before @ is empty"));
        rest = rest.mid(at + 1);
    }

    QString portText;
    if (rest.startsWith(QLatin1Char('['))) {
        const qsizetype close = rest.indexOf(QLatin1Char(']'));
        if (close < 0)
            return refuse(error, QStringLiteral("an IPv6 address lacks its ]"));
        url.host = rest.mid(1, close - 1);
        const QString after = rest.mid(close + 1);
        if (!after.isEmpty() && !after.startsWith(QLatin1Char(':')))
            return refuse(error, QStringLiteral("only :PORT may follow the address"));
        portText = after.mid(1);
        if (after.startsWith(QLatin1Char(':')) && portText.isEmpty())
            return refuse(error, QStringLiteral("the port after : is empty"));
        for (QChar c : url.host)
            if (!c.isDigit() && !(c >= u'a' && c <= u'f') && !(c >= u'A' && c <= u'F') &&
                c != u':' && c != u'.')
                return refuse(error, QStringLiteral("%1 is no IPv6 address").arg(url.host));
    } else {
        const qsizetype colon = rest.indexOf(QLatin1Char(':'));
        url.host = colon < 0 ? rest : rest.left(colon);
        if (colon >= 0) {
            portText = rest.mid(colon + 1);
            if (portText.isEmpty())
                return refuse(error, QStringLiteral("the port after : is empty"));
        }
        for (QChar c : url.host)
            if (!isHostCharacter(c))
                return refuse(error, QStringLiteral("%1 is no host name").arg(url.host));
    }
    if (url.host.isEmpty())
        return refuse(error, QStringLiteral("the host is missing"));
    if (!portText.isEmpty()) {
        bool isNumber = false;
        const int port = portText.toInt(&isNumber);
        if (!isNumber || port < 1 || port > 65535 || !portText.front().isDigit())
            return refuse(error, QStringLiteral("the port must be 1 to 65535"));
        url.port = port;
    }
    return url;
}

} // namespace kv::mqtt
