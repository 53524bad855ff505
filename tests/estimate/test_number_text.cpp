#include "estimate/number_text.h"
#include "tests/support/near.h"

#include <clocale>

namespace {

TEST(FormatFixed, RoundsAndPadsOnTheLeft)
{
    EXPECT_EQ(formatFixed(0.25L, 6, 4), "0.2500");
    EXPECT_EQ(formatFixed(12.5L, 9, 2), "    12.50");
    EXPECT_EQ(formatFixed(3.456L, 7, 3), "  3.456");
    EXPECT_EQ(formatFixed(123456.789L, 5, 2), "123456.79"); // longer texts are not cut
    EXPECT_EQ(formatFixed(-1.5L, 6, 2), " -1.50");
    EXPECT_EQ(formatFixed(0.9996L, 5, 3), "1.000"); // carry into the integer digits
    EXPECT_EQ(formatFixed(99.996L, 5, 2), "100.00");
    EXPECT_EQ(formatFixed(7, 3, 0), "  7");
    // Halves round away from zero, on the exact binary value: 1/16 and 1/32.
    EXPECT_EQ(formatFixed(0.0625L, 5, 3), "0.063");
    EXPECT_EQ(formatFixed(-0.03125L, 5, 4), "-0.0313");
    EXPECT_EQ(formatFixed(0.0624999L, 5, 3), "0.062");
}

TEST(FormatFixed, ShowsNoSignOnAZero)
{
    EXPECT_EQ(formatFixed(-1e-20L, 5, 3), "0.000");
    EXPECT_EQ(formatFixed(-0.0004L, 5, 3), "0.000");
    EXPECT_EQ(formatFixed(-0.0L, 5, 3), "0.000");
}

TEST(GeneralText, FifteenDigitsWithoutTrailingZeros)
{
    EXPECT_EQ(generalText(1), "1");
    EXPECT_EQ(generalText(0.6 + 0.4), "1");
    EXPECT_EQ(generalText(0.333 + 0.333 + 0.333), "0.999");
    EXPECT_EQ(generalText(0.1 + 0.2), "0.3");
    EXPECT_EQ(generalText(0), "0");
    EXPECT_EQ(generalText(-2.5), "-2.5");
    EXPECT_EQ(generalText(0.00001), "0.00001");
    EXPECT_EQ(generalText(123456789012345.0), "123456789012345");
    EXPECT_EQ(generalText(0.000001), "1E-6");
    EXPECT_EQ(generalText(1.5e15), "1.5E15");
}

TEST(NumberTexts, UseAPointWhateverTheLocale)
{
    // Qt sets the user's locale for the C library at start; a comma locale must not leak.
    if (!std::setlocale(LC_NUMERIC, "ru_RU.UTF-8") && !std::setlocale(LC_NUMERIC, "de_DE.UTF-8"))
        GTEST_SKIP() << "no locale with a decimal comma is installed";
    EXPECT_EQ(formatFixed(0.25L, 6, 4), "0.2500");
    EXPECT_EQ(generalText(0.999), "0.999");
    EXPECT_TRUE(near(shownValue("  0.500"), 0.5, 0));
    std::setlocale(LC_NUMERIC, "C");
}

TEST(NumberTexts, IntegersAndShownValues)
{
    EXPECT_EQ(integerText(-5), "-5");
    EXPECT_EQ(integerText(30000000000), "30000000000");
    EXPECT_TRUE(near(shownValue("    12.50"), 12.5, 0));
    EXPECT_TRUE(near(shownValue(formatFixed(1 / 3.0L, 5, 3)), 0.333, 0));
    EXPECT_TRUE(near(shownValue(""), 0, 0));
}

} // namespace
