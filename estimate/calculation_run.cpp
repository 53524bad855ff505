#include "estimate/calculation_run.h"

#include "estimate/fit_criteria.h"
#include "estimate/frequency_search.h"
#include "estimate/number_text.h"
#include "platform/cp1251.h"
#include "task/count_entry.h"

#include <charconv>
#include <optional>

namespace {

// A count whose magnitude reaches countLimit is refused, the negative ones too.
std::optional<std::int64_t> runCount(const Cp1251Text& text)
{
    const std::optional<std::int64_t> count = text.empty() ? 0 : readCount(text.bytes());
    if (count && (*count <= -countLimit || *count >= countLimit)) return std::nullopt;
    return count;
}

std::string quotedName(const Cp1251Text& name)
{
    return "«" + cp1251ToUtf8(name.trimmed()) + "»";
}

Cp1251Text spaced(const Cp1251Text& text)
{
    const Cp1251Text space = Cp1251Text::fromBytes(" ");
    return space + text + space;
}

// Whether the phenotype shows the test: a whole-word match in its list of tests.
bool phenotypeShowsTest(const Cp1251Text& phenotypeName, const Cp1251Text& testName)
{
    return spaced(phenotypeName.trimmed()).contains(spaced(testName.trimmed()));
}

// A shown number: digits, signs and points, the same bytes in every code page.
Cp1251Text numberCell(std::string text)
{
    return Cp1251Text::fromBytes(std::move(text));
}

Cp1251Text fitSummaryText(const FitTest& fit)
{
    return toCp1251("Хи^2 =" + formatFixed(fit.chiSquare, 7, 3) + " Степеней свободы =" +
                    integerText(fit.degreesOfFreedom) + " p=" + formatFixed(fit.probability, 5, 3));
}

const std::array<const char*, 3> labelPrefixes = {"МП     ", "МНК    ", "МННК   "};

class Run
{
public:
    Run(TaskState& task, std::int64_t total, FitCriterion chosen, CalculationResult& result)
        : task_(task), n_(static_cast<long double>(total)), total_(total), chosen_(chosen),
          result_(result), showsTest_(static_cast<std::size_t>(task.testCount + 1))
    {
        for (int t = 1; t <= task.testCount; ++t) {
            auto& row = showsTest_[static_cast<std::size_t>(t)];
            row.resize(static_cast<std::size_t>(task.phenotypeCount + 1));
            for (int r = 1; r <= task.phenotypeCount; ++r)
                row[static_cast<std::size_t>(r)] =
                    phenotypeShowsTest(task.phenotypeNames[r], task.testNames[t]);
        }
    }

    void observed(const std::vector<Cp1251Text>& countTexts,
                  const std::vector<std::int64_t>& counts);
    void criterion(int k);

private:
    // Writes a text and returns the value it shows, for the sums of shown values.
    double put(GridTexts& grid, int col, int row, std::string text)
    {
        const double shown = shownValue(text);
        grid.push_back({col, row, numberCell(std::move(text))});
        return shown;
    }
    bool shows(int t, int r) const
    {
        return showsTest_[static_cast<std::size_t>(t)][static_cast<std::size_t>(r)];
    }

