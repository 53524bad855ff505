#include "estimate/calculation_run.h"

#include "estimate/fit_criteria.h"
#include "estimate/frequency_search.h"
#include "estimate/number_text.h"
#include "platform/cp1251.h"

#include <charconv>
#include <optional>

namespace {

constexpr std::int64_t countLimit = 20000000;

// The value of a trimmed count text: an optional sign and decimal digits, below the
// limit in magnitude; nothing for any other text.
std::optional<std::int64_t> countValue(const std::string& text)
{
    std::size_t start = 0;
    bool negative = false;
    if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
        negative = text[0] == '-';
        start = 1;
    }
    if (start == text.size() || text[start] == '+' || text[start] == '-') return std::nullopt;
    std::int64_t value = 0;
    const char* end = text.data() + text.size();
    const auto parsed = std::from_chars(text.data() + start, end, value);
    if (parsed.ec != std::errc() || parsed.ptr != end || value >= countLimit) return std::nullopt;
    return negative ? -value : value;
}

std::string quotedName(const std::string& cp1251Name)
{
    return "«" + cp1251ToUtf8(trimCp1251(cp1251Name)) + "»";
}

// " " + text + " ", built by appending: GCC 12 warns falsely (-Wrestrict) about a text
// literal followed by a temporary string.
std::string spaced(const std::string& text)
{
    std::string s(1, ' ');
    s += text;
    s += ' ';
    return s;
}

// Whether the phenotype shows the test: a whole-word match in its list of tests.
bool phenotypeShowsTest(const std::string& phenotypeName, const std::string& testName)
{
    return spaced(trimCp1251(phenotypeName)).find(spaced(trimCp1251(testName))) !=
           std::string::npos;
}

