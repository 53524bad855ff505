#include "archive/count_table_check.h"

#include "platform/cp1251.h"
#include "task/allele_check.h"
#include "task/count_entry.h"

#include <algorithm>
#include <map>

namespace {

struct Problem
{
    TableProblem problem;
};

[[noreturn]] void refuse(int row, int column, std::string message)
{
    throw Problem{{row, column, std::move(message)}};
}

std::string quoted(const Cp1251Text& text)
{
    return "«" + cp1251ToUtf8(text) + "»";
}

Cp1251Text encoded(const std::string& utf8, int row, int column)
{
    const EncodedText text = encodeCp1251(utf8);
    if (!text.ok())
        refuse(row, column,
               "символа «" + utf8Char(text.unencodable) + "» нет в кодировке Windows-1251");
    return text.text.trimmed();
}

const std::string& cellAt(const CellRow& row, std::size_t column)
{
    static const std::string empty;
    return column < row.cells.size() ? row.cells[column] : empty;
}

// The phenotype (1-based) a header cell names, by its tests in any order.
int phenotypeOf(const Cp1251Text& header, const TaskState& task, int row, int column)
{
    std::vector<Cp1251Text> tests = splitTokens(header);
    for (std::size_t i = 0; i < tests.size(); ++i) {
        if (tests[i].bytes() == "-" && tests.size() > 1)
            refuse(row, column, "минус не может совмещаться с другими тестами");
        if (std::find(tests.begin(), tests.begin() + static_cast<std::ptrdiff_t>(i), tests[i]) !=
            tests.begin() + static_cast<std::ptrdiff_t>(i))
            refuse(row, column, "тест " + quoted(tests[i]) + " указан дважды");
    }
    const Cp1251Text name = nameOfTests(std::move(tests));
    const auto first = task.phenotypeNames.begin() + 1;
    const auto last = first + task.phenotypeCount;
    const auto found = std::find(first, last, name);
    if (found == last) refuse(row, column, "аллели не дают фенотипа " + quoted(name.trimmed()));
    return static_cast<int>(found - first) + 1;
}

// The phenotype of every column (0-based) of the header; 0 for an empty header cell.
std::vector<int> headerPhenotypes(const CellRow& header, const TaskState& task)
{
    std::vector<int> phenotypes(header.cells.size(), 0);
    std::map<int, int> columnOf; // phenotype → its column (1-based)
    for (std::size_t c = 1; c < header.cells.size(); ++c) {
        const int column = static_cast<int>(c) + 1;
        const Cp1251Text text = encoded(header.cells[c], header.number, column);
        if (text.empty()) continue;
        const int phenotype = phenotypeOf(text, task, header.number, column);
        if (const auto [at, fresh] = columnOf.emplace(phenotype, column); !fresh)
            refuse(header.number, column,
                   "фенотип " + quoted(task.phenotypeNames[phenotype].trimmed()) +
                       " уже указан в столбце " + std::to_string(at->second) + " (" +
                       columnLetters(at->second) + ")");
        phenotypes[c] = phenotype;
    }
    return phenotypes;
}

ImportedPopulation populationOf(const CellRow& row, const std::vector<int>& phenotypes,
                                const CountTableContext& context, int headerRow)
{
    ImportedPopulation population;
    population.row = row.number;
    population.population = encoded(cellAt(row, 0), row.number, 1);
    if (population.population.empty()) refuse(row.number, 1, "нет названия популяции");
    population.taskName = population.population + Cp1251Text::fromBytes(" (") + context.system +
                          Cp1251Text::fromBytes(")");
    if (population.taskName.size() > context.nameWidth)
        refuse(row.number, 1,
               "название задачи " + quoted(population.taskName) + " длиннее " +
                   std::to_string(context.nameWidth) + " знаков");
    for (std::size_t c = 1; c < row.cells.size(); ++c) {
        const int column = static_cast<int>(c) + 1;
        const std::string value = trimBlanks(row.cells[c]);
        if (value.empty()) continue;
        const int phenotype = c < phenotypes.size() ? phenotypes[c] : 0;
        if (phenotype == 0)
            refuse(row.number, column,
                   "значение «" + value + "» стоит в столбце без фенотипа в строке " +
                       std::to_string(headerRow));
        const std::optional<std::int64_t> count = readCount(value);
        if (!count || !isValidCount(*count))
            refuse(row.number, column,
                   invalidCountText(context.task.phenotypeNames[phenotype], value));
        population.counts.push_back({phenotype, static_cast<std::int32_t>(*count)});
    }
    if (population.counts.empty())
        refuse(row.number, 2, "у популяции " + quoted(population.population) + " нет численностей");
    std::sort(population.counts.begin(), population.counts.end(),
              [](const PhenotypeCount& a, const PhenotypeCount& b) { return a.number < b.number; });
    return population;
}

} // namespace

CountTableCheck checkCountTable(const CellTable& table, const CountTableContext& context)
{
    CountTableCheck check;
    try {
        if (context.system.empty()) refuse(0, 0, "не указано название системы");
        if (const auto problem = labelProblem(context.system, "название системы"))
            refuse(0, 0, *problem);
        if (table.rows.empty()) refuse(0, 0, "в таблице нет ни одной заполненной строки");
        const CellRow& header = table.rows.front();
        const std::vector<int> phenotypes = headerPhenotypes(header, context.task);
        if (table.rows.size() == 1)
            refuse(header.number + 1, 1, "под строкой фенотипов нет ни одной популяции");
        std::map<Cp1251Text, int> rowOf; // task name key → its row
        for (std::size_t r = 1; r < table.rows.size(); ++r) {
            ImportedPopulation population =
                populationOf(table.rows[r], phenotypes, context, header.number);
            const Cp1251Text key = taskNameKey(population.taskName);
            if (const auto [at, fresh] = rowOf.emplace(key, population.row); !fresh)
                refuse(population.row, 1,
                       "популяция " + quoted(population.population) + " уже есть в строке " +
                           std::to_string(at->second));
            if (context.archivedNames.contains(key))
                refuse(population.row, 1,
                       "задача " + quoted(population.taskName) + " уже есть в архиве");
            check.populations.push_back(std::move(population));
        }
    } catch (const Problem& problem) {
        check.problem = problem.problem;
        check.populations.clear();
    }
    return check;
}
