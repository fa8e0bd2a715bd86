#pragma once

#include "board/outcome.h"
#include "web/web_reply.h"
#include "web/web_request.h"

#include <QJsonObject>
#include <QString>

#include <optional>

namespace kv::web {
class WebServer;
}

namespace kv::cli {

class Context;

// The board's JSON API under /api/v1, over the command line's own functions:
// what `status`, `schedule`, `schedule set`, `mode`, `level`, `cloud`,
// `storm`, `save`, `astro` and `plot` do, with HTTP statuses instead of exit
// statuses. Input is read whole before the board is asked, so a refused
// request sends nothing to it. Each change is logged with the client's
// address.
class BoardApi {
public:
    BoardApi(Context& c, web::WebServer& server);

    // What the live feed sends a newcomer: the last status, or why there is
    // no board.
    QJsonObject liveGreeting();

private:
    using WebReply = web::WebReply;
    using WebRequest = web::WebRequest;

    // 503 when no usable board is connected.
    std::optional<WebReply> noBoard();
    static WebReply failed(const Outcome& outcome);
    void logChange(const WebRequest& request, const QString& what);

    WebReply status();
    WebReply schedule();
    WebReply changeLine(const WebRequest& request, const QString& segment);
    WebReply mode(const WebRequest& request);
    WebReply level(const WebRequest& request);
    WebReply command(const WebRequest& request, int command, const QString& name);
    WebReply astro();
    WebReply curve(const WebRequest& request);
    WebReply chart(const WebRequest& request);
    WebReply channels();
    WebReply session(const WebRequest& request);

    Context& c_;
    web::WebServer& server_;
};

} // namespace kv::cli
