// The bootstrap and the Monte-Carlo probability: the same seed gives the same figures
// with any number of threads, cancellation leaves nothing, and the figures agree within
// sampling error with a simulation written here (alleles drawn one by one, the
// two-allele estimate in closed form) and with the Fisher standard error.
#include "estimate/calculation_run.h"
#include "estimate/replicates.h"
#include "platform/random.h"
#include "tests/estimate/sample_statistics.h"
#include "tests/estimate/sample_tasks.h"
#include "tests/support/near.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>
#include <random>

namespace {

TaskState sample; // the task under test

TaskStatistics statisticsOf(const std::vector<std::int64_t>& counts)
{
    return statisticsOf(sample, counts);
}

ReplicateResult replicate(const TaskStatistics& statistics, int b, int threads,
                          std::uint64_t seed = 7)
{
    ReplicateSettings settings;
    settings.replicates = b;
    settings.threads = threads;
    settings.seed = seed;
    return runReplicates(sample, statistics, settings);
}

// The Monte-Carlo probabilities of a two-allele codominant task (pooled chi-square, X² and
// G² on the three classes), simulated apart: 2N alleles drawn at the fitted frequency,
// p̂ = (2 c_AA + c_AB) / 2N, and the statistics summed here.
std::array<double, 3> simulatedProbabilities(const CriterionStatistics& ml, std::int64_t n, int b)
{
    const double p = static_cast<double>(ml.frequencies[0]);
    std::mt19937 generator(12345);
    std::bernoulli_distribution isA(p);
    std::array<int, 3> reached{};
    for (int s = 0; s < b; ++s) {
        std::vector<std::int64_t> counts(3);
        for (std::int64_t person = 0; person < n; ++person)
            ++counts[static_cast<std::size_t>(2 - isA(generator) - isA(generator))];
        const double q = static_cast<double>(2 * counts[0] + counts[1]) / (2.0 * n);
        const std::array<double, 3> e = {q * q, 2 * q * (1 - q), (1 - q) * (1 - q)};
        double x2 = 0;
        double g2 = 0;
        for (std::size_t r = 0; r < 3; ++r) {
            const double c = static_cast<double>(counts[r]);
            const double m = static_cast<double>(n) * std::max(e[r], 1e-7);
            x2 += (c - m) * (c - m) / m;
            if (c > 0) g2 += 2 * c * std::log(c / m);
        }
        const FitTest pooled = testGoodnessOfFit(counts, {e[0], e[1], e[2]}, n);
        reached[0] += pooled.chiSquare >= ml.pooled.chiSquare - 1e-9;
        reached[1] += x2 >= ml.pearson.statistic - 1e-9;
        reached[2] += g2 >= ml.likelihoodRatio.statistic - 1e-9;
    }
    std::array<double, 3> probabilities{};
    for (std::size_t t = 0; t < 3; ++t)
        probabilities[t] = (1.0 + reached[t]) / (b + 1);
    return probabilities;
}

} // namespace

TEST(Replicates, SameSeedSameFiguresWithOneOrFourThreads)
{
    setUpTask(sample, {"A", "B", "-"});
    const TaskStatistics statistics = statisticsOf({186, 13, 38, 284});
    const ReplicateResult one = replicate(statistics, 200, 1);
    const ReplicateResult four = replicate(statistics, 200, 4);
    const ReplicateResult other = replicate(statistics, 200, 4, 8);
    ASSERT_FALSE(one.cancelled);
    ASSERT_FALSE(four.cancelled);
    for (std::size_t k = 0; k < 3; ++k) {
        const CriterionReplicates& a = one.criteria[k];
        const CriterionReplicates& b = four.criteria[k];
        EXPECT_EQ(a.monteCarlo.pooled, b.monteCarlo.pooled);
        EXPECT_EQ(a.monteCarlo.pearson, b.monteCarlo.pearson);
        EXPECT_EQ(a.monteCarlo.likelihoodRatio, b.monteCarlo.likelihoodRatio);
        for (std::size_t i = 0; i < 3; ++i) {
            EXPECT_TRUE(near(a.standardErrors[i], b.standardErrors[i], 0));
            EXPECT_TRUE(near(a.intervals[i].first, b.intervals[i].first, 0));
            EXPECT_TRUE(near(a.intervals[i].second, b.intervals[i].second, 0));
            EXPECT_LE(a.intervals[i].first, statistics.criteria[k].frequencies[i] + 0.01);
            EXPECT_GE(a.intervals[i].second, statistics.criteria[k].frequencies[i] - 0.01);
        }
        EXPECT_NE(a.standardErrors[0], other.criteria[k].standardErrors[0]); // a new seed
    }
}

