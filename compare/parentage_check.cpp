#include "compare/parentage_check.h"

#include "estimate/number_text.h"
#include "estimate/statistics_texts.h"
#include "platform/cp1251.h"
#include "task/allele_check.h"
#include "task/statement_lines.h"

#include <algorithm>

namespace {

std::string indexText(const SystemVerdict& verdict)
{
    if (verdict.excluded) return "-";
    return verdict.paternityIndex ? formatFixed(*verdict.paternityIndex, 0, 4) : notDefinedText;
}

const char* yesNo(bool yes)
{
    return yes ? "да" : "нет";
}

} // namespace

std::optional<int> typedPhenotype(const TaskState& task, std::string_view utf8)
{
    std::vector<Cp1251Text> tests;
    for (const std::string& token : blankSeparated(utf8)) {
        const EncodedText encoded = encodeCp1251(token);
        if (!encoded.ok()) return std::nullopt;
        tests.push_back(encoded.text);
    }
    if (tests.empty()) return std::nullopt;
    const Cp1251Text name = nameOfTests(std::move(tests));
    const auto first = task.phenotypeNames.begin() + 1;
    const auto last = first + task.phenotypeCount;
    const auto found = std::find(first, last, name);
    if (found == last) return std::nullopt;
    return static_cast<int>(found - first);
}

std::string unknownPhenotypeMessage(const std::string& system, std::string_view phenotype)
{
    return "система «" + system + "»: фенотипа «" + std::string(phenotype) + "» нет";
}

std::string shownPhenotypeName(const TaskState& task, int phenotype)
{
    return cp1251ToUtf8(task.phenotypeNames[static_cast<std::size_t>(phenotype + 1)].trimmed());
}

std::string motherMismatchMessage(const std::string& system, const TaskState& task,
                                  const CasePhenotypes& phenotypes)
{
    return "система «" + system + "»: мать с фенотипом «" +
           shownPhenotypeName(task, phenotypes.mother.value_or(0)) +
           "» не может быть матерью ребенка с фенотипом «" +
           shownPhenotypeName(task, phenotypes.child) + "»";
}

SystemCheck checkSystem(std::string name, const TaskState& task, const std::vector<long double>& p,
                        const CasePhenotypes& phenotypes)
{
    const ParentageSystem system(task);
    return {std::move(name),
            phenotypes.mother ? shownPhenotypeName(task, *phenotypes.mother) : std::string(),
            shownPhenotypeName(task, phenotypes.child),
            shownPhenotypeName(task, phenotypes.father),
            system.figures(p),
            judgeSystem(system, p, phenotypes)};
}

TextTable systemsTable(const std::vector<SystemCheck>& systems)
{
    TextTable table{{"Система", "Мать", "Ребенок", "Отец", "Исключен", "Индекс отцовства",
                     "Исключение (трио)", "Исключение (дуэт)"}};
    for (const SystemCheck& s : systems)
        table.push_back({s.name, s.mother, s.child, s.father, yesNo(s.verdict.excluded),
                         indexText(s.verdict), formatFixed(s.figures.exclusionTrio, 0, 5),
                         formatFixed(s.figures.exclusionDuo, 0, 5)});
    return table;
}

TextTable verdictTable(const CaseVerdict& verdict)
{
    const auto shown = [&](const std::optional<double>& x, int decimals) {
        if (verdict.excluded) return std::string("-");
        return x ? formatFixed(*x, 0, decimals) : std::string(notDefinedText);
    };
    return {{"Исключен", yesNo(verdict.excluded)},
            {"Комбинированный индекс отцовства", shown(verdict.combinedIndex, 4)},
            {"Вероятность отцовства W", shown(verdict.probabilityOfPaternity, 6)}};
}
