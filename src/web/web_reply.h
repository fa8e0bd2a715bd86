#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QPair>
#include <QString>

namespace kv::web {

// An answer to one request, before it is written to the connection.
struct WebReply {
    int status = 200;
    QByteArray contentType;
    QByteArray body;
    QList<QPair<QByteArray, QByteArray>> headers; // besides Content-Type and -Length

    void addHeader(const QByteArray& name, const QByteArray& value) {
        headers.append(qMakePair(name, value));
    }
};

// A JSON document.
WebReply jsonReply(const QJsonObject& object, int status = 200);
// The error document of every refusal: {"status": N, "code": CODE, "error":
// message}. The code is stable (web/error_codes.h, or an outcome's name);
// the message is for people.
WebReply errorReply(int status, const QString& code, const QString& message);
// The same document, for a refusal that says more.
QJsonObject errorObject(int status, const QString& code, const QString& message);
// 204 without a body.
WebReply emptyReply();

// The reason phrase of a status ("Not Found").
QByteArray reasonPhrase(int status);

// The whole HTTP/1.1 response as bytes, for answers written straight to a
// connection before the server has read the request (they close it).
QByteArray rawResponse(const WebReply& reply);

} // namespace kv::web