TEST(Replicates, AgreeWithIndependentFiguresWithinSamplingError)
{
    // 30, 50, 20 of two codominant alleles (N = 100, p = 0.55).
    setUpTask(sample, {"A", "B"});
    const TaskStatistics statistics = statisticsOf({30, 50, 20});
    constexpr int b = 2000;
    const ReplicateResult result = replicate(statistics, b, 0);
    const MonteCarloProbabilities& mc = result.criteria[0].monteCarlo;
    const std::array<double, 3> simulated =
        simulatedProbabilities(statistics.criteria[0], statistics.total, b);
    // Two independent estimates of one probability: 4 standard deviations of their gap.
    const auto close = [](const std::optional<double>& p, double other) {
        return p && near(*p, other, 4 * std::sqrt(2 * other * (1 - other) / b));
    };
    EXPECT_TRUE(close(mc.pooled, simulated[0]));
    EXPECT_TRUE(close(mc.pearson, simulated[1]));
    EXPECT_TRUE(close(mc.likelihoodRatio, simulated[2]));
    // The bootstrap error of the frequency against √(pq / 2N); its own relative sampling
    // error is about 1 / √(2B) = 1.6%.
    const double fisher = statistics.criteria[0].standardErrors[0].standardError;
    EXPECT_TRUE(near(result.criteria[0].standardErrors[0], fisher, 0.1 * fisher));
}

TEST(Replicates, StandardErrorOfTwoSamplesByHand)
{
    // With B = 2 the percentile interval is v0 + 0.025·d .. v0 + 0.975·d, d = v1 − v0, and
    // the sample standard deviation (divisor B − 1) of v0 and v1 is d / √2.
    setUpTask(sample, {"A", "B"});
    const TaskStatistics statistics = statisticsOf({30, 50, 20});
    const ReplicateResult result = replicate(statistics, 2, 1);
    const auto [low, high] = result.criteria[0].intervals[0];
    const double d = (high - low) / 0.95;
    ASSERT_GT(d, 1e-4);
    EXPECT_TRUE(near(result.criteria[0].standardErrors[0], d / std::sqrt(2.0), 1e-12));
}

TEST(Replicates, SaturatedModelsGetNoMonteCarloProbability)
{
    // A dominance series of three alleles: no test has degrees of freedom; the bootstrap
    // still runs.
    setUpTask(sample, {"C", "Ch", "-"}, InheritanceMode::dominance);
    const ReplicateResult result = replicate(statisticsOf({102, 51, 47}), 100, 2);
    for (const CriterionReplicates& criterion : result.criteria) {
        EXPECT_FALSE(criterion.monteCarlo.pooled);
        EXPECT_FALSE(criterion.monteCarlo.pearson);
        EXPECT_FALSE(criterion.monteCarlo.likelihoodRatio);
        EXPECT_GT(criterion.standardErrors[0], 0.01);
    }
}

TEST(Replicates, CancelledRunLeavesNothing)
{
    setUpTask(sample, {"A", "B", "-"});
    const TaskStatistics statistics = statisticsOf({186, 13, 38, 284});
    std::atomic<bool> cancel{false};
    ReplicateSettings settings;
    settings.replicates = 100000;
    settings.threads = 2;
    std::int64_t lastDone = 0;
    settings.progress = [&](std::int64_t done, std::int64_t total) {
        EXPECT_EQ(total, 100000);
        EXPECT_GE(done, lastDone);
        lastDone = done;
        if (done > 0) cancel = true;
    };
    settings.cancel = &cancel;
    const ReplicateResult result = runReplicates(sample, statistics, settings);
    EXPECT_TRUE(result.cancelled);
    EXPECT_LT(lastDone, 100000);
    for (const CriterionReplicates& criterion : result.criteria)
        EXPECT_TRUE(criterion.standardErrors.empty());
}