std::string fitSummaryText(const FitTest& fit)
{
    return "Хи^2 =" + formatFixed(fit.chiSquare, 7, 3) +
           " Степеней свободы =" + integerText(fit.degreesOfFreedom) +
           " p=" + formatFixed(fit.probability, 5, 3);
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

    void observed(const std::vector<std::string>& countTexts,
                  const std::vector<std::int64_t>& counts);
    void criterion(int k);

private:
    // Writes a text and returns the value it shows, for the sums of shown values.
    double put(GridTexts& grid, int col, int row, std::string text)
    {
        const double shown = shownValue(text);
        grid.push_back({col, row, std::move(text)});
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

void Run::observed(const std::vector<std::string>& countTexts,
                   const std::vector<std::int64_t>& counts)
{
    const int p = task_.phenotypeCount;
    std::int64_t countSum = 0;
    double frequencySum = 0;
    for (int r = 1; r <= p; ++r) {
        std::string text = trimCp1251(countTexts[static_cast<std::size_t>(r - 1)]);
        if (text.empty()) {
            text.assign(1, '0');
            result_.controlPhenotypes.push_back({2, r, "0"});
        }
        const std::int64_t count = counts[static_cast<std::size_t>(r - 1)];
        result_.phenotypeReport.push_back({2, r, text});
        countSum += count;
        task_.observedPhenotypeFrequency[r] = static_cast<long double>(count) / n_;
        frequencySum += put(result_.phenotypeReport, 6, r,
                            formatFixed(task_.observedPhenotypeFrequency[r], 6, 4));
    }
    result_.phenotypeReport.push_back({2, p + 1, integerText(countSum)});
    result_.phenotypeReport.push_back({6, p + 1, formatFixed(frequencySum, 6, 4)});

    for (int t = 1; t <= task_.testCount; ++t) {
        std::int64_t positive = 0;
        for (int r = 1; r <= p; ++r)
            if (shows(t, r)) positive += counts[static_cast<std::size_t>(r - 1)];
        result_.testReport.push_back({2, t, integerText(positive)});
        result_.testReport.push_back(
            {6, t, formatFixed(static_cast<long double>(positive) / n_, 5, 3)});
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
    result_.genotypeReport.push_back({k + 1, g + 1, formatFixed(genotypeSum, 5, 3)});
    result_.genotypeReport.push_back({k + 1, g + 2, formatFixed(1 - heterozygotes, 5, 3)});
    result_.genotypeReport.push_back({k + 1, g + 3, formatFixed(heterozygotes, 5, 3)});

    const int n = task_.alleleCount;
    double alleleSum = 0;
    for (int i = 1; i <= n; ++i) {
        estimate.alleleFrequencies.push_back(freq[i]);
        if (chosen) result_.controlAlleles.push_back({2, i, formatFixed(freq[i], 5, 3)});
        alleleSum += put(result_.alleleReport, k + 1, i, formatFixed(freq[i], 5, 3));
    }
    result_.alleleReport.push_back({k + 1, n + 1, generalText(alleleSum)});

    const int p = task_.phenotypeCount;
    double countSum = 0;
    double frequencySum = 0;
    for (int r = 1; r <= p; ++r) {
        estimate.expectedFrequencies.push_back(expected[r]);
        if (chosen)
            result_.controlPhenotypes.push_back({3, r, formatFixed(n_ * expected[r], 9, 2)});
        countSum += put(result_.phenotypeReport, k + 2, r, formatFixed(n_ * expected[r], 7, 2));
        frequencySum += put(result_.phenotypeReport, k + 6, r, formatFixed(expected[r], 5, 4));
    }
    result_.phenotypeReport.push_back({k + 2, p + 1, formatFixed(countSum, 7, 2)});
    result_.phenotypeReport.push_back({k + 6, p + 1, formatFixed(frequencySum, 5, 4)});

    for (int t = 1; t <= task_.testCount; ++t) {
        long double positive = 0;
        for (int r = 1; r <= p; ++r)
            if (shows(t, r)) positive += expected[r];
        result_.testReport.push_back({k + 2, t, formatFixed(n_ * positive, 10, 2)});
        result_.testReport.push_back({k + 6, t, formatFixed(positive, 5, 3)});
    }

    const auto observedBegin = task_.observedPhenotypeFrequency.begin() + 1;
    const auto expectedBegin = task_.expectedPhenotypeFrequency.begin() + 1;
    estimate.fit =
        testGoodnessOfFit(std::vector<long double>(observedBegin, observedBegin + p),
                          std::vector<long double>(expectedBegin, expectedBegin + p), total_);
    estimate.fitSummary = fitSummaryText(estimate.fit);
    result_.fitLabels[static_cast<std::size_t>(k - 1)] =
        labelPrefixes[static_cast<std::size_t>(k - 1)] + estimate.fitSummary;
    if (chosen) result_.summary = estimate.fitSummary;
}

} // namespace

std::string noCountsMessage()
{
    return "Введите фактическое поголовье фенотипов!";
}

CalculationResult runCalculation(TaskState& task, const std::vector<std::string>& countTexts,
                                 const std::string& totalText, FitCriterion chosen)
{
    CalculationResult result;
    std::vector<std::int64_t> counts;
    for (int r = 1; r <= task.phenotypeCount; ++r) {
        const std::string text = trimCp1251(countTexts[static_cast<std::size_t>(r - 1)]);
        const std::optional<std::int64_t> count = text.empty() ? 0 : countValue(text);
        if (!count) {
            result.failure = "Поголовье фенотипа " + quotedName(task.phenotypeNames[r]) + " («" +
                             cp1251ToUtf8(text) +
                             "») - не целое число меньше 20000000. Расчет не выполнен.";
            return result;
        }
        if (*count < 0) {
            result.failure = "Поголовье фенотипа " + quotedName(task.phenotypeNames[r]) +
                             " отрицательно (" + text + "). Расчет не выполнен.";
            return result;
        }
        counts.push_back(*count);
    }

    const std::string total = trimCp1251(totalText);
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
