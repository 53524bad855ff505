#include "export/shown_number.h"

#include "platform/cp1251.h"

#include <algorithm>
#include <charconv>

namespace {
// Digits from the first non-zero one to the last one written: what a double must carry.
constexpr int maxSignificantDigits = 15;

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}
} // namespace

std::optional<ShownNumber> readShownNumber(std::string_view text)
{
    const std::string number = trimBlanks(text);
    std::string_view rest = number;
    const bool negative = !rest.empty() && rest.front() == '-';
    if (negative) rest.remove_prefix(1);

    const size_t point = rest.find('.');
    const std::string_view whole = rest.substr(0, point);
    const std::string_view fraction =
        point == std::string_view::npos ? std::string_view() : rest.substr(point + 1);
    if (whole.empty() || !std::all_of(whole.begin(), whole.end(), isDigit)) return std::nullopt;
    if (whole.size() > 1 && whole.front() == '0') return std::nullopt;
    if (point != std::string_view::npos &&
        (fraction.empty() || !std::all_of(fraction.begin(), fraction.end(), isDigit)))
        return std::nullopt;

    const std::string digits = std::string(whole) + std::string(fraction);
    const size_t firstSignificant = digits.find_first_not_of('0');
    if (firstSignificant == std::string::npos) {
        if (negative) return std::nullopt;
    } else if (static_cast<int>(digits.size() - firstSignificant) > maxSignificantDigits) {
        return std::nullopt;
    }

    ShownNumber shown;
    shown.decimals = static_cast<int>(fraction.size());
    const auto [end, error] =
        std::from_chars(number.data(), number.data() + number.size(), shown.value);
    if (error != std::errc() || end != number.data() + number.size()) return std::nullopt;
    return shown;
}

std::string numberFormat(int decimals)
{
    if (decimals <= 0) return "0";
    return "0." + std::string(static_cast<size_t>(decimals), '0');
}
