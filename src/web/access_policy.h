#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace kv::web {

// Who may ask the server what. On the loopback address only requests that
// name this computer (Host: localhost or a loopback address, with the port)
// are answered, so that a page of another site cannot reach the server by
// renaming itself. With a token (required on any other address) every request
// of the board's API, the metrics and the live feed must carry it, as a
// header or as the cookie the page's token form sets. A request that changes
// something must also come from the page itself (its Origin) or carry the
// token header, so that another site open in the same browser cannot change
// the light.
struct AccessRules {
    bool loopback = true;
    quint16 port = 0;
    QByteArray token; // empty: none required
};

// What a request wants, as far as access goes.
struct Access {
    bool open = false;   // the page's own files and the token form: no token needed
    bool change = false; // changes something (any method but GET and HEAD)
};

// The headers that decide, as the request carries them (empty when absent).
struct AccessHeaders {
    QByteArray host;
    QByteArray origin;
    QByteArray authorization;
    QByteArray cookie;
    QByteArray fetchSite; // Sec-Fetch-Site
};

struct Refusal {
    int status = 403;
    const char* code = ""; // web/error_codes.h
    QString message;
};

inline constexpr char TokenCookie[] = "kestvelqor_token";

// Nothing when the request may go on; else the status (401 or 403) and why.
std::optional<Refusal> checkAccess(const AccessRules& rules, Access access,
                                   const AccessHeaders& headers);

// Whether a Host header names this computer's loopback listener: localhost
// or a loopback address, with the listener's port (or none on port 80).
bool hostNamesLoopback(const QByteArray& host, quint16 port);

// The token a request carries in "Authorization: Bearer TOKEN" or in the
// token cookie; empty when it carries none.
QByteArray bearerToken(const QByteArray& authorization);
QByteArray cookieToken(const QByteArray& cookie);

// Compares in time independent of where the two differ.
bool sameToken(const QByteArray& given, const QByteArray& token);

// The Set-Cookie value that keeps the token in the browser: for this server
// only, not readable by scripts, never sent along with another site's
// requests.
QByteArray tokenCookieHeader(const QByteArray& token);

} // namespace kv::web
