#pragma once

// A blocking HTTP client over Qt's network classes for the web server's
// tests: each request runs the event loop until its answer came (the server
// under test may share that loop), or a generous hang limit passed.
#include <QEventLoop>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

namespace kv::testing {

// Only a hang reaches this.
inline constexpr int WebHangMs = 30000;

struct WebAnswer {
    int status = 0; // 0: no HTTP answer at all
    QByteArray body;
    QByteArray contentType;
    QList<QNetworkReply::RawHeaderPair> headers;

    QJsonObject json() const { return QJsonDocument::fromJson(body).object(); }
    QString error() const { return json().value("error").toString(); }
    QByteArray header(const QByteArray& name) const {
        for (const auto& [key, value] : headers)
            if (key.compare(name, Qt::CaseInsensitive) == 0)
                return value;
        return {};
    }
};

class WebClient {
public:
    QString base; // "http://127.0.0.1:PORT"

    WebAnswer send(const QByteArray& method, const QString& path, const QByteArray& body = {},
                   const QList<QPair<QByteArray, QByteArray>>& headers = {}) {
        QNetworkRequest request(QUrl(base + path));
        request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                             QNetworkRequest::ManualRedirectPolicy);
        if (!body.isEmpty())
            request.setHeader(QNetworkRequest::ContentTypeHeader, "application/json");
        for (const auto& [name, value] : headers)
            request.setRawHeader(name, value);
        QNetworkReply* reply = manager_.sendCustomRequest(request, method, body);
        QEventLoop loop;
        QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
        QTimer::singleShot(WebHangMs, &loop, &QEventLoop::quit);
        loop.exec();
        WebAnswer answer;
        answer.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        answer.body = reply->readAll();
        answer.contentType = reply->header(QNetworkRequest::ContentTypeHeader).toByteArray();
        answer.headers = reply->rawHeaderPairs();
        reply->deleteLater();
        return answer;
    }
    WebAnswer get(const QString& path, const QList<QPair<QByteArray, QByteArray>>& headers = {}) {
        return send("GET", path, {}, headers);
    }
    WebAnswer post(const QString& path, const QByteArray& body = {},
                   const QList<QPair<QByteArray, QByteArray>>& headers = {}) {
        return send("POST", path, body, headers);
    }

private:
    QNetworkAccessManager manager_;
};

} // namespace kv::testing
