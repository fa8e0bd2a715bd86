// The listen address of serve and its token file.
#include "web/listen_address.h"
#include "web/web_token.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kv::web;

namespace {

TEST(ListenAddressTest, AddressesPortsAndRefusals) {
    QString error;
    const auto fallback = parseListenAddress("127.0.0.1", error);
    ASSERT_TRUE(fallback);
    EXPECT_EQ(fallback->port, DefaultPort);
    EXPECT_TRUE(fallback->loopback());

    const auto any = parseListenAddress("0.0.0.0:8080", error);
    ASSERT_TRUE(any);
    EXPECT_EQ(any->port, 8080);
    EXPECT_FALSE(any->loopback());
    EXPECT_EQ(any->text(8080), "0.0.0.0:8080");

    const auto six = parseListenAddress("[::1]:0", error);
    ASSERT_TRUE(six);
    EXPECT_TRUE(six->loopback());
    EXPECT_EQ(six->text(1234), "[::1]:1234");
    EXPECT_TRUE(parseListenAddress("localhost:9000", error)->loopback());

    for (const char* wrong : {"", "tank.local:80", "127.0.0.1:65536", "127.0.0.1:x", "[::1",
                              "[::1]x", "192.168.1:80", "2130706433:80", "127.0.0.1:-1"}) {
        error.clear();
        EXPECT_FALSE(parseListenAddress(wrong, error)) << wrong;
        EXPECT_FALSE(error.isEmpty()) << wrong;
    }
}

class TokenFileTest : public ::testing::Test {
protected:
    QString write(const QString& name, const QByteArray& text) {
        QFile file(dir.filePath(name));
        file.open(QIODevice::WriteOnly);
        file.write(text);
        return file.fileName();
    }
    QTemporaryDir dir;
};

TEST_F(TokenFileTest, TheFirstLineIsTheToken) {
    const TokenFile read =
        readTokenFile(write("token", "  a-long-enough-token-123 \nsecond line\n"));
    EXPECT_EQ(read.token, "a-long-enough-token-123");
    EXPECT_FALSE(read.created);

    for (const QByteArray& wrong :
         {QByteArray("short\n"), QByteArray(), QByteArray("\nlong-enough-but-second-line\n"),
          QByteArray("a-long-enough-token\twith-a-tab\n"),
          QByteArray("ein-lä«nger-token-mit-umlaut\n")}) {
        const TokenFile refused = readTokenFile(write("wrong", wrong));
        EXPECT_TRUE(refused.token.isEmpty()) << wrong.data();
        EXPECT_FALSE(refused.error.isEmpty()) << wrong.data();
    }
    EXPECT_FALSE(readTokenFile(dir.filePath("missing")).error.isEmpty());
    EXPECT_FALSE(readTokenFile(dir.path()).error.isEmpty()); // a folder
}

TEST_F(TokenFileTest, AGeneratedTokenIsPrivateAndKept) {
    const QString path = dir.filePath("config/kestvelqor/web-token");
    const TokenFile made = ensureTokenFile(path);
    ASSERT_FALSE(made.token.isEmpty()) << made.error.toStdString();
    EXPECT_TRUE(made.created);
    EXPECT_GE(made.token.size(), 40); // 32 random bytes
    EXPECT_FALSE(readableByOthers(path));
    EXPECT_EQ(QFileInfo(path).permissions() &
                  (QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup |
                   QFile::ReadOther),
              QFile::ReadOwner | QFile::WriteOwner);
    EXPECT_EQ(QFileInfo(dir.filePath("config/kestvelqor")).permissions() &
                  (QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther),
              QFile::Permissions());

    const TokenFile again = ensureTokenFile(path);
    EXPECT_EQ(again.token, made.token);
    EXPECT_FALSE(again.created);
    EXPECT_NE(ensureTokenFile(dir.filePath("other")).token, made.token);
}

} // namespace
