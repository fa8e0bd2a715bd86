#include "text/number_format.h"

#include <gtest/gtest.h>

using namespace kv;

namespace {

const QLocale German(QLocale::German, QLocale::Germany);
const QLocale English(QLocale::English, QLocale::UnitedStates);

} // namespace

TEST(NumberFormat, LevelsAsPercent) {
    EXPECT_EQ(formatNumber(4096 / 40.96, u"0.##", English), "100");
    EXPECT_EQ(formatNumber(819 / 40.96, u"0.##", English), "20");
    EXPECT_EQ(formatNumber(2048 / 40.96, u"0.##", English), "50");
    EXPECT_EQ(formatNumber(0 / 40.96, u"0.##", English), "0");
    EXPECT_EQ(formatNumber(512 / 40.96, u"0.##", English), "12.5");
    EXPECT_EQ(formatNumber(512 / 40.96, u"0.##", German), "12,5");
    EXPECT_EQ(formatNumber(1 / 40.96, u"0.##", German), "0,02");
    // 128 / 40.96 is 3.125: halves go away from zero.
    EXPECT_EQ(formatNumber(128 / 40.96, u"0.##", English), "3.13");
}

TEST(NumberFormat, FixedDecimalsAndPadding) {
    EXPECT_EQ(formatNumber(25.3, u"0.0", German), "25,3");
    EXPECT_EQ(formatNumber(25, u"0.0", English), "25.0");
    EXPECT_EQ(formatNumber(12.05, u"0.00", English), "12.05");
    EXPECT_EQ(formatNumber(1205 / 100.0, u"0.00", German), "12,05");
    EXPECT_EQ(formatNumber(6, u"00", English), "06");
    EXPECT_EQ(formatNumber(24, u"00", English), "24");
    EXPECT_EQ(formatNumber(123, u"00", English), "123");
    EXPECT_EQ(formatNumber(50.1, u"0.#", English), "50.1");
    EXPECT_EQ(formatNumber(0.25, u"0.#", English), "0.3");
    EXPECT_EQ(formatNumber(1.005, u"0.00", English), "1.01");
    EXPECT_EQ(formatNumber(9.996, u"0.##", English), "10");
    EXPECT_EQ(formatNumber(99.95, u"0.#", English), "100");
}

TEST(NumberFormat, NegativeValues) {
    EXPECT_EQ(formatNumber(-0.5, u"0.0", English), "-0.5");
    EXPECT_EQ(formatNumber(-6, u"0.#", English), "-6");
    EXPECT_EQ(formatNumber(-12.25, u"0.#", German), "-12,3");
    // No sign in front of a result that shows as zero.
    EXPECT_EQ(formatNumber(-0.04, u"0.0", English), "0.0");
    EXPECT_EQ(formatNumber(-0.001, u"0.##", English), "0");
}

TEST(NumberFormat, DefaultLocaleDecidesTheSeparator) {
    const QLocale saved;
    QLocale::setDefault(German);
    EXPECT_EQ(formatNumber(2.5, u"0.#"), "2,5");
    QLocale::setDefault(English);
    EXPECT_EQ(formatNumber(2.5, u"0.#"), "2.5");
    QLocale::setDefault(saved);
}

TEST(Rounding, HalvesGoToEven) {
    EXPECT_EQ(roundHalfEven(0.5), 0);
    EXPECT_EQ(roundHalfEven(1.5), 2);
    EXPECT_EQ(roundHalfEven(2.5), 2);
    EXPECT_EQ(roundHalfEven(3.5), 4);
    EXPECT_EQ(roundHalfEven(-0.5), 0);
    EXPECT_EQ(roundHalfEven(-1.5), -2);
    EXPECT_EQ(roundHalfEven(-2.5), -2);
    EXPECT_EQ(roundHalfEven(2.4999), 2);
    EXPECT_EQ(roundHalfEven(2.5001), 3);
    EXPECT_EQ(roundHalfEven(-2.5001), -3);
    EXPECT_EQ(roundHalfEven(12.5 * 40.96), 512);
    EXPECT_EQ(roundHalfEven(995 * 0.1), 100); // 99.5 -> 100
    EXPECT_EQ(roundHalfEven(985 * 0.1), 98);  // 98.5 -> 98
}

TEST(Parsing, NumbersFollowTheLocale) {
    EXPECT_EQ(parseNumber("12.5", English), 12.5);
    EXPECT_EQ(parseNumber("12,5", German), 12.5);
    EXPECT_EQ(parseNumber(" -3,25 ", German), -3.25);
    EXPECT_FALSE(parseNumber("12.5", German));
    EXPECT_FALSE(parseNumber("1,000", English)); // no group separators
    EXPECT_FALSE(parseNumber("", English));
    EXPECT_FALSE(parseNumber("abc", English));
    EXPECT_FALSE(parseNumber("inf", English));
}

TEST(Parsing, Integers) {
    EXPECT_EQ(parseInteger("300"), 300);
    EXPECT_EQ(parseInteger(" -60 "), -60);
    EXPECT_EQ(parseInteger("+7"), 7);
    EXPECT_FALSE(parseInteger("3.0"));
    EXPECT_FALSE(parseInteger("-"));
    EXPECT_FALSE(parseInteger(""));
    EXPECT_FALSE(parseInteger("99999999999999999999"));
}
