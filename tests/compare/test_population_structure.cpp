// Differentiation, the bootstrap of the compared populations with the trees' support, the
// pairwise tests and the plots' numbers, against hand calculations and known behaviour.
#include "compare/differentiation.h"
#include "compare/frequency_plots.h"
#include "compare/pairwise_tests.h"
#include "compare/population_bootstrap.h"
#include "compare/random_draws.h"
#include "compare/tree_support.h"
#include "estimate/frequency_refinement.h"
#include "tests/estimate/sample_tasks.h"
#include "tests/support/near.h"

namespace {

// The ABO system: A and B codominant, O detected by no test; four phenotypes.
TaskState aboTask()
{
    TaskState task;
    setUpTask(task, {"A", "B", "-"});
    return task;
}

// The maximum-likelihood estimate of each population's counts, by the comparison.
std::vector<PopulationEstimate> estimates(const std::vector<std::vector<std::int64_t>>& counts)
{
    std::vector<PopulationSample> samples;
    for (const auto& c : counts) {
        samples.emplace_back();
        samples.back().task = std::make_unique<TaskState>(aboTask());
        samples.back().counts = c;
    }
    return comparePopulations(samples).populations;
}

std::vector<Frequencies> frequenciesOf(const std::vector<PopulationEstimate>& populations)
{
    std::vector<Frequencies> result;
    for (const PopulationEstimate& p : populations)
        result.push_back(p.frequencies);
    return result;
}

} // namespace

TEST(Differentiation, ThreePopulationsAsComputedByHand)
{
    // H = 0.54, 0.62, 0.46, so HS = 0.54; p̄ = (0.3, 1/3, 11/30), HT = 1 − 302/900 = 598/900.
    // Gst = 112/598; G'st = Gst · 2.54 / (2 · 0.46); D = (112/900) / 0.46 · 3/2 = 168/414.
    const Differentiation d =
        differentiation({{0.6L, 0.3L, 0.1L}, {0.2L, 0.5L, 0.3L}, {0.1L, 0.2L, 0.7L}});
    EXPECT_TRUE(near(d.withinDiversity, 0.54, 1e-12));
    EXPECT_TRUE(near(d.totalDiversity, 598.0 / 900, 1e-12));
    EXPECT_TRUE(near(d.gst.value(), 112.0 / 598, 1e-12));
    EXPECT_TRUE(near(d.gstPrime.value(), 0.5170859386, 1e-10));
    EXPECT_TRUE(near(d.jostD.value(), 168.0 / 414, 1e-12));
    // Populations fixed for one allele: no diversity to share out, Gst and G'st undefined.
    const Differentiation fixed = differentiation({{1, 0}, {1, 0}});
    EXPECT_FALSE(fixed.gst.has_value());
    EXPECT_TRUE(near(fixed.jostD.value(), 0, 1e-15));
}

TEST(PopulationBootstrap, RefitsByCountingGenesOrByNewton)
{
    // Codominant alleles, one genotype per phenotype: the genes counted, as Newton finds them.
    TaskState codominant;
    setUpTask(codominant, {"A", "B", "C"});
    const std::vector<std::int64_t> counts = {30, 20, 0, 25, 15, 10};
    const Frequencies third(3, 1.0L / 3);
    const Frequencies counted = refitFrequencies(codominant, counts, third);
    setCounts(codominant, counts);
    for (int a = 1; a <= 3; ++a)
        codominant.alleleFrequency[a] = third[static_cast<std::size_t>(a - 1)];
    refineAlleleFrequencies(codominant, FitCriterion::maximumLikelihood);
    for (std::size_t a = 0; a < 3; ++a)
        EXPECT_TRUE(near(counted[a], codominant.alleleFrequency[a + 1], 1e-12)) << a;
    // ABO, where O hides behind A and B: the comparison's own estimate.
    TaskState abo = aboTask();
    const PopulationEstimate fitted = estimates({{120, 40, 25, 95}})[0];
    const Frequencies refitted = refitFrequencies(abo, {120, 40, 25, 95}, third);
    for (std::size_t a = 0; a < 3; ++a)
        EXPECT_TRUE(near(refitted[a], fitted.frequencies[a], 1e-9)) << a;
}

