#include "web/web_reply.h"

#include <QJsonDocument>

namespace kv::web {

WebReply jsonReply(const QJsonObject& object, int status) {
    return {status,
            QByteArrayLiteral("application/json"),
            QJsonDocument(object).toJson(QJsonDocument::Compact),
            {}};
}

QJsonObject errorObject(int status, const QString& code, const QString& message) {
    return {{QStringLiteral("status"), status},
            {QStringLiteral("code"), code},
            {QStringLiteral("error"), message}};
}

WebReply errorReply(int status, const QString& code, const QString& message) {
    return jsonReply(errorObject(status, code, message), status);
}

WebReply emptyReply() {
    return {204, {}, {}, {}};
}

QByteArray reasonPhrase(int status) {
    switch (status) {
    case 200:
        return "OK";
    case 204:
        return "No Content";
    case 400:
        return "Bad Request";
    case 401:
        return "Unauthorized";
    case 403:
        return "Forbidden";
    case 404:
        return "Not Found";
    case 405:
        return "Method Not Allowed";
    case 411:
        return "Length Required";
    case 413:
        return "Payload Too Large";
    case 431:
        return "Request Header Fields Too Large";
    case 500:
        return "Internal Server Error";
    case 502:
        return "Bad Gateway";
    case 503:
        return "Service Unavailable";
    default:
        return "Status";
    }
}

QByteArray rawResponse(const WebReply& reply) {
    QByteArray bytes =
        "HTTP/1.1 " + QByteArray::number(reply.status) + ' ' + reasonPhrase(reply.status) + "\r\n";
    if (!reply.contentType.isEmpty())
        bytes += "Content-Type: " + reply.contentType + "\r\n";
    for (const auto& [name, value] : reply.headers)
        bytes += name + ": " + value + "\r\n";
    bytes += "Content-Length: " + QByteArray::number(reply.body.size()) + "\r\n";
    bytes += "Connection: close\r\n\r\n";
    return bytes + reply.body;
}

} // namespace kv::web
