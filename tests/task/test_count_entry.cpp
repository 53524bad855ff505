// The check of a typed count and the total of the count column.
#include "task/count_entry.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

std::vector<Cp1251Text> cells(std::initializer_list<const char*> texts)
{
    std::vector<Cp1251Text> result;
    for (const char* text : texts)
        result.push_back(Cp1251Text::fromBytes(text));
    return result;
}

} // namespace

TEST(CountEntry, AcceptsWholeNumbersFrom0To19999999)
{
    for (const char* text :
         {"0", "1", "12", "123", " 12", "   7", "+5", "19999999", "0000000000019999999"})
        EXPECT_TRUE(isAcceptableCount(text)) << "«" << text << "»";
    EXPECT_TRUE(isValidCount(0));
    EXPECT_TRUE(isValidCount(19999999));
}

TEST(CountEntry, RefusesEverythingElseANegativeSignAsItIsTyped)
{
    for (const char* text :
         {"20000000", "2147483647", "2147483648", "-2147483649", "99999999999999999999",
          "12 ",      "1.5",        "1,5",        " ",           "-",
          "+",        "- 5",        "+-5",        "1e3",         "$1A",
          "0x10",     "12a",        "\t12",       "１２",        "٣",
          "-5",       "-0",         " -",         "-20000000"})
        EXPECT_FALSE(isAcceptableCount(text)) << "«" << text << "»";
    EXPECT_FALSE(isValidCount(-1));
    EXPECT_FALSE(isValidCount(20000000));
    EXPECT_EQ(countRefusalMessage(), "Допустимы только целые числа меньше 20000000");
}

TEST(CountEntry, TheFirstCellBreakingTheRuleIsFoundAndNamedWithItsPhenotype)
{
    EXPECT_EQ(firstInvalidCount(cells({"", " 12 ", "+3", "19999999"})), std::nullopt);
    EXPECT_EQ(firstInvalidCount(cells({"1", "", "-5", "x"})), 2u);
    EXPECT_EQ(firstInvalidCount(cells({"20000000"})), 0u);
    EXPECT_EQ(invalidCountText(Cp1251Text::fromBytes("A B "), "-5"),
              "поголовье фенотипа «A B» (-5) - не целое число от 0 до 19999999");
}

TEST(CountEntry, TotalAddsTrimmedCellsAndSkipsEmptyOnes)
{
    EXPECT_EQ(countTotal({}), 0);
    EXPECT_EQ(countTotal(cells({"", "  ", "1"})), 1);
    EXPECT_EQ(countTotal(cells({" 12", "-5", "+3", "", "7 "})), 17);
    EXPECT_EQ(countValue(Cp1251Text::fromBytes("\t 42 \t")), 42);
    EXPECT_THROW(countValue(Cp1251Text::fromBytes("1.5")), std::invalid_argument);
    EXPECT_THROW(countValue(Cp1251Text::fromBytes("4 2")), std::invalid_argument);
}

TEST(CountEntry, TotalOfTheLargestTaskIsExactBeyondThirtyTwoBits)
{
    // 1500 counts of 19999999 sum to 29999998500, far past 2^31 - 1.
    const std::vector<Cp1251Text> many(1500, Cp1251Text::fromBytes("19999999"));
    EXPECT_EQ(countTotal(many), 29999998500LL);
    const std::vector<Cp1251Text> negative(1500, Cp1251Text::fromBytes("-2147483648"));
    EXPECT_EQ(countTotal(negative), -3221225472000LL);
}

TEST(CountEntry, PastedLinesGiveOneCountEachTheLastNumberOfATabbedLine)
{
    using Counts = std::vector<std::string>;
    EXPECT_EQ(pastedCounts("12\r\n7\r\n"), (Counts{"12", "7"}));
    EXPECT_EQ(pastedCounts("A B\t36\nB\t16\n-\t\n"), (Counts{"36", "16", ""}));
    // A later numeric field wins, a decimal one included; a line without one keeps its text.
    EXPECT_EQ(pastedCounts("1\tA\t2,5\n x y \n\n5"), (Counts{"2,5", "x y", "", "5"}));
    EXPECT_EQ(pastedCounts("A\tabc"), (Counts{"abc"}));
    EXPECT_EQ(pastedCounts(""), (Counts{""}));
}
