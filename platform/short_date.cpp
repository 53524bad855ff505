#include "platform/short_date.h"

#include <langinfo.h>
#include <locale.h>

#include <array>
#include <vector>

namespace {

constexpr std::string_view posixDefaultFormat = "%m/%d/%y";

bool isLeapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int daysInMonth(int year, int month)
{
    static constexpr std::array<int, 12> days = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeapYear(year) ? 29 : days[static_cast<std::size_t>(month - 1)];
}

bool isAsciiDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool isTokenLetter(char c)
{
    return c == 'd' || c == 'M' || c == 'y';
}

// The order of the day, month and year tokens in a pattern, as the letters 'd', 'M', 'y'.
std::string componentOrder(std::string_view pattern)
{
    std::string order;
    for (char c : pattern)
        if (isTokenLetter(c) && order.find(c) == std::string::npos) order += c;
    return order;
}

std::string padded(int value, std::size_t digits)
{
    std::string text = std::to_string(value);
    if (text.size() < digits) text.insert(0, digits - text.size(), '0');
    return text;
}

} // namespace

bool isValidDate(const CalendarDate& date)
{
    return date.year >= 1 && date.year <= 9999 && date.month >= 1 && date.month <= 12 &&
           date.day >= 1 && date.day <= daysInMonth(date.year, date.month);
}

std::string shortDatePatternFromStrftime(std::string_view format)
{
    const std::string fallback(russianShortDateFormat);
    if (format == posixDefaultFormat) return fallback;
    std::string pattern;
    for (std::size_t i = 0; i < format.size(); ++i) {
        const char c = format[i];
        if (c != '%') {
            const auto u = static_cast<unsigned char>(c);
            const bool letterOrDigit =
                (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || isAsciiDigit(c);
            if (u < 32 || u > 126 || letterOrDigit) return fallback;
            pattern += c;
            continue;
        }
        if (++i == format.size()) return fallback;
        switch (format[i]) {
        case 'd':
            pattern += "dd";
            break;
        case 'e':
            pattern += "d";
            break;
        case 'm':
            pattern += "MM";
            break;
        case 'Y':
            pattern += "yyyy";
            break;
        case 'y':
            pattern += "yy";
            break;
        case 'D':
            pattern += "MM/dd/yy";
            break;
        case 'F':
            pattern += "yyyy-MM-dd";
            break;
        default:
            return fallback;
        }
    }
    const std::string order = componentOrder(pattern);
    if (order.size() != 3) return fallback;
    for (char token : order) {
        std::size_t runs = 0;
        for (std::size_t i = 0; i < pattern.size(); ++i)
            if (pattern[i] == token && (i == 0 || pattern[i - 1] != token)) ++runs;
        if (runs != 1) return fallback;
    }
    return pattern;
}

const std::string& localeShortDateFormat()
{
    static const std::string format = [] {
        const locale_t locale = newlocale(LC_TIME_MASK, "", static_cast<locale_t>(nullptr));
        if (!locale) return std::string(russianShortDateFormat);
        const std::string pattern = shortDatePatternFromStrftime(nl_langinfo_l(D_FMT, locale));
        freelocale(locale);
        return pattern;
    }();
    return format;
}

std::string formatShortDate(const CalendarDate& date, std::string_view pattern)
{
    if (date.empty()) return {};
    std::string text;
    for (std::size_t i = 0; i < pattern.size();) {
        const char c = pattern[i];
        std::size_t run = 1;
        while (i + run < pattern.size() && pattern[i + run] == c)
            ++run;
        if (c == 'd') {
            text += padded(date.day, run >= 2 ? 2 : 1);
        } else if (c == 'M') {
            text += padded(date.month, run >= 2 ? 2 : 1);
        } else if (c == 'y') {
            text += run <= 2 ? padded(date.year % 100, 2) : padded(date.year, 4);
        } else {
            text.append(run, c);
        }
        i += run;
    }
    return text;
}

std::optional<CalendarDate> parseShortDate(std::string_view text, std::string_view pattern)
{
    const std::string order = componentOrder(pattern);
    if (order.size() != 3) return std::nullopt;
    std::vector<std::string_view> groups;
    for (std::size_t i = 0; i < text.size();) {
        if (!isAsciiDigit(text[i])) {
            ++i;
            continue;
        }
        std::size_t end = i;
        while (end < text.size() && isAsciiDigit(text[end]))
            ++end;
        groups.push_back(text.substr(i, end - i));
        i = end;
    }
    if (groups.size() != 3) return std::nullopt;
    CalendarDate date;
    for (std::size_t k = 0; k < 3; ++k) {
        const std::string_view digits = groups[k];
        if (digits.size() > (order[k] == 'y' ? 4u : 2u)) return std::nullopt;
        const int value = std::stoi(std::string(digits));
        if (order[k] == 'd') date.day = value;
        if (order[k] == 'M') date.month = value;
        if (order[k] == 'y')
            date.year = digits.size() <= 2 ? (value < 50 ? 2000 : 1900) + value : value;
    }
    if (!isValidDate(date)) return std::nullopt;
    return date;
}
