#include "cli/task_file.h"

#include "platform/cp1251.h"
#include "task/allele_check.h"
#include "task/count_entry.h"
#include "task/phenotypes.h"
#include "task/statement_lines.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <numeric>
#include <sstream>

namespace {

struct CountLine
{
    int line = 0;
    std::string count;
    std::vector<std::string> tests; // UTF-8
};

struct Statements
{
    std::optional<InheritanceMode> mode;
    std::vector<std::string> alleles; // UTF-8 cell texts
    std::vector<int> alleleLines;
    std::vector<CountLine> counts;
};

std::string joined(const std::vector<std::string>& tokens, std::size_t from)
{
    std::string text;
    for (std::size_t i = from; i < tokens.size(); ++i)
        text += (text.empty() ? "" : " ") + tokens[i];
    return text;
}

// A count line starts with a digit, or with a sign before one ("-5" is a count, and a wrong one).
bool startsCount(const std::string& token)
{
    const std::size_t digit = token[0] == '+' || token[0] == '-' ? 1 : 0;
    return digit < token.size() && std::isdigit(static_cast<unsigned char>(token[digit]));
}

// Reads one statement into the statements, or says what is wrong with it.
std::optional<std::string> readStatement(const std::vector<std::string>& tokens, int line,
                                         Statements& statements)
{
    const std::string& keyword = tokens[0];
    if (keyword == "mode") {
        if (statements.mode) return "режим наследования уже указан";
        if (tokens.size() == 2 && tokens[1] == "codominance")
            statements.mode = InheritanceMode::codominance;
        else if (tokens.size() == 2 && tokens[1] == "dominance")
            statements.mode = InheritanceMode::dominance;
        else
            return "после mode ожидается codominance или dominance";
        return std::nullopt;
    }
    if (keyword == "allele") {
        if (tokens.size() < 2) return "после allele нет ни одного теста";
        if (statements.alleles.size() == static_cast<std::size_t>(maxAlleles))
            return "аллелей больше " + std::to_string(maxAlleles);
        statements.alleles.push_back(joined(tokens, 1));
        statements.alleleLines.push_back(line);
        return std::nullopt;
    }
    if (startsCount(keyword)) {
        if (!isAcceptableCount(keyword))
            return "поголовье должно быть целым числом " + countRangeText();
        if (tokens.size() < 2) return "после поголовья нет ни одного теста";
        std::vector<std::string> tests(tokens.begin() + 1, tokens.end());
        if (tests.size() > 1 && std::find(tests.begin(), tests.end(), "-") != tests.end())
            return "минус не может совмещаться с другими тестами";
        for (std::size_t i = 0; i < tests.size(); ++i)
            if (std::find(tests.begin(), tests.begin() + static_cast<std::ptrdiff_t>(i),
                          tests[i]) != tests.begin() + static_cast<std::ptrdiff_t>(i))
                return "тест " + tests[i] + " указан дважды";
        statements.counts.push_back({line, keyword, std::move(tests)});
        return std::nullopt;
    }
    return "непонятная строка: " + keyword;
}

std::optional<TaskFileProblem> readStatements(std::string_view text, Statements& statements)
{
    for (const auto& [line, tokens] : statementLines(text)) {
        if (const auto wrong = readStatement(tokens, line, statements))
            return TaskFileProblem{line, *wrong};
    }
    return std::nullopt;
}

// The phenotype name of a count line: its tests in byte order, each followed by a space.
std::optional<Cp1251Text> phenotypeName(const CountLine& count, char32_t& unencodable)
{
    std::vector<Cp1251Text> tests;
    for (const std::string& test : count.tests) {
        const EncodedText encoded = encodeCp1251(test);
        if (!encoded.ok()) {
            unencodable = encoded.unencodable;
            return std::nullopt;
        }
        tests.push_back(encoded.text);
    }
    return nameOfTests(std::move(tests));
}

} // namespace

LoadedTask loadTaskFile(std::string_view utf8Text, TaskState& task)
{
    LoadedTask loaded;
    Statements statements;
    if (auto problem = readStatements(utf8Text, statements)) {
        loaded.problem = std::move(problem);
        return loaded;
    }
    loaded.mode = statements.mode.value_or(InheritanceMode::codominance);

    std::array<std::string, maxAlleles> cells{};
    std::copy(statements.alleles.begin(), statements.alleles.end(), cells.begin());
    const AlleleCheck check = checkAlleleList(encodeAlleleRows(cells), task);
    if (check.failed()) {
        const auto index = static_cast<std::size_t>(check.alleleNumber - 1);
        const bool singleRow = check.failure != AlleleCheckFailure::emptyList &&
                               check.failure != AlleleCheckFailure::singleAllele &&
                               index < statements.alleleLines.size();
        loaded.problem = TaskFileProblem{singleRow ? statements.alleleLines[index] : 0,
                                         alleleCheckMessage(check)};
        return loaded;
    }
    if (!generatePhenotypes(task, loaded.mode)) {
        loaded.problem = TaskFileProblem{0, phenotypeLimitMessage()};
        return loaded;
    }

    loaded.countTexts.assign(static_cast<std::size_t>(task.phenotypeCount), {});
    std::vector<int> countedOn(static_cast<std::size_t>(task.phenotypeCount), 0);
    std::int64_t total = 0;
    for (const CountLine& count : statements.counts) {
        char32_t unencodable = 0;
        const std::optional<Cp1251Text> name = phenotypeName(count, unencodable);
        if (!name) {
            loaded.problem = TaskFileProblem{count.line, "символа «" + utf8Char(unencodable) +
                                                             "» нет в кодировке Windows-1251"};
            return loaded;
        }
        const auto first = task.phenotypeNames.begin() + 1;
        const auto last = first + task.phenotypeCount;
        const auto found = std::find(first, last, *name);
        if (found == last) {
            loaded.problem = TaskFileProblem{count.line, "аллели не дают фенотипа «" +
                                                             cp1251ToUtf8(name->trimmed()) + "»"};
            return loaded;
        }
        const auto r = static_cast<std::size_t>(found - first);
        if (countedOn[r] != 0) {
            loaded.problem = TaskFileProblem{
                count.line, "фенотип «" + cp1251ToUtf8(name->trimmed()) + "» уже указан в строке " +
                                std::to_string(countedOn[r])};
            return loaded;
        }
        countedOn[r] = count.line;
        loaded.countTexts[r] = Cp1251Text::fromBytes(count.count); // ASCII digits
        total += *readCount(count.count);
    }
    loaded.totalText = Cp1251Text::fromBytes(std::to_string(total));
    return loaded;
}

std::string taskFileProblemText(const std::string& fileName, const TaskFileProblem& problem)
{
    if (problem.line == 0) return fileName + ": " + problem.message;
    return fileName + ", строка " + std::to_string(problem.line) + ": " + problem.message;
}

std::optional<std::string> readTaskFile(const std::string& path, std::string& problem)
{
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        problem = path + ": не удается открыть файл задачи";
        return std::nullopt;
    }
    // Streaming the buffer reads a folder, which opens on Linux, as an empty text instead of
    // throwing from the read.
    std::ostringstream text;
    text << file.rdbuf();
    return std::move(text).str();
}
