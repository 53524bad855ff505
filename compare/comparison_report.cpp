#include "compare/comparison_report.h"

#include "estimate/number_text.h"
#include "estimate/statistics_texts.h"

#include <cmath>

namespace {

const char* const pooledName = "Объединенная выборка";

std::string fiveDecimals(double x)
{
    return std::isfinite(x) ? formatFixed(x, 0, 5) : "∞";
}

std::string errorText(const AlleleError& error)
{
    return error.gap == ErrorGap::none ? fiveDecimals(error.standardError) : notDefinedText;
}

void addEstimateColumns(TextTable& table, const std::string& name,
                        const PopulationEstimate& estimate)
{
    table[0].push_back(name);
    table[0].push_back("СО " + name);
    for (std::size_t i = 0; i < estimate.frequencies.size(); ++i) {
        table[i + 1].push_back(fiveDecimals(static_cast<double>(estimate.frequencies[i])));
        table[i + 1].push_back(errorText(estimate.errors[i]));
    }
    table.back().push_back(integerText(estimate.total));
    table.back().push_back("");
}

TextTable matrixTable(const std::vector<std::string>& names, const DistanceMatrix& matrix)
{
    TextTable table{{""}};
    table[0].insert(table[0].end(), names.begin(), names.end());
    for (std::size_t a = 0; a < names.size(); ++a) {
        table.push_back({names[a]});
        for (const double distance : matrix[a])
            table.back().push_back(fiveDecimals(distance));
    }
    return table;
}

} // namespace

ComparisonReport compareSamples(const std::vector<PopulationSample>& samples,
                                const ComparisonSettings& settings)
{
    ComparisonReport report;
    for (const PopulationSample& sample : samples)
        report.names.push_back(sample.name);
    const TaskState& task = *samples.front().task;
    for (int i = 1; i <= task.alleleCount; ++i)
        report.alleleNames.push_back(shownAlleleName(task, i));
    report.comparison = comparePopulations(samples, settings);
    if (report.comparison.cancelled) return report;
    std::vector<Frequencies> frequencies;
    for (const PopulationEstimate& population : report.comparison.populations)
        frequencies.push_back(population.frequencies);
    report.nei = distanceMatrix(frequencies, neiDistance);
    report.chord = distanceMatrix(frequencies, chordDistance);
    report.tree = upgmaTree(report.nei);
    report.newick = newickText(report.tree, report.names);
    return report;
}

ComparisonTables comparisonTables(const ComparisonReport& report)
{
    ComparisonTables tables;
    tables.frequencies = {{"№", "Аллели"}};
    for (std::size_t i = 0; i < report.alleleNames.size(); ++i)
        tables.frequencies.push_back({std::to_string(i + 1), report.alleleNames[i]});
    tables.frequencies.push_back({"", "Численность"});
    for (std::size_t s = 0; s < report.names.size(); ++s)
        addEstimateColumns(tables.frequencies, report.names[s], report.comparison.populations[s]);
    addEstimateColumns(tables.frequencies, pooledName, report.comparison.pooled);

    const ChiSquareTest& g = report.comparison.homogeneity;
    tables.homogeneity = {{"Критерий однородности", "G", "Степеней свободы", "p"},
                          {"Отношение правдоподобия (МП)", formatFixed(g.statistic, 0, 3),
                           degreesText(g.degreesOfFreedom),
                           g.probability ? formatFixed(*g.probability, 0, 4) : notDefinedText}};
    tables.nei = matrixTable(report.names, report.nei);
    tables.chord = matrixTable(report.names, report.chord);
    tables.tree = {{"Дерево UPGMA по расстоянию Нея (Newick)"}, {report.newick}};
    return tables;
}
