#include "task/count_entry.h"

#include "platform/cp1251.h"

#include <limits>
#include <optional>
#include <stdexcept>

namespace {

// Reads "[+|-]digits" whole, with no blank anywhere; nullopt when the text is not such a
// number or leaves the signed 32-bit range.
std::optional<std::int64_t> readWhole(const std::string& text, std::size_t pos)
{
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    if (pos == text.size()) return std::nullopt;
    constexpr std::int64_t magnitudeLimit =
        static_cast<std::int64_t>(std::numeric_limits<std::int32_t>::max()) + 1;
    std::int64_t magnitude = 0;
    for (; pos < text.size(); ++pos) {
        const char c = text[pos];
        if (c < '0' || c > '9') return std::nullopt;
        magnitude = magnitude * 10 + (c - '0');
        if (magnitude > magnitudeLimit) return std::nullopt;
    }
    const std::int64_t value = negative ? -magnitude : magnitude;
    if (value > std::numeric_limits<std::int32_t>::max()) return std::nullopt;
    return value;
}

} // namespace

std::string countRefusalMessage()
{
    return "Допустимы только целые числа меньше " + std::to_string(countLimit);
}

bool isAcceptableCount(const std::string& text)
{
    std::size_t pos = 0;
    while (pos < text.size() && text[pos] == ' ')
        ++pos;
    const std::optional<std::int64_t> value = readWhole(text, pos);
    return value && *value < countLimit;
}

std::int64_t countValue(const std::string& text)
{
    const std::string trimmed = trimCp1251(text);
    if (trimmed.empty()) return 0;
    const std::optional<std::int64_t> value = readWhole(trimmed, 0);
    if (!value) throw std::invalid_argument("«" + trimmed + "» - не целое число");
    return *value;
}

std::int64_t countTotal(const std::vector<std::string>& cells)
{
    std::int64_t total = 0;
    for (const std::string& cell : cells)
        total += countValue(cell);
    return total;
}
