#pragma once

#include <QByteArray>
#include <QHash>
#include <QHostAddress>
#include <QString>
#include <QUrlQuery>

namespace kv::web {

// One request as the routes see it, whatever read it off the connection.
struct WebRequest {
    QByteArray method; // "GET", "PUT", ...
    QString path;      // decoded, without the query
    QUrlQuery query;
    QHash<QByteArray, QByteArray> headers; // names in lower case
    QByteArray body;
    QHostAddress peer;

    QByteArray header(const QByteArray& lowerCaseName) const {
        return headers.value(lowerCaseName);
    }
    // The client's address as the log shows it (without an IPv4-mapped
    // prefix).
    QString peerText() const;
};

} // namespace kv::web
