#include "tables/field_codec.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace {

std::string_view trimmedBlanks(std::string_view text)
{
    const auto blank = [](char c) { return c == ' ' || c == '\0'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    return text;
}

int digitsValue(std::string_view digits)
{
    int value = 0;
    for (char c : digits)
        value = value * 10 + (c - '0');
    return value;
}

} // namespace

bool isBlankField(std::string_view stored)
{
    return trimmedBlanks(stored).empty();
}

std::optional<double> readNumber(std::string_view stored)
{
    std::string_view text = trimmedBlanks(stored);
    if (text.empty()) return 0.0;
    if (text.front() == '+') text.remove_prefix(1);
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

bool readLogical(std::string_view stored)
{
    if (stored.empty()) return false;
    const char c = stored.front();
    return c == 'T' || c == 't' || c == 'Y' || c == 'y';
}

std::optional<CalendarDate> readDate(std::string_view stored)
{
    const std::string_view text = trimmedBlanks(stored);
    if (text.empty() || text == "00000000") return CalendarDate{};
    if (text.size() != 8) return std::nullopt;
    for (char c : text)
        if (c < '0' || c > '9') return std::nullopt;
    const CalendarDate date{digitsValue(text.substr(0, 4)), digitsValue(text.substr(4, 2)),
                            digitsValue(text.substr(6, 2))};
    if (!isValidDate(date)) return std::nullopt;
    return date;
}

std::string_view readText(std::string_view stored)
{
    while (!stored.empty() && stored.back() == ' ')
        stored.remove_suffix(1);
    return stored;
}

std::optional<std::string> numberField(double value, int width, int decimals)
{
    if (!std::isfinite(value)) return std::nullopt;
    if (decimals == 0) value = std::round(value);
    if (value == 0) value = 0; // no "-0"
    char text[64];
    const int length = std::snprintf(text, sizeof text, "%.*f", decimals, value);
    if (length < 0 || length > width) return std::nullopt;
    return std::string(static_cast<std::size_t>(width - length), ' ') + text;
}

std::string textField(std::string_view text, int width)
{
    std::string field(text.substr(0, static_cast<std::size_t>(width)));
    field.resize(static_cast<std::size_t>(width), ' ');
    return field;
}

std::string dateField(const CalendarDate& date)
{
    if (date.empty()) return std::string(8, ' ');
    char text[40];
    std::snprintf(text, sizeof text, "%04d%02d%02d", date.year, date.month, date.day);
    return text;
}

std::string numberText(double value)
{
    if (value == 0) value = 0;
    char text[400];
    const auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed);
    return std::string(text, result.ptr);
}
