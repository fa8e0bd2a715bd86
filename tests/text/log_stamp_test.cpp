#include "text/log_stamp.h"

#include <gtest/gtest.h>

using namespace kv;

namespace {

const QLocale German(QLocale::German, QLocale::Germany);
const QDateTime ChristmasEve(QDate(2024, 12, 24), QTime(18, 5, 33));

} // namespace

TEST(LogStamp, GermanLayout) {
    EXPECT_EQ(logStamp(ChristmasEve, German), "[24.12.2024 18:05:33] ");
}

TEST(LogStamp, EnglishLayoutHasAFourDigitYearAndNoZoneName) {
    const QString stamp = logStamp(ChristmasEve, QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(stamp, "[12/24/2024 6:05:33 PM] ");
}

TEST(LogStamp, EveryLineOfAMultiLineTextIsStamped) {
    const QStringList lines = stampLogText("A\r\nB", ChristmasEve, German);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[0], "[24.12.2024 18:05:33] A");
    EXPECT_EQ(lines[1], "[24.12.2024 18:05:33] B");

    EXPECT_EQ(stampLogText("one", ChristmasEve, German).size(), 1);
    EXPECT_EQ(stampLogText("a\nb\rc", ChristmasEve, German).size(), 3);
    // An empty line keeps its stamp, as the log shows it.
    EXPECT_EQ(stampLogText("x\r\n", ChristmasEve, German).last(), "[24.12.2024 18:05:33] ");
}
