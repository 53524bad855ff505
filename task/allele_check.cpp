#include "task/allele_check.h"

#include "platform/cp1251.h"

#include <algorithm>

namespace {

// Byte order of unsigned characters; a prefix sorts first.
bool ordinalLess(const std::string& a, const std::string& b)
{
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
    });
}

AlleleCheck fail(TaskState& task, AlleleCheckFailure failure)
{
    AlleleCheck check;
    check.failure = failure;
    check.alleleNumber = task.alleleCount + 1;
    return check;
}

} // namespace

std::vector<std::string> splitTokens(const std::string& text)
{
    std::vector<std::string> tokens;
    std::size_t pos = 0;
    while (pos < text.size()) {
        while (pos < text.size() && text[pos] == ' ')
            ++pos;
        const std::size_t start = pos;
        while (pos < text.size() && text[pos] != ' ')
            ++pos;
        if (pos > start) tokens.push_back(text.substr(start, pos - start));
    }
    return tokens;
}

void selectionSortOrdinal(std::vector<std::string>& items)
{
    for (std::size_t p = 0; p + 1 < items.size(); ++p) {
        std::size_t smallest = p;
        for (std::size_t q = p + 1; q < items.size(); ++q)
            if (ordinalLess(items[q], items[smallest])) smallest = q;
        std::swap(items[p], items[smallest]);
    }
}

std::string nameOfTests(std::vector<std::string> tests)
{
    selectionSortOrdinal(tests);
    std::string name;
    for (const std::string& test : tests) {
        name += test;
        name += ' ';
    }
    return name;
}

AlleleCheck checkAlleleList(const std::array<std::string, maxAlleles>& cellTexts, TaskState& task)
{
    task.alleleCount = 0;
    task.testCount = 0;
    bool minusSeen = false;

    for (const std::string& cellText : cellTexts) {
        const EncodedText encoded = encodeCp1251(cellText);
        if (!encoded.ok()) {
            AlleleCheck check = fail(task, AlleleCheckFailure::unencodableCharacter);
            check.character = encoded.unencodable;
            return check;
        }
        const std::string s = trimCp1251(encoded.bytes);
        if (s.empty()) continue;

        if ((" " + s + " ").find(" - ") != std::string::npos) {
            if (s != "-") return fail(task, AlleleCheckFailure::minusWithOtherTests);
            if (minusSeen) return fail(task, AlleleCheckFailure::secondMinus);
            minusSeen = true;
        }

        std::vector<std::string> tests;
        for (const std::string& token : splitTokens(s)) {
            if (std::find(tests.begin(), tests.end(), token) != tests.end()) continue;
            if (token != "-") {
                const auto first = task.testNames.begin() + 1;
                const auto last = first + task.testCount;
                if (std::find(first, last, token) == last) {
                    if (task.testCount == maxTests)
                        return fail(task, AlleleCheckFailure::tooManyTests);
                    task.testNames[++task.testCount] = token;
                }
            }
            tests.push_back(token);
        }
        const std::string name = nameOfTests(std::move(tests));
        for (int k = 1; k <= task.alleleCount; ++k) {
            if (task.alleleNames[k] == name) {
                AlleleCheck check = fail(task, AlleleCheckFailure::duplicateAllele);
                check.duplicateName = name;
                return check;
            }
        }
        task.alleleNames[++task.alleleCount] = name;
    }

    if (task.alleleCount == 0) return fail(task, AlleleCheckFailure::emptyList);
    if (task.alleleCount == 1) return fail(task, AlleleCheckFailure::singleAllele);
    return {};
}

std::string alleleCheckMessage(const AlleleCheck& check)
{
    switch (check.failure) {
    case AlleleCheckFailure::none:
        return {};
    case AlleleCheckFailure::minusWithOtherTests:
        return "Минус не может совмещаться с другими тестами!! Исправьте..";
    case AlleleCheckFailure::secondMinus:
        return "Минус может иметь ТОЛЬКО ОДИН АЛЛЕЛЬ!! Исправьте..";
    case AlleleCheckFailure::tooManyTests:
        return "Слишком много тестов. Максимум - " + std::to_string(maxTests);
    case AlleleCheckFailure::duplicateAllele:
        return "Аллель с тестами " + cp1251ToUtf8(check.duplicateName) +
               " повторяется. Исправьте!!!";
    case AlleleCheckFailure::emptyList:
        return "Список аллелей пуст!!!";
    case AlleleCheckFailure::singleAllele:
        return "Только один аллель - задача не имеет смысла...";
    case AlleleCheckFailure::unencodableCharacter:
        return "В наименовании аллеля " + std::to_string(check.alleleNumber) + " есть символ «" +
               utf8Char(check.character) + "», которого нет в кодировке Windows-1251. Исправьте..";
    }
    return {};
}
