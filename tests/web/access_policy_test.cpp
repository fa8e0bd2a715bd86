// Who may ask the web server what: the Host rule on loopback, the token on
// other addresses, and the origin rule for changes.
#include "web/access_policy.h"

#include <gtest/gtest.h>

using namespace kv::web;

namespace {

const QByteArray Token = "0123456789abcdef0123";

AccessRules loopbackRules() {
    return {true, 58440, {}};
}
AccessRules networkRules() {
    return {false, 58440, Token};
}
AccessHeaders fromHost(const QByteArray& host) {
    AccessHeaders headers;
    headers.host = host;
    return headers;
}
int statusOf(const std::optional<Refusal>& refusal) {
    return refusal ? refusal->status : 0;
}

TEST(HostRuleTest, OnlyNamesOfThisComputerWithTheListenersPort) {
    for (const char* host : {"localhost:58440", "LOCALHOST:58440", "127.0.0.1:58440",
                             "127.0.0.2:58440", "[::1]:58440", " localhost:58440 "})
        EXPECT_TRUE(hostNamesLoopback(host, 58440)) << host;
    for (const char* host :
         {"", "localhost", "localhost:80", "localhost:58441", "evil.example:58440",
          "localhost.evil.example:58440", "127.0.0.1.nip.io:58440", "192.168.1.2:58440", "[::1",
          "[::1]x58440", "localhost:notaport", "localhost:99999"})
        EXPECT_FALSE(hostNamesLoopback(host, 58440)) << host;
    EXPECT_TRUE(hostNamesLoopback("localhost", 80));
}

TEST(AccessRuleTest, LoopbackAnswersOnlyItsOwnNames) {
    EXPECT_EQ(statusOf(checkAccess(loopbackRules(), {}, fromHost("127.0.0.1:58440"))), 0);
    EXPECT_EQ(statusOf(checkAccess(loopbackRules(), {true, false}, fromHost("evil.example"))), 403);
    // A change without an Origin is a script's (curl): no token on loopback, so allowed.
    EXPECT_EQ(statusOf(checkAccess(loopbackRules(), {false, true}, fromHost("localhost:58440"))),
              0);
    // Another site's page in the same browser is refused.
    AccessHeaders foreign = fromHost("localhost:58440");
    foreign.origin = "http://evil.example";
    EXPECT_EQ(statusOf(checkAccess(loopbackRules(), {false, true}, foreign)), 403);
    foreign.origin.clear();
    foreign.fetchSite = "cross-site";
    EXPECT_EQ(statusOf(checkAccess(loopbackRules(), {false, true}, foreign)), 403);
}

TEST(AccessRuleTest, OtherAddressesNeedTheToken) {
    const AccessHeaders none = fromHost("192.168.1.20:58440");
    EXPECT_EQ(statusOf(checkAccess(networkRules(), {}, none)), 401);
    // The page and the token form open without it.
    EXPECT_EQ(statusOf(checkAccess(networkRules(), {true, false}, none)), 0);
    EXPECT_EQ(statusOf(checkAccess(networkRules(), {true, true}, none)), 0);

    AccessHeaders bearer = none;
    bearer.authorization = "Bearer " + Token;
    EXPECT_EQ(statusOf(checkAccess(networkRules(), {}, bearer)), 0);
    EXPECT_EQ(statusOf(checkAccess(networkRules(), {false, true}, bearer)), 0);
    bearer.authorization = "bearer  " + Token + " ";
    EXPECT_EQ(statusOf(checkAccess(networkRules(), {}, bearer)), 0);
    for (const QByteArray& wrong : {QByteArray("Bearer ") + Token.left(19), QByteArray("Bearer "),
                                    QByteArray("Basic ") + Token, Token})
        EXPECT_EQ(statusOf(checkAccess(networkRules(), {}, {none.host, {}, wrong, {}, {}})), 401)
            << wrong.data();

    AccessHeaders cookie = none;
    cookie.cookie = "other=1; kestvelqor_token=" + Token + "; more=2";
    EXPECT_EQ(statusOf(checkAccess(networkRules(), {}, cookie)), 0);
    // With the cookie alone a change must come from the page itself.
    EXPECT_EQ(statusOf(checkAccess(networkRules(), {false, true}, cookie)), 403);
    cookie.origin = "http://192.168.1.20:58440";
    EXPECT_EQ(statusOf(checkAccess(networkRules(), {false, true}, cookie)), 0);
    cookie.origin = "http://192.168.1.20:58441";
    EXPECT_EQ(statusOf(checkAccess(networkRules(), {false, true}, cookie)), 403);
    cookie.origin.clear();
    cookie.fetchSite = "same-origin";
    EXPECT_EQ(statusOf(checkAccess(networkRules(), {false, true}, cookie)), 0);
}

TEST(AccessRuleTest, TheTokenCookieStaysWithThisServer) {
    const QByteArray header = tokenCookieHeader(Token);
    EXPECT_TRUE(header.startsWith("kestvelqor_token=" + Token + ";"));
    for (const char* part : {"HttpOnly", "SameSite=Strict", "Path=/"})
        EXPECT_TRUE(header.contains(part)) << part;
    EXPECT_EQ(cookieToken("kestvelqor_token_x=1; kestvelqor_token=abc"), "abc");
    EXPECT_TRUE(cookieToken("xkestvelqor_token=abc").isEmpty());
    EXPECT_FALSE(sameToken({}, {}));
    EXPECT_FALSE(sameToken(Token, {}));
}

} // namespace
