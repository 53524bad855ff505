#include "task/count_entry.h"

#include "platform/cp1251.h"

#include <algorithm>
#include <limits>
#include <optional>
#include <stdexcept>

bool isValidCount(std::int64_t value)
{
    return value >= 0 && value < countLimit;
}

std::optional<std::int64_t> readCount(std::string_view text)
{
    std::size_t pos = 0;
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

namespace {

// Whether a field reads as a number of any kind: a sign, digits, and a decimal part after a
// point or a comma. Such a field is the count of its line, whether or not it is acceptable.
bool readsAsNumber(const std::string& field)
{
    std::size_t pos = field.empty() || (field[0] != '+' && field[0] != '-') ? 0 : 1;
    bool digits = false;
    bool separator = false;
    for (; pos < field.size(); ++pos) {
        const char c = field[pos];
        if (c >= '0' && c <= '9') {
            digits = true;
        } else if ((c == '.' || c == ',') && !separator) {
            separator = true;
        } else {
            return false;
        }
    }
    return digits;
}

std::vector<std::string> splitAt(const std::string& text, char separator)
{
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (std::size_t at; (at = text.find(separator, start)) != std::string::npos; start = at + 1)
        parts.push_back(text.substr(start, at - start));
    parts.push_back(text.substr(start));
    return parts;
}

} // namespace

std::vector<std::string> pastedCounts(const std::string& text)
{
    std::vector<std::string> lines = splitAt(text, '\n');
    if (lines.size() > 1 && trimBlanks(lines.back()).empty()) lines.pop_back();
    std::vector<std::string> counts;
    for (const std::string& line : lines) {
        const std::vector<std::string> fields = splitAt(line, '\t');
        std::string count = trimBlanks(fields.back());
        for (const std::string& field : fields) {
            const std::string value = trimBlanks(field);
            if (readsAsNumber(value)) count = value;
        }
        counts.push_back(count);
    }
    return counts;
}

std::string countRangeText()
{
    return "от 0 до " + std::to_string(countLimit - 1);
}

std::string countRefusalMessage()
{
    return "Допустимы только целые числа меньше " + std::to_string(countLimit);
}

bool isAcceptableCount(std::string_view typed)
{
    typed.remove_prefix(std::min(typed.find_first_not_of(' '), typed.size()));
    if (typed.starts_with('-')) return false;
    const std::optional<std::int64_t> value = readCount(typed);
    return value && isValidCount(*value);
}

std::int64_t countValue(const Cp1251Text& cell)
{
    const Cp1251Text trimmed = cell.trimmed();
    if (trimmed.empty()) return 0;
    const std::optional<std::int64_t> value = readCount(trimmed.bytes());
    if (!value) throw std::invalid_argument("«" + cp1251ToUtf8(trimmed) + "» - не целое число");
    return *value;
}

std::int64_t countTotal(const std::vector<Cp1251Text>& cells)
{
    std::int64_t total = 0;
    for (const Cp1251Text& cell : cells)
        total += countValue(cell);
    return total;
}

std::optional<std::size_t> firstInvalidCount(const std::vector<Cp1251Text>& cells)
{
    for (std::size_t i = 0; i < cells.size(); ++i) {
        const Cp1251Text trimmed = cells[i].trimmed();
        if (!trimmed.empty() && !isAcceptableCount(trimmed.bytes())) return i;
    }
    return std::nullopt;
}

std::string invalidCountText(const Cp1251Text& phenotypeName, const std::string& value)
{
    return "поголовье фенотипа «" + cp1251ToUtf8(phenotypeName.trimmed()) + "» (" + value +
           ") - не целое число " + countRangeText();
}
