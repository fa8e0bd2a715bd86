#pragma once

#include "board/operation.h"
#include "web/web_reply.h"
#include "web/web_request.h"

#include <QJsonObject>
#include <QObject>
#include <QString>

#include <functional>
#include <optional>

namespace kv {
class BoardService;
}

namespace kv::web {

class WebServer;

// The board's JSON API under /api/v1, over the board service: status,
// schedule, channels, astro and the pictures, and the changes (a schedule
// line, mode, level, cloud, storm, save) as the service's operations, each
// with the client as its origin.
//
// Reads answer from the service's records and cost the board nothing (the
// service polls the InfoBlock; the other records are read when the board
// connects and kept up to date by the operations); the status is 502 while
// the last poll got no answer. GET schedule?fresh=1
// reads the schedule again first, and the chart picture reads the chart,
// which moves between reads. A request is read whole before the service is
// asked, so a refused one sends nothing. Every error is
// {"status", "code", "error"}: an operation's refusal carries its outcome's
// code and catalogue text, the API's own refusals an English text and a
// code of web/error_codes.h.
class BoardApi : public QObject {
    Q_OBJECT
public:
    BoardApi(BoardService& service, WebServer& server, QObject* parent = nullptr);

    // What the live feed sends a newcomer: the last status, or why there is
    // no board.
    QJsonObject liveGreeting() const;

    // Told of each change made through the API, with the client's address
    // ("127.0.0.1 | mode manual"), and of wrong tokens.
    std::function<void(const QString& line)> log;

private:
    std::optional<WebReply> noBoard() const;
    void logChange(const OperationReport& report);

    WebReply status() const;
    WebReply schedule(const WebRequest& request);
    WebReply changeLine(const WebRequest& request, const QString& segment);
    WebReply mode(const WebRequest& request);
    WebReply level(const WebRequest& request);
    WebReply command(const WebRequest& request, Operation operation);
    WebReply astro() const;
    WebReply curve(const WebRequest& request) const;
    WebReply chart(const WebRequest& request);
    WebReply channels() const;
    WebReply session(const WebRequest& request);

    BoardService& service_;
    WebServer& server_;
    // The last poll got no answer: the status held is no longer the board's.
    bool lastPollFailed_ = false;
};

} // namespace kv::web
