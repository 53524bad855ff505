#include "cli/calc_output.h"

#include "platform/cp1251.h"

#include <nlohmann/json.hpp>

#include <array>
#include <charconv>

namespace {

void appendTable(std::string& text, const ShownTable& table)
{
    for (const auto& row : table) {
        for (std::size_t col = 0; col < row.size(); ++col)
            text += (col ? "\t" : "") + cp1251ToUtf8(row[col]);
        text += "\n";
    }
}

// The report's layout: an object's members one a line, indented two spaces a level; an array on
// one line, its items parted by ", "; a fractional number in the fewest digits that read back to
// the same long double. nlohmann's dump places every array item on a line of its own and prints a
// long double through printf's %g with a trailing ".0", so only strings and integers are left to
// it.
void writeJson(std::string& text, const ReportJson& value, int depth)
{
    if (value.is_object()) {
        const std::string indent(2 * static_cast<std::size_t>(depth), ' ');
        text += "{";
        const char* separator = "\n";
        for (const auto& [key, member] : value.items()) {
            text += separator + indent + "  " + ReportJson(key).dump() + ": ";
            writeJson(text, member, depth + 1);
            separator = ",\n";
        }
        text += "\n" + indent + "}";
    } else if (value.is_array()) {
        text += "[";
        for (std::size_t i = 0; i < value.size(); ++i) {
            if (i) text += ", ";
            writeJson(text, value[i], depth);
        }
        text += "]";
    } else if (value.is_number_float()) {
        std::array<char, 64> buffer{};
        const auto result =
            std::to_chars(buffer.data(), buffer.data() + buffer.size(), value.get<long double>());
        text.append(buffer.data(), result.ptr);
    } else {
        text += value.dump();
    }
}

} // namespace

std::string reportText(const ReportTables& tables)
{
    std::string text;
    const std::pair<const char*, const ShownTable*> grids[] = {
        {"[alleles]", &tables.alleles},
        {"[genotypes]", &tables.genotypes},
        {"[tests]", &tables.tests},
        {"[phenotypes]", &tables.phenotypes}};
    for (const auto& [heading, table] : grids) {
        text += std::string(heading) + "\n";
        appendTable(text, *table);
        text += "\n";
    }
    text += "[fit]\n";
    for (const Cp1251Text& label : tables.fitLabels)
        text += cp1251ToUtf8(label) + "\n";
    text += "\n[control]\n";
    appendTable(text, tables.chosenAlleles);
    appendTable(text, tables.phenotypeList);
    text += cp1251ToUtf8(tables.chosenSummary) + "\n\n";
    return text;
}

ReportJson reportDocument(const TaskState& task, const CalculationResult& result)
{
    std::vector<std::string> alleles;
    for (int i = 1; i <= task.alleleCount; ++i)
        alleles.push_back(cp1251ToUtf8(task.alleleNames[i].trimmed()));
    std::vector<std::string> phenotypes;
    for (int r = 1; r <= task.phenotypeCount; ++r)
        phenotypes.push_back(cp1251ToUtf8(task.phenotypeNames[r].trimmed()));
    ReportJson criteria;
    const char* const keys[] = {"ML", "LS", "NLS"};
    for (std::size_t k = 0; k < 3; ++k) {
        const CriterionEstimate& estimate = result.estimates[k];
        criteria[keys[k]] = {{"alleleFrequencies", estimate.alleleFrequencies},
                             {"expectedPhenotypeFrequencies", estimate.expectedFrequencies},
                             {"criterionValue", estimate.criterionValue},
                             {"chiSquare", estimate.fit.chiSquare},
                             {"degreesOfFreedom", estimate.fit.degreesOfFreedom},
                             {"probability", estimate.fit.probability}};
    }
    return {{"total", result.total},
            {"alleles", alleles},
            {"phenotypes", phenotypes},
            {"criteria", criteria}};
}

std::string reportJsonText(const ReportJson& report)
{
    std::string text;
    writeJson(text, report, 0);
    return text + "\n";
}

std::string reportJson(const TaskState& task, const CalculationResult& result)
{
    return reportJsonText(reportDocument(task, result));
}
