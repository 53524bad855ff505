// Size of the Monte-Carlo tests on the unpooled classes: 1000 ABO data sets of N = 100
// drawn under the Hardy–Weinberg law (A 0.3, B 0.1, O 0.6), each calculated and tested with
// B = 1000 replicates. A test of level 0.05 rejects about 5% of them; the figure for the
// maximum-likelihood X² must lie in 0.05 ± 0.015 (1000 data sets give a standard error of
// 0.007). The other tests' figures are printed beside it, and the chi-square p of X² for
// comparison.
#include "bench/estimate/bench_tasks.h"
#include "estimate/calculation_run.h"
#include "estimate/replicates.h"
#include "estimate/task_statistics.h"
#include "platform/random.h"

#include <chrono>
#include <cstdio>
#include <random>

namespace {

constexpr int dataSets = 1000;
constexpr int individuals = 100;
constexpr int replicates = 1000;
constexpr double level = 0.05;

// Counts of A, A B, B and - (the phenotype order of the task) for N individuals.
std::vector<std::int64_t> drawnCounts(std::mt19937_64& generator)
{
    const double a = 0.3, b = 0.1, o = 0.6;
    std::discrete_distribution<int> phenotype(
        {a * a + 2 * a * o, 2 * a * b, b * b + 2 * b * o, o * o});
    std::vector<std::int64_t> counts(4);
    for (int i = 0; i < individuals; ++i)
        ++counts[static_cast<std::size_t>(phenotype(generator))];
    return counts;
}

} // namespace

int main()
{
    const auto start = std::chrono::steady_clock::now();
    std::mt19937_64 generator(20261208);
    BenchTask bench = aboTask();
    static TaskState task;
    // Rejections per criterion: Monte-Carlo pooled, X², G², and the chi-square p of X².
    int rejected[3][4] = {};
    int undefined = 0;
    for (int set = 0; set < dataSets; ++set) {
        bench.counts = drawnCounts(generator);
        loadTask(bench, task);
        seedRandom(static_cast<std::uint64_t>(set));
        const CalculationResult result = runCalculation(task, countTexts(bench), totalText(bench),
                                                        FitCriterion::maximumLikelihood);
        const TaskStatistics statistics = computeStatistics(task, result.counts, result.estimates);
        ReplicateSettings settings;
        settings.replicates = replicates;
        settings.seed = static_cast<std::uint64_t>(set) + 1;
        const ReplicateResult replicated = runReplicates(task, statistics, settings);
        for (std::size_t k = 0; k < 3; ++k) {
            const MonteCarloProbabilities& p = replicated.criteria[k].monteCarlo;
            const std::optional<double> chiSquare = statistics.criteria[k].pearson.probability;
            if (!p.pearson) ++undefined;
            int t = 0;
            for (const std::optional<double>& q :
                 {p.pooled, p.pearson, p.likelihoodRatio, chiSquare})
                rejected[k][t++] += q && *q < level;
        }
    }
    for (int k = 0; k < 3; ++k)
        std::printf("%-4s share with p < %.2f: Monte-Carlo pooled %.3f, X² %.3f, G² %.3f; "
                    "chi-square p of X² %.3f\n",
                    criterionNames[static_cast<std::size_t>(k)], level,
                    rejected[k][0] / double(dataSets), rejected[k][1] / double(dataSets),
                    rejected[k][2] / double(dataSets), rejected[k][3] / double(dataSets));
    const double size = rejected[0][1] / double(dataSets);
    const bool met = undefined == 0 && size >= level - 0.015 && size <= level + 0.015;
    std::printf("ABO, N = %d, %d data sets, B = %d: size of the Monte-Carlo X² (МП) %.3f "
                "(target 0.050 ± 0.015), tests without degrees of freedom %d, %.0f s\n",
                individuals, dataSets, replicates, size, undefined,
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    std::printf("%s\n", met ? "PASS" : "FAIL");
    return met ? 0 : 1;
}
