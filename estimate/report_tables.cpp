#include "estimate/report_tables.h"

#include "estimate/number_text.h"
#include "platform/cp1251.h"
#include "task/count_entry.h"
#include "task/phenotypes.h"

namespace {

// The criterion names padded to one width, so that the fit summaries after them line up.
Cp1251Text labelPrefix(std::size_t k)
{
    std::string name = toCp1251(criterionNames[k]).bytes();
    name.resize(7, ' ');
    return Cp1251Text::fromBytes(std::move(name));
}

// Writes the report's numbers into the laid-out tables.
class Writer
{
public:
    Writer(const CalculationResult& result, ReportTables& tables)
        : result_(result), tables_(tables), n_(static_cast<long double>(result.total))
    {
    }

    void observed(const std::vector<Cp1251Text>& countTexts);
    void criterion(std::size_t k);

private:
    // Writes a text and returns the value it shows, for the sums of shown values.
    static double put(ShownTable& table, std::size_t col, std::size_t row, std::string text)
    {
        const double shown = shownValue(text);
        table[row][col] = Cp1251Text::fromBytes(std::move(text));
        return shown;
    }
    void genotypes(std::size_t k, const CriterionEstimate& estimate);
    void alleles(std::size_t k, const CriterionEstimate& estimate, bool chosen);
    void phenotypes(std::size_t k, const CriterionEstimate& estimate, bool chosen);

    const CalculationResult& result_;
    ReportTables& tables_;
    long double n_;
};

void Writer::observed(const std::vector<Cp1251Text>& countTexts)
{
    const std::size_t p = result_.counts.size();
    std::int64_t countSum = 0;
    double frequencySum = 0;
    for (std::size_t r = 1; r <= p; ++r) {
        Cp1251Text text = countTexts[r - 1].trimmed();
        if (text.empty()) {
            text = Cp1251Text::fromBytes("0");
            tables_.phenotypeList[r][static_cast<std::size_t>(countColumn)] = text;
        }
        tables_.phenotypes[r][2] = text;
        countSum += result_.counts[r - 1];
        frequencySum +=
            put(tables_.phenotypes, 6, r, formatFixed(result_.observedFrequencies[r - 1], 6, 4));
    }
    put(tables_.phenotypes, 2, p + 1, integerText(countSum));
    put(tables_.phenotypes, 6, p + 1, formatFixed(frequencySum, 6, 4));

    for (std::size_t t = 1; t <= result_.testCounts.size(); ++t) {
        const std::int64_t positive = result_.testCounts[t - 1];
        put(tables_.tests, 2, t, integerText(positive));
        put(tables_.tests, 6, t, formatFixed(static_cast<long double>(positive) / n_, 5, 3));
    }
}

void Writer::genotypes(std::size_t k, const CriterionEstimate& estimate)
{
    const std::size_t g = estimate.genotypeFrequencies.size();
    double sum = 0;
    for (std::size_t j = 1; j <= g; ++j)
        sum += put(tables_.genotypes, k + 2, j,
                   formatFixed(estimate.genotypeFrequencies[j - 1], 5, 4));
    put(tables_.genotypes, k + 2, g + 1, formatFixed(sum, 5, 3));
    put(tables_.genotypes, k + 2, g + 2, formatFixed(estimate.homozygotes, 5, 3));
    put(tables_.genotypes, k + 2, g + 3, formatFixed(estimate.heterozygotes, 5, 3));
}

void Writer::alleles(std::size_t k, const CriterionEstimate& estimate, bool chosen)
{
    const std::size_t n = estimate.alleleFrequencies.size();
    double sum = 0;
    for (std::size_t i = 1; i <= n; ++i) {
        const long double frequency = estimate.alleleFrequencies[i - 1];
        if (chosen) put(tables_.chosenAlleles, 2, i, formatFixed(frequency, 5, 3));
        sum += put(tables_.alleles, k + 2, i, formatFixed(frequency, 5, 3));
    }
    put(tables_.alleles, k + 2, n + 1, generalText(sum));
}

void Writer::phenotypes(std::size_t k, const CriterionEstimate& estimate, bool chosen)
{
    const std::size_t p = estimate.expectedFrequencies.size();
    double countSum = 0;
    double frequencySum = 0;
    for (std::size_t r = 1; r <= p; ++r) {
        const long double expected = estimate.expectedFrequencies[r - 1];
        if (chosen) put(tables_.phenotypeList, 3, r, formatFixed(n_ * expected, 9, 2));
        countSum += put(tables_.phenotypes, k + 3, r, formatFixed(n_ * expected, 7, 2));
        frequencySum += put(tables_.phenotypes, k + 7, r, formatFixed(expected, 5, 4));
    }
    put(tables_.phenotypes, k + 3, p + 1, formatFixed(countSum, 7, 2));
    put(tables_.phenotypes, k + 7, p + 1, formatFixed(frequencySum, 5, 4));

    for (std::size_t t = 1; t <= estimate.testFrequencies.size(); ++t) {
        const long double positive = estimate.testFrequencies[t - 1];
        put(tables_.tests, k + 3, t, formatFixed(n_ * positive, 10, 2));
        put(tables_.tests, k + 7, t, formatFixed(positive, 5, 3));
    }
}

// Criterion k (0 for МП) fills column k + 2 of the frequency tables and columns k + 3 and
// k + 7 of the count-and-frequency tables.
void Writer::criterion(std::size_t k)
{
    const CriterionEstimate& estimate = result_.estimates[k];
    const bool chosen = static_cast<std::size_t>(result_.chosen) == k + 1;
    genotypes(k, estimate);
    alleles(k, estimate, chosen);
    phenotypes(k, estimate, chosen);
    const Cp1251Text summary = fitSummaryText(estimate.fit);
    tables_.fitLabels[k] = labelPrefix(k) + summary;
    if (chosen) tables_.chosenSummary = summary;
}

} // namespace

