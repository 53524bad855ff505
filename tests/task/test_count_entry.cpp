// The check of a typed count and the total of the count column.
#include "task/count_entry.h"

#include <gtest/gtest.h>

#include <stdexcept>

TEST(CountEntry, AcceptsWholeSignedNumbersBelowTheLimit)
{
    for (const char* text : {"0", "1", "12", "123", " 12", "   7", "-5", "+5", "-0", "19999999",
                             "0000000000019999999", "-2147483648", "-20000000"})
        EXPECT_TRUE(isAcceptableCount(text)) << "«" << text << "»";
}

TEST(CountEntry, RefusesEverythingElse)
{
    for (const char* text :
         {"20000000", "2147483647", "2147483648", "-2147483649", "99999999999999999999",
          "12 ",      "1.5",        "1,5",        " ",           "-",
          "+",        "- 5",        "+-5",        "1e3",         "$1A",
          "0x10",     "12a",        "\t12",       "１２",        "٣"})
        EXPECT_FALSE(isAcceptableCount(text)) << "«" << text << "»";
    EXPECT_EQ(countRefusalMessage(), "Допустимы только целые числа меньше 20000000");
}

TEST(CountEntry, TotalAddsTrimmedCellsAndSkipsEmptyOnes)
{
    EXPECT_EQ(countTotal({}), 0);
    EXPECT_EQ(countTotal({"", "  ", "1"}), 1);
    EXPECT_EQ(countTotal({" 12", "-5", "+3", "", "7 "}), 17);
    EXPECT_EQ(countValue("\t 42 \t"), 42);
    EXPECT_THROW(countValue("1.5"), std::invalid_argument);
    EXPECT_THROW(countValue("4 2"), std::invalid_argument);
}

TEST(CountEntry, TotalOfTheLargestTaskIsExactBeyondThirtyTwoBits)
{
    // 1500 counts of 19999999 sum to 29999998500, far past 2^31 - 1.
    const std::vector<std::string> cells(1500, "19999999");
    EXPECT_EQ(countTotal(cells), 29999998500LL);
    const std::vector<std::string> negative(1500, "-2147483648");
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
