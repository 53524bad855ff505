// The short date format of the user's locale: the pattern taken from the locale's strftime
// format (the Russian one when the locale gives only the POSIX default), and dates written
// and read in a pattern.
#include "platform/short_date.h"

#include <gtest/gtest.h>

#include <cstdlib>

TEST(ShortDate, PatternsComeFromTheLocalesDateFormat)
{
    EXPECT_EQ(shortDatePatternFromStrftime("%d.%m.%Y"), "dd.MM.yyyy"); // ru_RU, de_DE
    EXPECT_EQ(shortDatePatternFromStrftime("%m/%d/%Y"), "MM/dd/yyyy"); // en_US
    EXPECT_EQ(shortDatePatternFromStrftime("%Y-%m-%d"), "yyyy-MM-dd"); // sv_SE
    EXPECT_EQ(shortDatePatternFromStrftime("%F"), "yyyy-MM-dd");
    EXPECT_EQ(shortDatePatternFromStrftime("%e/%m/%y"), "d/MM/yy");
    // The POSIX default, and formats with names or non-ASCII text, give the Russian format.
    EXPECT_EQ(shortDatePatternFromStrftime("%m/%d/%y"), "dd.MM.yyyy");
    EXPECT_EQ(shortDatePatternFromStrftime("%D"), "MM/dd/yy");
    EXPECT_EQ(shortDatePatternFromStrftime("%d %b %Y"), "dd.MM.yyyy");
    EXPECT_EQ(shortDatePatternFromStrftime("%Y年%m月%d日"), "dd.MM.yyyy");
    EXPECT_EQ(shortDatePatternFromStrftime("%d.%m"), "dd.MM.yyyy");
    EXPECT_EQ(shortDatePatternFromStrftime("%d.%m.%Y %d"), "dd.MM.yyyy");
    EXPECT_EQ(shortDatePatternFromStrftime("%d.%m.%Y%"), "dd.MM.yyyy");
}

TEST(ShortDate, ThePosixLocaleGivesTheRussianFormat)
{
    setenv("LC_ALL", "C", 1);
    EXPECT_EQ(localeShortDateFormat(), "dd.MM.yyyy");
}

TEST(ShortDate, DatesAreWrittenInThePattern)
{
    const CalendarDate date{2024, 3, 5};
    EXPECT_EQ(formatShortDate(date, "dd.MM.yyyy"), "05.03.2024");
    EXPECT_EQ(formatShortDate(date, "d/M/yy"), "5/3/24");
    EXPECT_EQ(formatShortDate(date, "yyyy-MM-dd"), "2024-03-05");
    EXPECT_EQ(formatShortDate({1999, 12, 31}, "MM/dd/yy"), "12/31/99");
    EXPECT_EQ(formatShortDate({}, "dd.MM.yyyy"), "");
}

TEST(ShortDate, DatesAreReadInThePatternsOrder)
{
    EXPECT_EQ(parseShortDate("05.03.2024", "dd.MM.yyyy"), (CalendarDate{2024, 3, 5}));
    EXPECT_EQ(parseShortDate(" 5.3.2024 ", "dd.MM.yyyy"), (CalendarDate{2024, 3, 5}));
    EXPECT_EQ(parseShortDate("3/5/2024", "MM/dd/yyyy"), (CalendarDate{2024, 3, 5}));
    EXPECT_EQ(parseShortDate("2024-03-05", "yyyy-MM-dd"), (CalendarDate{2024, 3, 5}));
    EXPECT_EQ(parseShortDate("29.02.2000", "dd.MM.yyyy"), (CalendarDate{2000, 2, 29}));
    // Two-digit years: 00 to 49 in this century, 50 to 99 in the last.
    EXPECT_EQ(parseShortDate("1.1.49", "dd.MM.yy"), (CalendarDate{2049, 1, 1}));
    EXPECT_EQ(parseShortDate("1.1.50", "dd.MM.yy"), (CalendarDate{1950, 1, 1}));

    EXPECT_FALSE(parseShortDate("29.02.1900", "dd.MM.yyyy")); // not a leap year
    EXPECT_FALSE(parseShortDate("31.04.2024", "dd.MM.yyyy"));
    EXPECT_FALSE(parseShortDate("13.13.2024", "dd.MM.yyyy"));
    EXPECT_FALSE(parseShortDate("05.03", "dd.MM.yyyy"));
    EXPECT_FALSE(parseShortDate("05.03.2024.1", "dd.MM.yyyy"));
    EXPECT_FALSE(parseShortDate("005.03.2024", "dd.MM.yyyy"));
    EXPECT_FALSE(parseShortDate("", "dd.MM.yyyy"));
}