TEST(PopulationBootstrap, IntervalsAndSupportOfClearAndAbsentSplits)
{
    const TaskState task = aboTask();
    // A and B alike, C and D alike, the two pairs far apart.
    const std::vector<std::vector<std::int64_t>> counts = {
        {120, 40, 25, 95}, {118, 42, 27, 93}, {40, 120, 25, 95}, {42, 117, 26, 96}};
    const std::vector<PopulationEstimate> fitted = estimates(counts);
    ReplicateSettings settings;
    settings.replicates = 200;
    settings.seed = 11;
    settings.threads = 2;
    const BootstrapFrequencies boot =
        bootstrapFrequencies(task, counts, frequenciesOf(fitted), settings);
    ASSERT_FALSE(boot.cancelled);
    ASSERT_EQ(boot.samples.size(), 200u);
    settings.threads = 1; // the same replicates whatever the threads
    EXPECT_EQ(bootstrapFrequencies(task, counts, frequenciesOf(fitted), settings).samples,
              boot.samples);

    const Differentiation point = differentiation(frequenciesOf(fitted));
    const DifferentiationIntervals intervals = differentiationIntervals(boot.samples);
    EXPECT_LT(intervals.jostD->first, *point.jostD);
    EXPECT_GT(intervals.jostD->second, *point.jostD);
    EXPECT_LT(intervals.gst->first, intervals.gst->second);

    const BootstrapTrees trees = bootstrapTrees(frequenciesOf(fitted), boot.samples, neiDistance);
    const std::vector<LeafGroup> groups = treeGroups(trees.upgma.tree);
    for (std::size_t j = 0; j + 1 < groups.size(); ++j) // AB and CD, the root left out
        EXPECT_GE(trees.upgma.support[j], 95) << j;
    ASSERT_TRUE(trees.neighborJoining);
    EXPECT_GE(trees.neighborJoining->support[0], 95); // the split AB | CD

    // Four samples with the same counts: each of the three splits of four is as likely.
    const std::vector<std::vector<std::int64_t>> same(4, counts[0]);
    const std::vector<Frequencies> sameFit = frequenciesOf(estimates(same));
    const BootstrapFrequencies sameBoot = bootstrapFrequencies(task, same, sameFit, settings);
    const BootstrapTrees sameTrees = bootstrapTrees(sameFit, sameBoot.samples, neiDistance);
    EXPECT_GT(sameTrees.neighborJoining->support[0], 20); // 1/3 ± 3.3% standard error
    EXPECT_LT(sameTrees.neighborJoining->support[0], 47);

    std::atomic<bool> cancel{true};
    settings.cancel = &cancel;
    EXPECT_TRUE(bootstrapFrequencies(task, counts, frequenciesOf(fitted), settings).cancelled);
}

