// The checks on a connection's bytes before the HTTP server reads a request:
// heads handed out once, bodies skipped, oversized requests refused unread.
#include "web/request_framing.h"

#include <gtest/gtest.h>

using namespace kv::web;

namespace {

TEST(RequestFramingTest, HeadsComeOutWhateverTheBytesPieces) {
    const QByteArray stream = "POST /api/v1/level HTTP/1.1\r\nHost: a\r\nContent-Length: 5\r\n\r\n"
                              "12345"
                              "GET /api/v1/live?x=1 HTTP/1.1\r\nUpgrade: WebSocket\r\n\r\n";
    for (qsizetype piece : {qsizetype(1), qsizetype(7), stream.size()}) {
        RequestFraming framing;
        std::vector<RequestHead> heads;
        int ended = 0;
        for (qsizetype at = 0; at < stream.size(); at += piece) {
            const auto step = framing.feed(
                QByteArrayView(stream).sliced(at).first(qMin(piece, stream.size() - at)));
            ASSERT_FALSE(step.refusal) << piece;
            heads.insert(heads.end(), step.heads.begin(), step.heads.end());
            ended += step.requestsEnded;
        }
        ASSERT_EQ(heads.size(), 2u) << piece;
        EXPECT_EQ(ended, 2) << piece;
        EXPECT_EQ(framing.position(), RequestFraming::Position::BetweenRequests);
        EXPECT_EQ(heads[0].method, "POST");
        EXPECT_EQ(heads[0].header("content-length"), "5");
        EXPECT_FALSE(heads[0].isWebSocketUpgrade());
        EXPECT_EQ(heads[1].path(), "/api/v1/live");
        EXPECT_TRUE(heads[1].isWebSocketUpgrade());
    }
}

// Where the stream stands decides which of the connection's deadlines runs;
// a request ends with its head or, when it has one, with its body.
TEST(RequestFramingTest, ThePositionFollowsHeadsAndBodies) {
    using Position = RequestFraming::Position;
    RequestFraming framing;
    EXPECT_EQ(framing.position(), Position::BetweenRequests);
    EXPECT_EQ(framing.feed("\r\n\r\n").requestsEnded, 0); // empty lines between requests
    EXPECT_EQ(framing.position(), Position::BetweenRequests);
    EXPECT_EQ(framing.feed("POST / HTTP/1.1\r\nContent-Le").requestsEnded, 0);
    EXPECT_EQ(framing.position(), Position::InHead);
    const auto head = framing.feed("ngth: 3\r\n\r\nab");
    EXPECT_EQ(head.heads.size(), 1u);
    EXPECT_EQ(head.requestsEnded, 0);
    EXPECT_EQ(framing.position(), Position::InBody);
    const auto rest = framing.feed("cGET / HTTP/1.1\r\n\r\nGET /x HTTP/1.1\r\n");
    EXPECT_EQ(rest.heads.size(), 1u);
    EXPECT_EQ(rest.requestsEnded, 2);
    EXPECT_EQ(framing.position(), Position::InHead);
}

TEST(RequestFramingTest, OversizedOrUnframedRequestsAreRefused) {
    struct Case {
        QByteArray bytes;
        int status;
        const char* code;
    };
    const Case cases[] = {
        {"POST / HTTP/1.1\r\nContent-Length: " + QByteArray::number(BodyLimit + 1) + "\r\n\r\n",
         413, "payload_too_large"},
        {"POST / HTTP/1.1\r\nTransfer-Encoding: chunked\r\n\r\n", 411, "length_required"},
        {"POST / HTTP/1.1\r\nContent-Length: lots\r\n\r\n", 400, "bad_content_length"},
        {"POST / HTTP/1.1\r\nContent-Length: -1\r\n\r\n", 400, "bad_content_length"},
        {"GET / HTTP/1.1\r\nX: " + QByteArray(HeaderBlockLimit, 'a'), 431, "headers_too_large"},
    };
    for (const Case& c : cases) {
        RequestFraming framing;
        const auto step = framing.feed(c.bytes);
        ASSERT_TRUE(step.refusal) << c.status;
        EXPECT_EQ(step.refusal->status, c.status);
        EXPECT_STREQ(step.refusal->code, c.code);
        // Nothing more is looked at on a refused connection.
        EXPECT_TRUE(framing.feed("GET / HTTP/1.1\r\n\r\n").heads.empty());
    }
    RequestFraming atLimit;
    EXPECT_FALSE(atLimit
                     .feed("POST / HTTP/1.1\r\nContent-Length: " + QByteArray::number(BodyLimit) +
                           "\r\n\r\n")
                     .refusal);
}

} // namespace
