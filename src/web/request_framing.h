#pragma once

#include "web/access_policy.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QPair>

#include <optional>
#include <vector>

namespace kv::web {

// The limits of what one request may send.
inline constexpr qsizetype BodyLimit = 8 * 1024;         // bytes of a request body
inline constexpr qsizetype HeaderBlockLimit = 16 * 1024; // request line and headers

// The head of a request: its request line and headers.
struct RequestHead {
    QByteArray method;
    QByteArray target; // path and query as sent
    QList<QPair<QByteArray, QByteArray>> headers;

    // The value of a header (name in any case); empty when absent.
    QByteArray header(const QByteArray& name) const;
    bool isWebSocketUpgrade() const;
    QByteArray path() const; // the target without its query
};

// Follows the bytes of one connection from request to request as they come,
// before the HTTP server reads them, and says when a request is to be refused
// unread: a head above HeaderBlockLimit (431), a body announced above
// BodyLimit (413), a body without a length (411) or a length that is no
// number (400). Each complete head is handed out once. It also says where the
// stream stands, for the connection's deadlines.
class RequestFraming {
public:
    struct Step {
        std::vector<RequestHead> heads; // heads completed by these bytes
        int requestsEnded = 0;          // requests whose last byte came in these bytes
        std::optional<Refusal> refusal; // the connection is to be refused
    };
    Step feed(QByteArrayView bytes);

    enum class Position {
        BetweenRequests, // nothing of the next request yet (empty lines aside)
        InHead,
        InBody,
    };
    Position position() const;

private:
    std::optional<Refusal> headComplete(const QByteArray& block, RequestHead& head);

    QByteArray pending_;  // the head read so far
    qint64 bodyLeft_ = 0; // bytes of the current body still to come
    bool refused_ = false;
};

} // namespace kv::web
