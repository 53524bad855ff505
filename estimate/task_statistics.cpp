#include "estimate/task_statistics.h"

#include <numeric>

TaskStatistics computeStatistics(const TaskState& task, const std::vector<std::int64_t>& counts,
                                 const std::array<CriterionEstimate, 3>& estimates)
{
    TaskStatistics statistics;
    statistics.counts = counts;
    statistics.total = std::accumulate(counts.begin(), counts.end(), std::int64_t{0});
    for (std::size_t k = 0; k < 3; ++k) {
        const CriterionEstimate& estimate = estimates[k];
        CriterionStatistics& criterion = statistics.criteria[k];
        criterion.frequencies = estimate.alleleFrequencies;
        criterion.expected = estimate.expectedFrequencies;
        criterion.pooled = estimate.fit;
        criterion.textbook = textbookTest(estimate.fit, task.alleleCount);
        criterion.pearson = pearsonTest(counts, estimate.expectedFrequencies, task.alleleCount);
        criterion.likelihoodRatio =
            likelihoodRatioTest(counts, estimate.expectedFrequencies, task.alleleCount);
        criterion.residuals = pearsonResiduals(counts, estimate.expectedFrequencies);
        if (k == 0)
            criterion.standardErrors =
                maximumLikelihoodErrors(task, estimate.alleleFrequencies, statistics.total);
    }
    return statistics;
}
