#include "app/help_links.h"
#include "qt_printers.h"

#include <gtest/gtest.h>

namespace kv::help {
namespace {

const QString Url =
    QStringLiteral("https://docs.kestlighting.example/doku.php?id=kestvelqor1x:faq");

TEST(BrowserCommandLineTest, CommandWithoutPlaceholderGetsTheAddressQuotedAfterABlank) {
    EXPECT_EQ(browserCommandLine(R"("C:\Browser\browser.exe")", Url),
              QStringLiteral(R"("C:\Browser\browser.exe" ")") + Url + '"');
}

TEST(BrowserCommandLineTest, EveryPlaceholderIsReplaced) {
    EXPECT_EQ(browserCommandLine(R"(browser -url "%1" --log=%1)", Url),
              QStringLiteral(R"(browser -url ")") + Url + QStringLiteral(R"(" --log=)") + Url);
}

TEST(BrowserCommandLineTest, NoRegisteredCommandGivesNothing) {
    EXPECT_TRUE(browserCommandLine(QString(), Url).isEmpty());
}

TEST(BrowserCommandLineTest, AddressHoldingPercentOneIsNotReplacedAgain) {
    EXPECT_EQ(browserCommandLine("open %1", "https://x.example/?a=%1"),
              "open https://x.example/?a=%1");
}

} // namespace
} // namespace kv::help