TEST(PairwiseTests, GStatisticHolmAndTheTestsSize)
{
    // Rows (10, 20) and (20, 10): every E = 15, G = 4 (10 ln(2/3) + 20 ln(4/3)).
    EXPECT_TRUE(near(tableGStatistic({10, 20, 0}, {20, 10, 0}), 6.79596147181589, 1e-10));
    // Sorted 0.005, 0.01, 0.03, 0.04 times 4, 3, 2, 1: 0.02, 0.03, 0.06, then 0.04 raised to
    // 0.06.
    const std::vector<double> holm = holmAdjusted({0.01, 0.04, 0.03, 0.005});
    const std::vector<double> expected = {0.03, 0.06, 0.06, 0.02};
    for (std::size_t i = 0; i < 4; ++i)
        EXPECT_TRUE(near(holm[i], expected[i], 1e-15)) << i;

    // The hypergeometric draw by inversion: mean nK/N = 2000, variance
    // nK/N · (N − K)/N · (N − n)/(N − 1) = 2000 · 0.75 · 12000/19999 = 900.045.
    RandomEngine engine(5);
    double sum = 0;
    double squares = 0;
    for (int i = 0; i < 20000; ++i) {
        const auto x = static_cast<double>(drawHypergeometric(5000, 15000, 8000, engine));
        sum += x;
        squares += x * x;
    }
    const double mean = sum / 20000;
    EXPECT_TRUE(near(mean, 2000, 0.7)); // 3 standard errors of the mean
    EXPECT_TRUE(near(squares / 20000 - mean * mean, 900.045, 30));

    // Pairs of samples of one population: p ≤ 0.05 in at most 5% of them (the test is exact,
    // and a little conservative for the ties of a discrete G); 5 and 28 are the 0.1% and 99.9%
    // points of the binomial of 300 trials and 5%.
    std::discrete_distribution<int> phenotype({0.3, 0.1, 0.2, 0.4});
    ReplicateSettings settings;
    settings.replicates = 199;
    int rejected = 0;
    for (int trial = 0; trial < 300; ++trial) {
        std::vector<std::vector<std::int64_t>> counts(2, std::vector<std::int64_t>(4, 0));
        for (auto& sample : counts)
            for (int i = 0; i < 100; ++i)
                ++sample[static_cast<std::size_t>(phenotype(engine))];
        settings.seed = static_cast<std::uint64_t>(trial);
        const PairwiseTests tests = pairwiseTests(counts, settings);
        ASSERT_FALSE(tests.probability[0][0]);
        if (*tests.probability[0][1] <= 0.05) ++rejected;
    }
    EXPECT_GE(rejected, 5);
    EXPECT_LE(rejected, 28);

    // Three populations, the third unlike the others: its pairs reach the floor 1/(B + 1).
    const PairwiseTests tests =
        pairwiseTests({{120, 40, 25, 95}, {120, 40, 25, 95}, {40, 120, 25, 95}}, settings);
    EXPECT_TRUE(near(*tests.probability[0][1], 1, 1e-15)); // identical rows: G = 0
    EXPECT_TRUE(near(*tests.probability[0][2], 1.0 / 200, 1e-15));
    // Holm: 1/200 times 3, then 1/200 times 2 raised to the running 3/200.
    EXPECT_TRUE(near(*tests.holmAdjusted[1][2], 3.0 / 200, 1e-15));
}

TEST(FrequencyPlots, TriangleEllipsesAndPrincipalComponents)
{
    const TaskState task = aboTask();
    const std::vector<PopulationEstimate> fitted =
        estimates({{120, 40, 25, 95}, {480, 160, 100, 380}});
    const std::vector<TrianglePoint> points = trianglePoints(task, fitted);
    const Frequencies& p = fitted[0].frequencies;
    EXPECT_TRUE(near(points[0].x, p[1] + p[2] / 2, 1e-15));
    EXPECT_TRUE(near(points[0].y, p[2] * std::sqrt(3.0L) / 2, 1e-15));
    // Four times the individuals at the same frequencies: every semi-axis halves.
    ASSERT_TRUE(points[0].ellipse && points[1].ellipse);
    EXPECT_TRUE(near(points[1].ellipse->majorSemiAxis * 2, points[0].ellipse->majorSemiAxis, 1e-9));
    EXPECT_TRUE(near(points[1].ellipse->minorSemiAxis * 2, points[0].ellipse->minorSemiAxis, 1e-9));
    EXPECT_TRUE(near(points[1].ellipse->angle, points[0].ellipse->angle, 1e-9));
    PopulationEstimate boundary = fitted[0];
    boundary.frequencies = {0.5L, 0, 0.5L};
    EXPECT_FALSE(trianglePoints(task, {boundary})[0].ellipse);

    // Two alleles: all the variance lies on one axis. Centred, the first allele's frequency
    // is −2/15, −1/30, 1/6, and the axis (1, −1)/√2 gives them times √2.
    const PrincipalComponents pca = principalComponents({{0.5L, 0.5L}, {0.6L, 0.4L}, {0.8L, 0.2L}});
    EXPECT_TRUE(near(pca.varianceShares[0], 1, 1e-12));
    EXPECT_TRUE(near(pca.varianceShares[1], 0, 1e-12));
    const double expected[] = {-2.0 / 15, -1.0 / 30, 1.0 / 6};
    for (std::size_t i = 0; i < 3; ++i)
        EXPECT_TRUE(near(pca.scores[i][0], expected[i] * std::sqrt(2.0), 1e-12)) << i;
}
