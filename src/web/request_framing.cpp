#include "web/request_framing.h"

#include "web/error_codes.h"

namespace kv::web {

QByteArray RequestHead::header(const QByteArray& name) const {
    for (const auto& [key, value] : headers)
        if (key.compare(name, Qt::CaseInsensitive) == 0)
            return value;
    return {};
}

bool RequestHead::isWebSocketUpgrade() const {
    return header("upgrade").trimmed().compare("websocket", Qt::CaseInsensitive) == 0;
}

QByteArray RequestHead::path() const {
    const qsizetype query = target.indexOf('?');
    return query < 0 ? target : target.left(query);
}

RequestFraming::Step RequestFraming::feed(QByteArrayView bytes) {
    Step step;
    while (!bytes.isEmpty() && !refused_) {
        if (bodyLeft_ > 0) {
            const qint64 skipped = qMin<qint64>(bodyLeft_, bytes.size());
            bodyLeft_ -= skipped;
            bytes = bytes.sliced(skipped);
            if (bodyLeft_ == 0)
                ++step.requestsEnded;
            continue;
        }
        // Empty lines between requests are allowed.
        if (pending_.isEmpty()) {
            while (!bytes.isEmpty() && (bytes.front() == '\r' || bytes.front() == '\n'))
                bytes = bytes.sliced(1);
            if (bytes.isEmpty())
                break;
        }
        const qsizetype before = pending_.size();
        pending_.append(bytes);
        const qsizetype end = pending_.indexOf("\r\n\r\n");
        if (end < 0) {
            if (pending_.size() > HeaderBlockLimit) {
                refused_ = true;
                step.refusal = Refusal{431, errorcode::HeadersTooLarge,
                                       QStringLiteral("the request's headers are longer "
                                                      "than %1 bytes")
                                           .arg(HeaderBlockLimit)};
            }
            break;
        }
        const qsizetype headEnd = end + 4;
        if (headEnd > HeaderBlockLimit) {
            refused_ = true;
            step.refusal = Refusal{431, errorcode::HeadersTooLarge,
                                   QStringLiteral("the request's headers are longer than %1 bytes")
                                       .arg(HeaderBlockLimit)};
            break;
        }
        // What followed the head in these bytes belongs to its body or to
        // the next request.
        bytes = bytes.sliced(headEnd - before);
        RequestHead head;
        step.refusal = headComplete(pending_.left(end), head);
        pending_.clear();
        if (step.refusal) {
            refused_ = true;
            break;
        }
        step.heads.push_back(std::move(head));
        if (bodyLeft_ == 0)
            ++step.requestsEnded;
    }
    return step;
}

RequestFraming::Position RequestFraming::position() const {
    if (bodyLeft_ > 0)
        return Position::InBody;
    return pending_.isEmpty() ? Position::BetweenRequests : Position::InHead;
}

std::optional<Refusal> RequestFraming::headComplete(const QByteArray& block, RequestHead& head) {
    const QList<QByteArray> lines = block.split('\n');
    const QList<QByteArray> requestLine = lines.value(0).trimmed().split(' ');
    head.method = requestLine.value(0);
    head.target = requestLine.value(1);
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray line = lines[i].trimmed();
        const qsizetype colon = line.indexOf(':');
        if (colon > 0)
            head.headers.append({line.left(colon).trimmed(), line.mid(colon + 1).trimmed()});
    }
    if (!head.header("transfer-encoding").isEmpty())
        return Refusal{411, errorcode::LengthRequired,
                       QStringLiteral("a request body needs a Content-Length")};
    const QByteArray length = head.header("content-length");
    if (length.isEmpty())
        return std::nullopt;
    bool ok = false;
    const qint64 bytes = length.toLongLong(&ok);
    if (!ok || bytes < 0)
        return Refusal{400, errorcode::BadContentLength,
                       QStringLiteral("the Content-Length is no number")};
    if (bytes > BodyLimit)
        return Refusal{413, errorcode::PayloadTooLarge,
                       QStringLiteral("the request body is larger than %1 bytes").arg(BodyLimit)};
    bodyLeft_ = bytes;
    return std::nullopt;
}

} // namespace kv::web
