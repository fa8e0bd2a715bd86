#include "web/access_policy.h"

#include "web/error_codes.h"

#include <QHostAddress>

namespace kv::web {

namespace {

// Host as "name", "name:port", "[v6]" or "[v6]:port": the name and the port
// (-1 when none, 0 when it is no port).
std::pair<QByteArray, int> splitHost(const QByteArray& host) {
    QByteArray name = host;
    QByteArray port;
    if (host.startsWith('[')) {
        const qsizetype close = host.indexOf(']');
        if (close < 0)
            return {{}, 0};
        name = host.mid(1, close - 1);
        const QByteArray rest = host.mid(close + 1);
        if (!rest.isEmpty()) {
            if (!rest.startsWith(':'))
                return {{}, 0};
            port = rest.mid(1);
        }
    } else if (const qsizetype colon = host.lastIndexOf(':'); colon >= 0) {
        name = host.left(colon);
        port = host.mid(colon + 1);
    }
    if (port.isNull())
        return {name, -1};
    bool ok = false;
    const int number = port.toInt(&ok);
    return {name, ok && number > 0 && number <= 65535 ? number : 0};
}

bool isLoopbackName(const QByteArray& name) {
    if (name.compare("localhost", Qt::CaseInsensitive) == 0)
        return true;
    QHostAddress address;
    return address.setAddress(QString::fromLatin1(name)) && address.isLoopback();
}

// Whether the request comes from a page of this server, as far as the
// browser tells: the Origin it sends with every change, and the fetch site.
enum class Source { Own, Foreign, Unknown };

Source sourceOf(const AccessHeaders& headers) {
    if (!headers.origin.isEmpty()) {
        const QByteArray own = "http://" + headers.host;
        return headers.origin.compare(own, Qt::CaseInsensitive) == 0 ? Source::Own
                                                                     : Source::Foreign;
    }
    if (!headers.fetchSite.isEmpty())
        return headers.fetchSite == "same-origin" || headers.fetchSite == "none" ? Source::Own
                                                                                 : Source::Foreign;
    return Source::Unknown;
}

} // namespace

bool hostNamesLoopback(const QByteArray& host, quint16 port) {
    const auto [name, hostPort] = splitHost(host.trimmed());
    if (name.isEmpty() || !isLoopbackName(name))
        return false;
    return hostPort == -1 ? port == 80 : hostPort == port;
}

QByteArray bearerToken(const QByteArray& authorization) {
    const QByteArray value = authorization.trimmed();
    const QByteArray scheme = "bearer ";
    if (value.size() <= scheme.size() || !value.left(scheme.size()).toLower().startsWith(scheme))
        return {};
    return value.mid(scheme.size()).trimmed();
}

QByteArray cookieToken(const QByteArray& cookie) {
    const QByteArray name = QByteArray(TokenCookie) + '=';
    for (const QByteArray& part : cookie.split(';')) {
        const QByteArray pair = part.trimmed();
        if (pair.startsWith(name))
            return pair.mid(name.size());
    }
    return {};
}

bool sameToken(const QByteArray& given, const QByteArray& token) {
    if (token.isEmpty() || given.size() != token.size())
        return false;
    unsigned char difference = 0;
    for (qsizetype i = 0; i < token.size(); ++i)
        difference |= static_cast<unsigned char>(given[i] ^ token[i]);
    return difference == 0;
}

QByteArray tokenCookieHeader(const QByteArray& token) {
    return QByteArray(TokenCookie) + '=' + token +
           "; Path=/; HttpOnly; SameSite=Strict; Max-Age=31536000";
}

std::optional<Refusal> checkAccess(const AccessRules& rules, Access access,
                                   const AccessHeaders& headers) {
    if (rules.loopback && !hostNamesLoopback(headers.host, rules.port))
        return Refusal{403, errorcode::Forbidden,
                       QStringLiteral("this server answers only requests to localhost or "
                                      "the loopback address with its port (Host header)")};
    // The page itself may be opened from anywhere, a link on another site
    // included.
    if (access.open && !access.change)
        return std::nullopt;
    const Source source = sourceOf(headers);
    bool byHeader = false;
    if (!rules.token.isEmpty() && !access.open) {
        byHeader = sameToken(bearerToken(headers.authorization), rules.token);
        if (!byHeader && !sameToken(cookieToken(headers.cookie), rules.token))
            return Refusal{401, errorcode::Unauthorized,
                           QStringLiteral("a token is needed: send \"Authorization: Bearer "
                                          "TOKEN\" or enter it on the page")};
    }
    if (byHeader)
        return std::nullopt;
    if (source == Source::Foreign)
        return Refusal{403, errorcode::Forbidden,
                       QStringLiteral("requests from another site are refused")};
    // Without an Origin, only a client that is no browser page (a script)
    // may change something, and with a token only through the header.
    if (access.change && source == Source::Unknown && !rules.token.isEmpty() && !access.open)
        return Refusal{403, errorcode::Forbidden,
                       QStringLiteral("a change needs the token header or a request from "
                                      "the page itself")};
    return std::nullopt;
}

} // namespace kv::web
