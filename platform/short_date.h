// The short date format of the user's locale, and dates written and read in it.
// A format is a pattern of the tokens d, dd, M, MM, yy, yyyy and literal separators
// ("dd.MM.yyyy"); the locale's format comes from LC_TIME (LC_ALL, LANG) of the environment.
#pragma once

#include <optional>
#include <string>
#include <string_view>

// A calendar date; all zero is the empty date (an empty date field).
struct CalendarDate
{
    int year = 0;
    int month = 0;
    int day = 0;

    bool empty() const { return year == 0 && month == 0 && day == 0; }
    bool operator==(const CalendarDate&) const = default;
};

// True for a real day of the Gregorian calendar with a year from 1 to 9999.
bool isValidDate(const CalendarDate& date);

// The Russian short date format, used when the locale gives only the POSIX default.
inline constexpr std::string_view russianShortDateFormat = "dd.MM.yyyy";

// Turns a strftime date format (nl_langinfo(D_FMT)) into a pattern. The POSIX default
// "%m/%d/%y", and a format with anything but day, month and year numbers and ASCII
// separators, give the Russian format.
std::string shortDatePatternFromStrftime(std::string_view strftimeFormat);

// The short date format of the user's locale (computed once per process).
const std::string& localeShortDateFormat();

// The date in the pattern: "dd.MM.yyyy" gives "05.03.2024". An empty date gives "".
std::string formatShortDate(const CalendarDate& date,
                            std::string_view pattern = localeShortDateFormat());

// Reads a date typed in the pattern: the day, month and year numbers in the pattern's
// order, separated by any non-digits ("5.3.2024" and "05.03.2024" alike). A two-digit
// year means 2000 to 2049 or 1950 to 1999. Nothing for a text that is not a valid date.
std::optional<CalendarDate> parseShortDate(std::string_view text,
                                           std::string_view pattern = localeShortDateFormat());
