// The observed counts of the control window's column "Факт": the one rule for a count
// wherever it enters the program (typed, pasted, read from a task file or an archive row), the
// one reading of a count text, and the total over the column. A count is a whole number from 0
// to 19999999; the total is the exact 64-bit sum (1500 counts below 20000000 exceed 2^31). A
// count is ASCII, the same bytes in UTF-8 and Windows-1251.
#pragma once

#include "platform/cp1251_text.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

constexpr std::int32_t countLimit = 20000000; // counts are below this

// The column "Факт" of the control window's phenotype grid, where the counts are typed.
constexpr int countColumn = 2;

// The rule for a count: 0 <= value < countLimit.
bool isValidCount(std::int64_t value);

// The value of "[+|-]digits" read whole, with no blank anywhere; nullopt for any other text
// and for a value outside the signed 32-bit range.
std::optional<std::int64_t> readCount(std::string_view text);

// "от 0 до 19999999": the range of a count as the messages name it.
std::string countRangeText();

// "Допустимы только целые числа меньше 20000000", in UTF-8.
std::string countRefusalMessage();

// Whether a non-empty text as typed (UTF-8) is an acceptable count: leading blanks, an
// optional "+", then digits and nothing after them, of a value isValidCount takes. A minus
// sign is refused the moment it is typed. An empty text is not checked by the caller.
bool isAcceptableCount(std::string_view typed);

// The integer value of a count cell: trimmed, then read by readCount. An empty cell is 0.
// Throws std::invalid_argument, with a Russian message naming the text, when the text is not
// such a number.
std::int64_t countValue(const Cp1251Text& cell);

// The counts in text pasted from a spreadsheet, one per line from the first: of a
// tab-separated line the last field that reads as a number (so "name<TAB>count" gives the
// count), else its last field; each without its surrounding blanks
// and control codes. A final
// line break ends the last line and adds no empty one. Nothing here is checked: the values
// go through isAcceptableCount as typed ones do.
std::vector<std::string> pastedCounts(const std::string& text);

// The sum of the values of the cells; empty cells add nothing.
std::int64_t countTotal(const std::vector<Cp1251Text>& cells);

// The first of the cells (0-based) whose trimmed text is neither empty nor a count the rule
// takes; nothing when every cell is fine.
std::optional<std::size_t> firstInvalidCount(const std::vector<Cp1251Text>& cells);

// What is wrong with a count that breaks the rule, naming its phenotype (trimmed) and the
// value as found: "поголовье фенотипа «B» (-5) - не целое число от 0 до 19999999", in UTF-8.
std::string invalidCountText(const Cp1251Text& phenotypeName, const std::string& value);
