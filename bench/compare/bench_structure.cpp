// Speed of the population structure beside the comparison, on ten tasks of 50 codominant
// alleles (1275 phenotypes, 20000 to 29000 individuals each): the bootstrap with B = 1000
// (10000 maximum-likelihood refits, here by counting genes), the intervals of Gst, G'st and
// Jost's D, and the support of both trees on Nei's distance (target < 20 s with the threads
// of the machine), then the 45 pairwise tests with B = 1000. Progress is printed as the runs
// report it. For comparison, the bootstrap of ten tasks whose last allele no test detects
// (refits by Newton's method) with B = 100. Last, the size of the pairwise test under the
// null hypothesis over 4000 pairs of samples of one population.
#include "bench/estimate/bench_tasks.h"
#include "compare/differentiation.h"
#include "compare/pairwise_tests.h"
#include "compare/population_bootstrap.h"
#include "compare/population_comparison.h"
#include "compare/tree_support.h"
#include "platform/random.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <memory>
#include <random>

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Prints the progress at every tenth of the work.
std::function<void(std::int64_t, std::int64_t)> tenths(const char* what, Clock::time_point start)
{
    auto shown = std::make_shared<std::int64_t>(-1);
    return [what, start, shown](std::int64_t done, std::int64_t total) {
        const std::int64_t tenth = 10 * done / total;
        if (tenth == *shown) return;
        *shown = tenth;
        std::printf("  %s %lld of %lld, %.2f s\n", what, static_cast<long long>(done),
                    static_cast<long long>(total), secondsSince(start));
        std::fflush(stdout);
    };
}

std::string intervalText(const std::optional<double>& value, const std::optional<Interval>& in)
{
    char text[96];
    std::snprintf(text, sizeof text, "%.5f [%.5f, %.5f]", value.value_or(NAN), in ? in->first : NAN,
                  in ? in->second : NAN);
    return text;
}

// The share of 4000 pairs of samples of 200 individuals from one population of the first
// task's phenotype proportions (sparse tables of 1275 phenotypes) whose pairwise test gives
// p ≤ 0.05 (B = 199).
double nullRejection(const std::vector<std::int64_t>& proportions)
{
    std::mt19937_64 engine(7);
    std::discrete_distribution<int> phenotype(proportions.begin(), proportions.end());
    ReplicateSettings settings;
    settings.replicates = 199;
    int rejected = 0;
    const int trials = 4000;
    for (int trial = 0; trial < trials; ++trial) {
        std::vector<std::vector<std::int64_t>> counts(
            2, std::vector<std::int64_t>(proportions.size(), 0));
        for (auto& sample : counts)
            for (int i = 0; i < 200; ++i)
                ++sample[static_cast<std::size_t>(phenotype(engine))];
        settings.seed = static_cast<std::uint64_t>(trial);
        if (*pairwiseTests(counts, settings).probability[0][1] <= 0.05) ++rejected;
    }
    return static_cast<double>(rejected) / trials;
}

struct Populations
{
    std::vector<PopulationSample> samples;
    std::vector<std::vector<std::int64_t>> counts;
    std::vector<Frequencies> estimates;
};

// Ten tasks of 50 alleles and their estimates, as the comparison makes them.
Populations tenTasks(bool withNull)
{
    Populations populations;
    for (int i = 0; i < 10; ++i) {
        const BenchTask bench = drawnCodominantTask(50, withNull, 20000 + 1000 * i);
        PopulationSample sample;
        sample.name = "task " + std::to_string(i + 1);
        sample.task = std::make_unique<TaskState>();
        loadTask(bench, *sample.task);
        sample.counts = bench.counts;
        populations.counts.push_back(bench.counts);
        populations.samples.push_back(std::move(sample));
    }
    std::printf("%s … ten tasks\n", drawnCodominantTask(50, withNull, 20000).title.c_str());
    seedRandom(1);
    const auto start = Clock::now();
    const PopulationComparison comparison = comparePopulations(populations.samples);
    for (const PopulationEstimate& population : comparison.populations)
        populations.estimates.push_back(population.frequencies);
    std::printf("the eleven estimates (the comparison itself): %.2f s\n", secondsSince(start));
    return populations;
}

} // namespace

int main()
{
    const Populations tasks = tenTasks(false);
    const auto& [samples, counts, estimates] = tasks;
    auto start = Clock::now();

    start = Clock::now();
    ReplicateSettings settings;
    settings.seed = 20261208;
    settings.progress = tenths("bootstrap replicates", start);
    const BootstrapFrequencies boot =
        bootstrapFrequencies(*samples.front().task, counts, estimates, settings);
    const DifferentiationIntervals intervals = differentiationIntervals(boot.samples);
    const BootstrapTrees trees = bootstrapTrees(estimates, boot.samples, neiDistance);
    const double structureSeconds = secondsSince(start);
    const Differentiation point = differentiation(estimates);
    std::printf("Gst %s\nG'st %s\nJost's D %s\n", intervalText(point.gst, intervals.gst).c_str(),
                intervalText(point.gstPrime, intervals.gstPrime).c_str(),
                intervalText(point.jostD, intervals.jostD).c_str());
    std::vector<std::string> names;
    for (const PopulationSample& sample : samples)
        names.push_back(sample.name);
    std::printf("UPGMA %s\n", newickText(trees.upgma.tree, names, trees.upgma.support).c_str());
    if (trees.neighborJoining)
        std::printf(
            "NJ %s\n",
            newickText(trees.neighborJoining->tree, names, trees.neighborJoining->support).c_str());
    std::printf(
        "B = 1000: bootstrap, intervals and both trees' support in %.2f s (target < 20 s)\n",
        structureSeconds);

    start = Clock::now();
    settings.progress = tenths("pairwise tables", start);
    const PairwiseTests tests = pairwiseTests(counts, settings);
    std::printf("45 pairwise tests, B = 1000: %.2f s; p of tasks 1 and 2 = %.4f (Holm %.4f)\n",
                secondsSince(start), tests.probability[0][1].value_or(NAN),
                tests.holmAdjusted[0][1].value_or(NAN));

    const Populations hidden = tenTasks(true);
    start = Clock::now();
    settings.replicates = 100;
    settings.progress = tenths("bootstrap replicates", start);
    bootstrapFrequencies(*hidden.samples.front().task, hidden.counts, hidden.estimates, settings);
    std::printf("B = 100 refitted by Newton's method: %.2f s\n", secondsSince(start));

    start = Clock::now();
    const double size = nullRejection(samples.front().counts);
    std::printf("the pairwise test's size at 5%%: %.4f of 4000 null pairs (standard error "
                "0.0034), %.2f s\n",
                size, secondsSince(start));

    const bool met = !boot.cancelled && structureSeconds < 20;
    std::printf("%s\n", met ? "PASS" : "FAIL");
    return met ? 0 : 1;
}
