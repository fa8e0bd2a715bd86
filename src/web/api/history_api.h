#pragma once

#include "web/web_reply.h"
#include "web/web_request.h"

#include <QDateTime>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

namespace kv {
class BoardService;
class HistoryFile;
} // namespace kv

namespace kv::web {

class ServedBoard;
class WebServer;

// The history of the served board under /api/v1: GET history (from, to,
// points, format=csv) and GET events (from, to), in the command line's
// documents. Times are the command line's words (ISO 8601, "-24h", "now");
// the range defaults to the last day. The file is read through a connection
// of its own, never the recorder's, so it reads what another process
// records as well.
//
// A wrong parameter is 400 bad_request; no history (recording off, no file,
// a file that is not ours) is 404 no_history; no board ever connected is
// 503 no_board. A board without samples has an empty history.
class HistoryApi : public QObject {
    Q_OBJECT
public:
    // An empty path: this server keeps no history.
    HistoryApi(BoardService& service, ServedBoard& board, WebServer& server, QString path,
               QObject* parent = nullptr);
    ~HistoryApi() override;

    // The computer's clock for "now" and the relative times; tests replace
    // it.
    void setClock(std::function<QDateTime()> now) { now_ = std::move(now); }

private:
    struct Range;
    // The asked range, or the refusal.
    std::optional<Range> range(const WebRequest& request, WebReply& refusal) const;
    // The served board's id in the file (opened on first use), or the
    // refusal.
    std::optional<qint64> board(WebReply& refusal);

    WebReply history(const WebRequest& request);
    WebReply events(const WebRequest& request);

    BoardService& service_;
    ServedBoard& board_;
    QString path_;
    std::unique_ptr<HistoryFile> file_;
    std::function<QDateTime()> now_;
};

} // namespace kv::web
