#include "task/allele_check.h"

#include <algorithm>

namespace {

const Cp1251Text minus = Cp1251Text::fromBytes("-");
const Cp1251Text space = Cp1251Text::fromBytes(" ");

AlleleCheck fail(TaskState& task, AlleleCheckFailure failure)
{
    AlleleCheck check;
    check.failure = failure;
    check.alleleNumber = task.alleleCount + 1;
    return check;
}

} // namespace

std::vector<Cp1251Text> splitTokens(const Cp1251Text& cp1251)
{
    const std::string& text = cp1251.bytes();
    std::vector<Cp1251Text> tokens;
    std::size_t pos = 0;
    while (pos < text.size()) {
        while (pos < text.size() && text[pos] == ' ')
            ++pos;
        const std::size_t start = pos;
        while (pos < text.size() && text[pos] != ' ')
            ++pos;
        if (pos > start) tokens.push_back(Cp1251Text::fromBytes(text.substr(start, pos - start)));
    }
    return tokens;
}

void selectionSortOrdinal(std::vector<Cp1251Text>& items)
{
    for (std::size_t p = 0; p + 1 < items.size(); ++p) {
        std::size_t smallest = p;
        for (std::size_t q = p + 1; q < items.size(); ++q)
            if (items[q] < items[smallest]) smallest = q;
        std::swap(items[p], items[smallest]);
    }
}

Cp1251Text nameOfTests(std::vector<Cp1251Text> tests)
{
    selectionSortOrdinal(tests);
    Cp1251Text name;
    for (const Cp1251Text& test : tests) {
        name += test;
        name += space;
    }
    return name;
}

AlleleCheck checkAlleleList(const std::array<EncodedText, maxAlleles>& cellTexts, TaskState& task)
{
    task.alleleCount = 0;
    task.testCount = 0;
    bool minusSeen = false;

    for (const EncodedText& encoded : cellTexts) {
        if (!encoded.ok()) {
            AlleleCheck check = fail(task, AlleleCheckFailure::unencodableCharacter);
            check.character = encoded.unencodable;
            return check;
        }
        const Cp1251Text s = encoded.text.trimmed();
        if (s.empty()) continue;

        if ((space + s + space).contains(space + minus + space)) {
            if (s != minus) return fail(task, AlleleCheckFailure::minusWithOtherTests);
            if (minusSeen) return fail(task, AlleleCheckFailure::secondMinus);
            minusSeen = true;
        }

        std::vector<Cp1251Text> tests;
        for (const Cp1251Text& token : splitTokens(s)) {
            if (std::find(tests.begin(), tests.end(), token) != tests.end()) continue;
            if (token != minus) {
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
        const Cp1251Text name = nameOfTests(std::move(tests));
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

std::array<EncodedText, maxAlleles>
encodeAlleleRows(const std::array<std::string, maxAlleles>& utf8)
{
    std::array<EncodedText, maxAlleles> rows;
    std::transform(utf8.begin(), utf8.end(), rows.begin(),
                   [](const std::string& row) { return encodeCp1251(row); });
    return rows;
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
