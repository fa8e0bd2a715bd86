#include "web/api/history_api.h"

#include "board/board_service.h"
#include "board/value_words.h"
#include "history/history_file.h"
#include "history/history_range.h"
#include "history/history_store.h"
#include "history/history_time.h"
#include "present/history_output.h"
#include "web/api/outcome_reply.h"
#include "web/api/served_board.h"
#include "web/error_codes.h"
#include "web/web_server.h"

namespace kv::web {

namespace {

const QString Api = QStringLiteral("/api/v1/");

WebReply badRequest(const QString& message) {
    return errorReply(400, errorcode::BadRequest, message);
}

// A parameter as the client meant it ("%2B01:00" is an offset), or the
// fallback when the request has none.
QString parameter(const WebRequest& request, const char* name, const QString& fallback = {}) {
    const QString key = QLatin1String(name);
    if (!request.query.hasQueryItem(key))
        return fallback;
    return request.query.queryItemValue(key, QUrl::FullyDecoded);
}

} // namespace

struct HistoryApi::Range {
    qint64 from = 0;
    qint64 to = 0;
    QDateTime now;
};

HistoryApi::HistoryApi(BoardService& service, ServedBoard& board, WebServer& server, QString path,
                       QObject* parent)
    : QObject(parent), service_(service), board_(board), path_(std::move(path)),
      now_([] { return QDateTime::currentDateTime(); }) {
    Routes& routes = server.routes();
    routes.add("GET", Api + "history",
               [this](const WebRequest& r, const QString&) { return history(r); });
    routes.add("GET", Api + "events",
               [this](const WebRequest& r, const QString&) { return events(r); });
}

HistoryApi::~HistoryApi() = default;

std::optional<HistoryApi::Range> HistoryApi::range(const WebRequest& request,
                                                   WebReply& refusal) const {
    Range range;
    range.now = now_();
    const auto time = [&](const char* name, const char* fallback) {
        return historyTimeOf(parameter(request, name, QLatin1String(fallback)), range.now);
    };
    const auto from = time("from", historyrange::DefaultFrom);
    const auto to = time("to", historyrange::DefaultTo);
    for (const auto& [name, value] : {std::pair{"from", from}, std::pair{"to", to}})
        if (!value) {
            refusal = badRequest(
                QStringLiteral("%1 must be a moment in ISO 8601 (2026-12-01, 2026-12-01T06:00) "
                               "or relative to now (-30m, -24h, -7d, -1y, now)")
                    .arg(QLatin1String(name)));
            return std::nullopt;
        }
    if (*from >= *to) {
        refusal = badRequest(QStringLiteral("from must lie before to"));
        return std::nullopt;
    }
    range.from = *from;
    range.to = *to;
    return range;
}

std::optional<qint64> HistoryApi::board(WebReply& refusal) {
    if (path_.isEmpty()) {
        refusal =
            errorReply(404, errorcode::NoHistory, TextMessage(QStringLiteral("HistoryOff")).text());
        return std::nullopt;
    }
    if (!file_) {
        // Opened on first use and kept: the recorder may make the file only
        // after the server started, or another process records into it.
        TextMessage why;
        file_ = HistoryFile::open(path_, false, &why);
        if (!file_) {
            refusal = errorReply(404, errorcode::NoHistory, why.text());
            return std::nullopt;
        }
    }
    const QString serial = board_.serial();
    if (serial.isEmpty()) {
        refusal = api::outcomeReply(Outcome::failed(OutcomeCode::NoBoard, service_.problem()));
        return std::nullopt;
    }
    // -1 for a board not yet in the file: no samples, no events.
    return file_->knownBoardId(serial);
}

WebReply HistoryApi::history(const WebRequest& request) {
    WebReply refusal;
    const auto asked = range(request, refusal);
    if (!asked)
        return refusal;
    int points = historyrange::DefaultPoints;
    if (const QString word = parameter(request, "points"); !word.isNull()) {
        const auto number = words::wholeNumberOf(word);
        if (!number || *number < 1 || *number > historyrange::MaxPoints)
            return badRequest(QStringLiteral("points must be a whole number from 1 to %1")
                                  .arg(historyrange::MaxPoints));
        points = int(*number);
    }
    const QString format = parameter(request, "format");
    if (!format.isEmpty() && format != QLatin1String("json") && format != QLatin1String("csv"))
        return badRequest(QStringLiteral("format must be json or csv"));

    const auto id = board(refusal);
    if (!id)
        return refusal;
    const auto found =
        historyPoints(*file_, *id, asked->from, asked->to, points, asked->now.toMSecsSinceEpoch());
    if (format == QLatin1String("csv"))
        return {200, QByteArrayLiteral("text/csv; charset=utf-8"), present::historyCsv(found), {}};
    return jsonReply(present::historyJson(found, asked->from, asked->to));
}

WebReply HistoryApi::events(const WebRequest& request) {
    WebReply refusal;
    const auto asked = range(request, refusal);
    if (!asked)
        return refusal;
    const auto id = board(refusal);
    if (!id)
        return refusal;
    return jsonReply(
        present::historyEventsJson(historyEvents(*file_, *id, asked->from, asked->to)));
}

} // namespace kv::web
