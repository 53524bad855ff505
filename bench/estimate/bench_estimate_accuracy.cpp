// Accuracy of the frequency search: for every criterion and many seeds of the random
// generator, the largest distance of the estimate from an independently found optimum,
// before (complex search alone) and after the Newton refinement.
#include "bench/estimate/bench_tasks.h"
#include "bench/estimate/reference_optimum.h"
#include "estimate/frequency_refinement.h"
#include "estimate/frequency_search.h"
#include "platform/random.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>

namespace {

constexpr long double requiredDistance = 1e-6L;
const char* const criterionNames[] = {"", "ML ", "LS ", "NLS"};

struct Case
{
    BenchTask bench;
    int seeds;
};

long double distanceFrom(const TaskState& task, const std::vector<long double>& optimum)
{
    long double distance = 0;
    for (int i = 1; i <= task.alleleCount; ++i)
        distance = std::max(distance, std::fabs(task.alleleFrequency[i] -
                                                optimum[static_cast<std::size_t>(i - 1)]));
    return distance;
}

// A result is sound when no frequency is negative and they sum to 1.
bool sound(const TaskState& task)
{
    long double sum = 0;
    for (int i = 1; i <= task.alleleCount; ++i) {
        if (task.alleleFrequency[i] < 0) return false;
        sum += task.alleleFrequency[i];
    }
    return std::fabs(sum - 1) < 1e-15L;
}

// Returns the number of failed runs.
int measure(const Case& c)
{
    static TaskState task;
    loadTask(c.bench, task);
    std::vector<long double> optimum[4];
    if (c.bench.mode == InheritanceMode::dominance) {
        for (int k = 1; k <= 3; ++k)
            optimum[k] = dominanceOptimum(task);
    } else {
        optimum[1] = geneCountingOptimum(task);
        for (int k = 2; k <= 3; ++k)
            optimum[k] = interiorNewtonOptimum(task, static_cast<FitCriterion>(k), optimum[1]);
    }
    std::printf("%s, %d seeds\n", c.bench.title.c_str(), c.seeds);
    int failures = 0;
    for (int k = 1; k <= 3; ++k) {
        const auto criterion = static_cast<FitCriterion>(k);
        long double complexWorst = 0;
        long double refinedWorst = 0;
        int complexFar = 0;
        int failed = 0;
        const std::clock_t start = std::clock();
        for (int seed = 1; seed <= c.seeds; ++seed) {
            seedRandom(static_cast<std::uint64_t>(seed));
            runComplexSearch(task, criterion);
            const long double complexDistance = distanceFrom(task, optimum[k]);
            complexWorst = std::max(complexWorst, complexDistance);
            if (complexDistance >= requiredDistance) ++complexFar;
            refineAlleleFrequencies(task, criterion);
            const long double distance = distanceFrom(task, optimum[k]);
            refinedWorst = std::max(refinedWorst, distance);
            if (!(distance < requiredDistance) || !sound(task)) ++failed;
        }
        const double milliseconds =
            1000.0 * static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
        std::printf(
            "  %s complex alone: largest distance %.3Le (%3d runs >= 1e-6); refined: "
            "largest distance %.3Le, failed runs %d; %.1f ms of processor time per search\n",
            criterionNames[k], complexWorst, complexFar, refinedWorst, failed,
            milliseconds / c.seeds);
        failures += failed;
    }
    return failures;
}

} // namespace

int main()
{
    const std::int64_t largeSample = 100000;
    const Case cases[] = {
        {aboTask(), 200},
        {mnTask(), 200},
        {drawnCodominantTask(10, true, 10000), 200},
        {drawnCodominantTask(50, false, largeSample), 20},
        {drawnDominanceTask(50, largeSample), 20},
    };
    std::printf("Distance: largest |p_i - p*_i| from the independent optimum (gene counting for "
                "ML, the closed form in dominance, interior Newton otherwise); required < 1e-6\n");
    int failures = 0;
    for (const Case& c : cases)
        failures += measure(c);
    std::printf("%s: %d failed runs\n", failures == 0 ? "PASS" : "FAIL", failures);
    return failures == 0 ? 0 : 1;
}
