#include "estimate/calculation_run.h"

#include "estimate/fit_criteria.h"
#include "estimate/frequency_search.h"
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

class Run
{
public:
    Run(TaskState& task, CalculationResult& result)
        : task_(task), n_(static_cast<long double>(result.total)), result_(result),
          showsTest_(static_cast<std::size_t>(task.testCount + 1))
    {
        for (int t = 1; t <= task.testCount; ++t) {
            auto& row = showsTest_[static_cast<std::size_t>(t)];
            row.resize(static_cast<std::size_t>(task.phenotypeCount + 1));
            for (int r = 1; r <= task.phenotypeCount; ++r)
                row[static_cast<std::size_t>(r)] =
                    phenotypeShowsTest(task.phenotypeNames[r], task.testNames[t]);
        }
    }

    void observed();
    void criterion(int k);

private:
    bool shows(int t, int r) const
    {
        return showsTest_[static_cast<std::size_t>(t)][static_cast<std::size_t>(r)];
    }
    void genotypes(CriterionEstimate& estimate) const;

    TaskState& task_;
    long double n_;
    CalculationResult& result_;
    std::vector<std::vector<bool>> showsTest_;
};

void Run::observed()
{
    const int p = task_.phenotypeCount;
    for (int r = 1; r <= p; ++r) {
        const auto count =
            static_cast<long double>(result_.counts[static_cast<std::size_t>(r - 1)]);
        task_.observedPhenotypeFrequency[r] = count / n_;
        result_.observedFrequencies.push_back(task_.observedPhenotypeFrequency[r]);
    }
    for (int t = 1; t <= task_.testCount; ++t) {
        std::int64_t positive = 0;
        for (int r = 1; r <= p; ++r)
            if (shows(t, r)) positive += result_.counts[static_cast<std::size_t>(r - 1)];
        result_.testCounts.push_back(positive);
    }
}

void Run::genotypes(CriterionEstimate& estimate) const
{
    const auto& freq = task_.alleleFrequency;
    for (int j = 1; j <= task_.genotypeCount; ++j) {
        const int a = task_.genotypeFirstAllele[j];
        const int b = task_.genotypeSecondAllele[j];
        long double frequency = freq[a] * freq[b];
        if (a != b) {
            frequency *= 2;
            estimate.heterozygotes += frequency;
        }
        estimate.genotypeFrequencies.push_back(frequency);
    }
    estimate.homozygotes = 1 - estimate.heterozygotes;
}

void Run::criterion(int k)
{
    const auto code = static_cast<FitCriterion>(k);
    CriterionEstimate& estimate = result_.estimates[static_cast<std::size_t>(k - 1)];
    estimateAlleleFrequencies(task_, code);
    estimate.criterionValue = criterionValue(task_, code); // recomputes E at the estimate
    genotypes(estimate);
    for (int i = 1; i <= task_.alleleCount; ++i)
        estimate.alleleFrequencies.push_back(task_.alleleFrequency[i]);

    const auto& expected = task_.expectedPhenotypeFrequency;
    const int p = task_.phenotypeCount;
    for (int r = 1; r <= p; ++r)
        estimate.expectedFrequencies.push_back(expected[r]);
    for (int t = 1; t <= task_.testCount; ++t) {
        long double positive = 0;
        for (int r = 1; r <= p; ++r)
            if (shows(t, r)) positive += expected[r];
        estimate.testFrequencies.push_back(positive);
    }
    estimate.fit = testGoodnessOfFit(result_.counts, estimate.expectedFrequencies, result_.total);
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
    result.chosen = chosen;

    Run run(task, result);
    run.observed();
    for (int k = 1; k <= 3; ++k)
        run.criterion(k);
    result.doneMessage = "Расчет выполнен.";
    return result;
}
