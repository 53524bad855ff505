#include "compare/population_comparison.h"

#include "estimate/fit_criteria.h"
#include "estimate/frequency_refinement.h"
#include "estimate/frequency_search.h"
#include "platform/cp1251.h"
#include "task/count_entry.h"

#include <cmath>

namespace {

std::string quoted(const std::string& name)
{
    return "«" + name + "»";
}

bool sameAlleles(const TaskState& a, const TaskState& b)
{
    if (a.alleleCount != b.alleleCount) return false;
    for (int i = 1; i <= a.alleleCount; ++i)
        if (a.alleleNames[i] != b.alleleNames[i]) return false;
    return true;
}

std::int64_t totalOf(const std::vector<std::int64_t>& counts)
{
    std::int64_t total = 0;
    for (const std::int64_t count : counts)
        total += count;
    return total;
}

std::vector<long double> currentFrequencies(const TaskState& task)
{
    return listEntries(task.alleleFrequency, task.alleleCount);
}

void setFrequencies(TaskState& task, const std::vector<long double>& p)
{
    for (int i = 1; i <= task.alleleCount; ++i)
        task.alleleFrequency[i] = p[static_cast<std::size_t>(i - 1)];
}

// Lays the counts into the task's observed frequencies and total.
void observe(TaskState& task, const std::vector<std::int64_t>& counts, std::int64_t total)
{
    for (int r = 1; r <= task.phenotypeCount; ++r)
        task.observedPhenotypeFrequency[r] =
            static_cast<long double>(counts[static_cast<std::size_t>(r - 1)]) /
            static_cast<long double>(total);
    task.tripleTotal = 3 * total;
}

// Refines the estimate from start and keeps the result when it is better.
void improveFrom(TaskState& task, const std::vector<std::int64_t>& counts,
                 const std::vector<long double>& start, PopulationEstimate& estimate)
{
    setFrequencies(task, start);
    observe(task, counts, estimate.total);
    refineAlleleFrequencies(task, FitCriterion::maximumLikelihood);
    const std::vector<long double> refined = currentFrequencies(task);
    const long double value = sampleLogLikelihood(task, counts, refined);
    if (value <= estimate.logLikelihood) return;
    estimate.frequencies = refined;
    estimate.logLikelihood = value;
    estimate.errors = maximumLikelihoodErrors(task, refined, estimate.total);
}

// The maximum-likelihood estimate of the counts as the calculation finds it.
PopulationEstimate searchEstimate(TaskState& task, const std::vector<std::int64_t>& counts)
{
    PopulationEstimate result;
    result.total = totalOf(counts);
    observe(task, counts, result.total);
    estimateAlleleFrequencies(task, FitCriterion::maximumLikelihood);
    result.frequencies = currentFrequencies(task);
    result.logLikelihood = sampleLogLikelihood(task, counts, result.frequencies);
    result.errors = maximumLikelihoodErrors(task, result.frequencies, result.total);
    return result;
}

} // namespace

std::optional<PopulationSample>
sampleOfLoadedTask(std::string name, std::unique_ptr<TaskState> task, const CountedTask& loaded)
{
    PopulationSample sample;
    sample.name = std::move(name);
    sample.mode = loaded.mode;
    for (const Cp1251Text& text : loaded.countTexts) {
        std::int64_t count = 0;
        try {
            count = countValue(text);
        } catch (const std::invalid_argument&) {
            return std::nullopt;
        }
        if (count < 0) return std::nullopt;
        sample.counts.push_back(count);
    }
    sample.task = std::move(task);
    return sample;
}

std::optional<std::string> comparisonMismatch(const std::vector<PopulationSample>& samples)
{
    if (samples.size() < 2) return "Для сравнения нужно не меньше двух задач.";
    const PopulationSample& first = samples.front();
    for (const PopulationSample& sample : samples) {
        if (totalOf(sample.counts) <= 0)
            return "В задаче " + quoted(sample.name) + " нет численностей фенотипов.";
        if (!sameAlleles(*sample.task, *first.task))
            return "Список аллелей задачи " + quoted(sample.name) +
                   " не совпадает со списком задачи " + quoted(first.name) + ".";
        if (sample.mode != first.mode)
            return "Тип наследования задачи " + quoted(sample.name) +
                   " не совпадает с типом задачи " + quoted(first.name) + ".";
    }
    return std::nullopt;
}

long double sampleLogLikelihood(TaskState& task, const std::vector<std::int64_t>& counts,
                                const std::vector<long double>& p)
{
    setFrequencies(task, p);
    computeExpectedFrequencies(task);
    long double value = 0;
    for (int r = 1; r <= task.phenotypeCount; ++r) {
        const std::int64_t count = counts[static_cast<std::size_t>(r - 1)];
        if (count > 0)
            value += static_cast<long double>(count) *
                     std::log(std::max(task.expectedPhenotypeFrequency[r], probabilityFloor));
    }
    return value;
}

PopulationComparison comparePopulations(const std::vector<PopulationSample>& samples,
                                        const ComparisonSettings& settings)
{
    PopulationComparison comparison;
    const int steps = static_cast<int>(samples.size()) + 1;
    const auto stopped = [&](int done) {
        if (settings.progress) settings.progress(done, steps);
        return settings.cancel && settings.cancel->load();
    };
    const auto owner = std::make_unique<TaskState>(*samples.front().task);
    TaskState& work = *owner;

    std::vector<std::int64_t> pooledCounts(samples.front().counts.size(), 0);
    std::vector<long double> weightedMean(static_cast<std::size_t>(work.alleleCount), 0);
    for (const PopulationSample& sample : samples) {
        for (std::size_t r = 0; r < pooledCounts.size(); ++r)
            pooledCounts[r] += sample.counts[r];
        comparison.populations.push_back(searchEstimate(work, sample.counts));
        if (stopped(static_cast<int>(comparison.populations.size()))) return {true, {}, {}, {}};
    }
    const long double pooledTotal = static_cast<long double>(totalOf(pooledCounts));
    for (const PopulationEstimate& population : comparison.populations)
        for (std::size_t i = 0; i < weightedMean.size(); ++i)
            weightedMean[i] += population.frequencies[i] *
                               static_cast<long double>(population.total) / pooledTotal;
    comparison.pooled = searchEstimate(work, pooledCounts);
    improveFrom(work, pooledCounts, weightedMean, comparison.pooled);

    long double g = 0;
    for (std::size_t s = 0; s < samples.size(); ++s) {
        PopulationEstimate& population = comparison.populations[s];
        improveFrom(work, samples[s].counts, comparison.pooled.frequencies, population);
        g += 2 * (population.logLikelihood -
                  sampleLogLikelihood(work, samples[s].counts, comparison.pooled.frequencies));
    }
    if (stopped(steps)) return {true, {}, {}, {}};
    const int df = (static_cast<int>(samples.size()) - 1) * (work.alleleCount - 1);
    comparison.homogeneity.statistic = static_cast<double>(std::max(g, 0.0L));
    if (df > 0) {
        comparison.homogeneity.degreesOfFreedom = df;
        comparison.homogeneity.probability =
            chiSquareUpperTail(comparison.homogeneity.statistic, df);
    }
    return comparison;
}
