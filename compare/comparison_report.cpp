#include "compare/comparison_report.h"

#include "estimate/number_text.h"
#include "estimate/statistics_texts.h"

#include <cmath>
#include <utility>

namespace {

const char* const pooledName = "Объединенная выборка";

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

std::string optionalText(const std::optional<double>& value)
{
    return value ? fiveDecimals(*value) : notDefinedText;
}

std::string probabilityText(const std::optional<double>& p)
{
    return p ? formatFixed(*p, 0, 4) : notDefinedText;
}

TextTable diversityTable(const ComparisonReport& report)
{
    TextTable table{{"Задача", "H", "Несмещенная H", "СО H", "Эффективное число аллелей"}};
    for (std::size_t s = 0; s < report.names.size(); ++s) {
        const GeneDiversity& d = report.structure.diversity[s];
        table.push_back({report.names[s], fiveDecimals(d.heterozygosity),
                         optionalText(d.unbiasedHeterozygosity), optionalText(d.standardError),
                         fiveDecimals(d.effectiveAlleles)});
    }
    return table;
}

TextTable differentiationTable(const PopulationStructure& structure)
{
    TextTable table{{"Дифференциация", "Значение", "Нижняя граница 95%", "Верхняя граница 95%"}};
    const auto add = [&](const char* name, const std::optional<double>& value,
                         const std::optional<Interval>* interval) {
        table.push_back({name, optionalText(value), "", ""});
        if (!interval) return;
        table.back()[2] = *interval ? fiveDecimals((*interval)->first) : notDefinedText;
        table.back()[3] = *interval ? fiveDecimals((*interval)->second) : notDefinedText;
    };
    const Differentiation& d = structure.differentiation;
    const std::optional<DifferentiationIntervals>& in = structure.intervals;
    add("Gst Нея", d.gst, in ? &in->gst : nullptr);
    add("G'st Хедрика", d.gstPrime, in ? &in->gstPrime : nullptr);
    add("D Джоста", d.jostD, in ? &in->jostD : nullptr);
    return table;
}

TextTable pairwiseTable(const ComparisonReport& report)
{
    TextTable table{{"Задача", "Задача", "G", "p", "p с поправкой Холма"}};
    const PairwiseTests& tests = report.structure.tests;
    for (std::size_t a = 0; a < report.names.size(); ++a)
        for (std::size_t b = a + 1; b < report.names.size(); ++b)
            table.push_back(
                {report.names[a], report.names[b],
                 tests.statistic[a][b] ? formatFixed(*tests.statistic[a][b], 0, 3) : notDefinedText,
                 probabilityText(tests.probability[a][b]),
                 probabilityText(tests.holmAdjusted[a][b])});
    return table;
}

} // namespace

std::string fiveDecimals(double x)
{
    return std::isfinite(x) ? formatFixed(x, 0, 5) : "∞";
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

std::string treeDistanceCaption(TreeDistance distance)
{
    switch (distance) {
    case TreeDistance::chord:
        return "по хордовому расстоянию";
    case TreeDistance::reynolds:
        return "по расстоянию Рейнольдса";
    case TreeDistance::nei:
        break;
    }
    return "по расстоянию Нея";
}

void setStructure(ComparisonReport& report, PopulationStructure structure)
{
    report.structure = std::move(structure);
    const PopulationStructure& s = report.structure;
    report.tree = upgmaTree(s.treeDistances);
    report.newick = newickText(s.upgma.tree, report.names, s.upgma.support);
    report.neighborJoiningNewick =
        s.neighborJoining
            ? newickText(s.neighborJoining->tree, report.names, s.neighborJoining->support)
            : std::string();
}

ComparisonReport compareSamples(const std::vector<PopulationSample>& samples,
                                const ComparisonSettings& settings,
                                const StructureSettings& structure)
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
    PopulationStructure found = populationStructure(samples, report.comparison, structure);
    if (found.cancelled) {
        report.comparison.cancelled = true;
        return report;
    }
    setStructure(report, std::move(found));
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
    const std::string caption = treeDistanceCaption(report.structure.distance);
    tables.tree = {{"Дерево UPGMA " + caption + " (Newick)"}, {report.newick}};
    tables.diversity = diversityTable(report);
    tables.differentiation = differentiationTable(report.structure);
    tables.reynolds = matrixTable(report.names, report.structure.reynolds);
    tables.pairwiseTests = pairwiseTable(report);
    tables.neighborJoiningTree = {{"Дерево ближайших соседей " + caption + " (Newick)"},
                                  {report.neighborJoiningNewick.empty()
                                       ? std::string(notDefinedText)
                                       : report.neighborJoiningNewick}};
    return tables;
}