Cp1251Text fitSummaryText(const FitTest& fit)
{
    return toCp1251("Хи^2 =" + formatFixed(fit.chiSquare, 7, 3) + " Степеней свободы =" +
                    integerText(fit.degreesOfFreedom) + " p=" + formatFixed(fit.probability, 5, 3));
}

ReportTables laidOutTables(const TaskState& task, const std::vector<Cp1251Text>& countTexts)
{
    const std::vector<Cp1251Text> alleleNames = listEntries(task.alleleNames, task.alleleCount);
    std::vector<Cp1251Text> genotypeNames;
    for (int k = 1; k <= task.genotypeCount; ++k)
        genotypeNames.push_back(genotypeName(task, k));
    const std::vector<Cp1251Text> phenotypeNames =
        listEntries(task.phenotypeNames, task.phenotypeCount);

    ReportTables tables;
    tables.alleles = numberedRows(alleleReportLayout(), alleleNames);
    tables.genotypes = numberedRows(genotypeReportLayout(), genotypeNames);
    tables.tests = numberedRows(testReportLayout(), listEntries(task.testNames, task.testCount));
    tables.phenotypes = numberedRows(phenotypeReportLayout(), phenotypeNames);
    tables.chosenAlleles = numberedRows(chosenAlleleLayout(), alleleNames);
    tables.phenotypeList = numberedRows(phenotypeListLayout(), phenotypeNames);
    for (int r = 1; r <= task.phenotypeCount; ++r) {
        auto& row = tables.phenotypeList[static_cast<std::size_t>(r)];
        row[static_cast<std::size_t>(countColumn)] = countTexts[static_cast<std::size_t>(r - 1)];
        row[4] = genotypeClassText(task, r);
    }
    return tables;
}

ReportTables reportTables(const TaskState& task, const CalculationResult& result,
                          const std::vector<Cp1251Text>& countTexts)
{
    ReportTables tables = laidOutTables(task, countTexts);
    Writer writer(result, tables);
    writer.observed(countTexts);
    for (std::size_t k = 0; k < result.estimates.size(); ++k)
        writer.criterion(k);
    return tables;
}
