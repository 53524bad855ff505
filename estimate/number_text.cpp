#include "estimate/number_text.h"

#include <array>
#include <charconv>
#include <cmath>

namespace {

// Enough places to hold the exact binary value of every long double from 2^-37 up;
// smaller values have zeros in every place a result keeps or rounds on.
constexpr int exactPlaces = 100;

// Adds one unit in the last place of a text of decimal digits and at most one point.
void incrementDigits(std::string& digits)
{
    for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
        if (*it == '.') continue;
        if (*it != '9') {
            ++*it;
            return;
        }
        *it = '0';
    }
    digits.insert(digits.begin(), '1');
}

} // namespace

std::string formatFixed(long double x, int width, int decimals)
{
    std::array<char, 6000> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), std::fabs(x),
                                      std::chars_format::fixed, exactPlaces);
    std::string exact(buffer.data(), result.ptr);
    const std::size_t point = exact.find('.');
    if (point == std::string::npos) return exact; // infinity or not a number
    std::string text =
        exact.substr(0, decimals > 0 ? point + 1 + static_cast<std::size_t>(decimals) : point);
    if (exact[point + 1 + static_cast<std::size_t>(decimals)] >= '5') incrementDigits(text);
    const bool negative = x < 0 && text.find_first_not_of("0.") != std::string::npos;
    const std::size_t length = text.size() + (negative ? 1 : 0);
    std::string padded(length < static_cast<std::size_t>(width) ? width - length : 0, ' ');
    if (negative) padded += '-';
    padded += text;
    return padded;
}

std::string generalText(double x)
{
    if (x == 0) return "0";
    std::array<char, 64> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), x,
                                      std::chars_format::scientific, 14);
    const std::string scientific(buffer.data(), result.ptr);
    const std::size_t e = scientific.find('e');
    const int exponent = std::stoi(scientific.substr(e + 1));
    const bool negative = scientific[0] == '-';
    std::string digits;
    for (std::size_t i = negative ? 1 : 0; i < e; ++i)
        if (scientific[i] != '.') digits += scientific[i];
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();

    std::string text;
    if (exponent >= -5 && exponent <= 14) {
        if (exponent < 0) {
            text = "0.";
            text.append(static_cast<std::size_t>(-exponent - 1), '0');
            text += digits;
        } else {
            const auto integerDigits = static_cast<std::size_t>(exponent) + 1;
            if (digits.size() <= integerDigits)
                text = digits + std::string(integerDigits - digits.size(), '0');
            else
                text = digits.substr(0, integerDigits) + "." + digits.substr(integerDigits);
        }
    } else {
        text = digits.substr(0, 1);
        if (digits.size() > 1) {
            text += '.';
            text += digits.substr(1);
        }
        text += 'E';
        text += std::to_string(exponent);
    }
    if (negative) text.insert(text.begin(), '-');
    return text;
}

std::string integerText(std::int64_t n)
{
    return std::to_string(n);
}

double shownValue(const std::string& text)
{
    std::size_t start = text.find_first_not_of(' ');
    if (start == std::string::npos) return 0;
    double value = 0;
    std::from_chars(text.data() + start, text.data() + text.size(), value);
    return value;
}