    TaskState& task_;
    long double n_;
    std::int64_t total_;
    FitCriterion chosen_;
    CalculationResult& result_;
    std::vector<std::vector<bool>> showsTest_;
};

void Run::observed(const std::vector<Cp1251Text>& countTexts,
                   const std::vector<std::int64_t>& counts)
{
    const int p = task_.phenotypeCount;
    std::int64_t countSum = 0;
    double frequencySum = 0;
    for (int r = 1; r <= p; ++r) {
        Cp1251Text text = countTexts[static_cast<std::size_t>(r - 1)].trimmed();
        if (text.empty()) {
            text = numberCell("0");
            result_.controlPhenotypes.push_back({countColumn, r, text});
        }
        const std::int64_t count = counts[static_cast<std::size_t>(r - 1)];
        result_.phenotypeReport.push_back({2, r, text});
        countSum += count;
        task_.observedPhenotypeFrequency[r] = static_cast<long double>(count) / n_;
        frequencySum += put(result_.phenotypeReport, 6, r,
                            formatFixed(task_.observedPhenotypeFrequency[r], 6, 4));
    }
    result_.phenotypeReport.push_back({2, p + 1, numberCell(integerText(countSum))});
    result_.phenotypeReport.push_back({6, p + 1, numberCell(formatFixed(frequencySum, 6, 4))});

    for (int t = 1; t <= task_.testCount; ++t) {
        std::int64_t positive = 0;
        for (int r = 1; r <= p; ++r)
            if (shows(t, r)) positive += counts[static_cast<std::size_t>(r - 1)];
        result_.testReport.push_back({2, t, numberCell(integerText(positive))});
        result_.testReport.push_back(
            {6, t, numberCell(formatFixed(static_cast<long double>(positive) / n_, 5, 3))});
    }
}

void Run::criterion(int k)
{
    const auto code = static_cast<FitCriterion>(k);
    const bool chosen = code == chosen_;
    CriterionEstimate& estimate = result_.estimates[static_cast<std::size_t>(k - 1)];
    estimateAlleleFrequencies(task_, code);
    estimate.criterionValue = criterionValue(task_, code); // recomputes E at the estimate
    const auto& freq = task_.alleleFrequency;
    const auto& expected = task_.expectedPhenotypeFrequency;

    const int g = task_.genotypeCount;
    long double heterozygotes = 0;
    double genotypeSum = 0;
    for (int j = 1; j <= g; ++j) {
        const int a = task_.genotypeFirstAllele[j];
        const int b = task_.genotypeSecondAllele[j];
        long double frequency = freq[a] * freq[b];
        if (a != b) {
            frequency *= 2;
            heterozygotes += frequency;
        }
        genotypeSum += put(result_.genotypeReport, k + 1, j, formatFixed(frequency, 5, 4));
    }
    result_.genotypeReport.push_back({k + 1, g + 1, numberCell(formatFixed(genotypeSum, 5, 3))});
    result_.genotypeReport.push_back(
        {k + 1, g + 2, numberCell(formatFixed(1 - heterozygotes, 5, 3))});
    result_.genotypeReport.push_back({k + 1, g + 3, numberCell(formatFixed(heterozygotes, 5, 3))});

    const int n = task_.alleleCount;
    double alleleSum = 0;
    for (int i = 1; i <= n; ++i) {
        estimate.alleleFrequencies.push_back(freq[i]);
        if (chosen)
            result_.controlAlleles.push_back({2, i, numberCell(formatFixed(freq[i], 5, 3))});
        alleleSum += put(result_.alleleReport, k + 1, i, formatFixed(freq[i], 5, 3));
    }
    result_.alleleReport.push_back({k + 1, n + 1, numberCell(generalText(alleleSum))});

    const int p = task_.phenotypeCount;
    double countSum = 0;
    double frequencySum = 0;
    for (int r = 1; r <= p; ++r) {
        estimate.expectedFrequencies.push_back(expected[r]);
        if (chosen)
            result_.controlPhenotypes.push_back(
                {3, r, numberCell(formatFixed(n_ * expected[r], 9, 2))});
        countSum += put(result_.phenotypeReport, k + 2, r, formatFixed(n_ * expected[r], 7, 2));
        frequencySum += put(result_.phenotypeReport, k + 6, r, formatFixed(expected[r], 5, 4));
    }
    result_.phenotypeReport.push_back({k + 2, p + 1, numberCell(formatFixed(countSum, 7, 2))});
    result_.phenotypeReport.push_back({k + 6, p + 1, numberCell(formatFixed(frequencySum, 5, 4))});

    for (int t = 1; t <= task_.testCount; ++t) {
        long double positive = 0;
        for (int r = 1; r <= p; ++r)
            if (shows(t, r)) positive += expected[r];
        result_.testReport.push_back({k + 2, t, numberCell(formatFixed(n_ * positive, 10, 2))});
        result_.testReport.push_back({k + 6, t, numberCell(formatFixed(positive, 5, 3))});
    }

    estimate.fit = testGoodnessOfFit(result_.counts, estimate.expectedFrequencies, total_);
    estimate.fitSummary = fitSummaryText(estimate.fit);
    result_.fitLabels[static_cast<std::size_t>(k - 1)] =
        toCp1251(labelPrefixes[static_cast<std::size_t>(k - 1)]) + estimate.fitSummary;
    if (chosen) result_.summary = estimate.fitSummary;
}

} // namespace

std::string noCountsMessage()
{
    return "Введите фактическое поголовье фенотипов!";
}

CalculationResult runCalculation(TaskState& task, const std::vector<Cp1251Text>& countTexts,
                                 const Cp1251Text& totalText, FitCriterion chosen)
{
    CalculationResult result;
    std::vector<std::int64_t> counts;
    for (int r = 1; r <= task.phenotypeCount; ++r) {
        const Cp1251Text text = countTexts[static_cast<std::size_t>(r - 1)].trimmed();
        const std::optional<std::int64_t> count = runCount(text);
        if (!count) {
            result.failure = "Поголовье фенотипа " + quotedName(task.phenotypeNames[r]) + " («" +
                             cp1251ToUtf8(text) + "») - не целое число меньше " +
                             std::to_string(countLimit) + ". Расчет не выполнен.";
            return result;
        }
        if (*count < 0) {
            result.failure = "Поголовье фенотипа " + quotedName(task.phenotypeNames[r]) +
                             " отрицательно (" + cp1251ToUtf8(text) + "). Расчет не выполнен.";
            return result;
        }
        counts.push_back(*count);
    }

    const std::string total = totalText.trimmed().bytes();
    std::int64_t n = 0;
    std::from_chars(total.data(), total.data() + total.size(), n);
    task.tripleTotal = 3 * n;
    if (n <= 0) {
        result.failure = noCountsMessage();
        return result;
    }
    result.total = n;
    result.counts = counts;

    Run run(task, n, chosen, result);
    run.observed(countTexts, counts);
    for (int k = 1; k <= 3; ++k)
        run.criterion(k);
    result.doneMessage = "Расчет выполнен.";
    return result;
}
