// Speed of the identification and parentage figures of a 50-allele task in codominance
// (1275 phenotypes) and in a dominance series (50 phenotypes, 1275 genotypes): the system's
// mother–child pairs, the match probability, both exclusions, the PIC and the gene
// diversity with its covariance, at the maximum-likelihood frequencies (target < 1 s each);
// and, for information, the bootstrap intervals with B = 1000.
#include "bench/estimate/bench_tasks.h"
#include "compare/population_bootstrap.h"
#include "compare/system_figures.h"

#include <chrono>
#include <cstdio>
#include <memory>
#include <numeric>

namespace {

double seconds(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

bool bench(const BenchTask& bench)
{
    const auto task = std::make_unique<TaskState>();
    loadTask(bench, *task);
    const std::int64_t total =
        std::accumulate(bench.counts.begin(), bench.counts.end(), std::int64_t{0});
    const auto work = std::make_unique<TaskState>(*task);
    const Frequencies estimate = refitFrequencies(
        *work, bench.counts,
        Frequencies(static_cast<std::size_t>(task->alleleCount), 1.0L / task->alleleCount));

    auto start = std::chrono::steady_clock::now();
    const SystemFigures figures = systemFigures(*task, estimate, total);
    const double figuresTime = seconds(start);
    std::printf("%s: PD %.6f, trio %.6f, duo %.6f, H %.4f (SE %.4f): %.3f s (target < 1 s)\n",
                bench.title.c_str(), figures.forensic.discriminationPower,
                figures.forensic.exclusionTrio, figures.forensic.exclusionDuo,
                figures.diversity.heterozygosity, figures.diversity.standardError.value_or(-1),
                figuresTime);

    ReplicateSettings settings;
    settings.replicates = 1000;
    settings.seed = 1;
    start = std::chrono::steady_clock::now();
    const ForensicIntervals intervals = forensicIntervals(*task, bench.counts, estimate, settings);
    std::printf("  bootstrap intervals, B = 1000: trio %.6f to %.6f, %.2f s\n",
                intervals.exclusionTrio->first, intervals.exclusionTrio->second, seconds(start));
    return figuresTime < 1;
}

} // namespace

int main()
{
    const bool codominance = bench(drawnCodominantTask(50, false, 20000));
    const bool dominance = bench(drawnDominanceTask(50, 20000));
    const bool met = codominance && dominance;
    std::printf("%s\n", met ? "PASS" : "FAIL");
    return met ? 0 : 1;
}
