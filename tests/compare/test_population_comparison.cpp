// The comparison core: the homogeneity test on identical and on randomly split samples,
// the distances against hand calculations, the UPGMA tree of known distances, and the
// structure beside the comparison on a chosen distance.
#include "compare/comparison_report.h"
#include "estimate/fit_criteria.h"
#include "platform/random.h"
#include "tests/estimate/sample_tasks.h"
#include "tests/support/near.h"

#include <algorithm>
#include <atomic>
#include <random>

namespace {

PopulationSample sample(std::string name, std::initializer_list<const char*> alleles,
                        InheritanceMode mode, std::vector<std::int64_t> counts)
{
    PopulationSample s;
    s.name = std::move(name);
    s.mode = mode;
    s.task = std::make_unique<TaskState>();
    setUpTask(*s.task, alleles, mode);
    s.counts = std::move(counts);
    return s;
}

// The ABO system: A and B codominant, O ("-") detected by no test; four phenotypes.
PopulationSample abo(std::string name, std::vector<std::int64_t> counts)
{
    return sample(std::move(name), {"A", "B", "-"}, InheritanceMode::codominance,
                  std::move(counts));
}

std::vector<std::int64_t> phenotypeCounts(const std::vector<int>& individuals, int phenotypes)
{
    std::vector<std::int64_t> counts(static_cast<std::size_t>(phenotypes), 0);
    for (const int r : individuals)
        ++counts[static_cast<std::size_t>(r - 1)];
    return counts;
}

} // namespace

TEST(PopulationComparison, IdenticalSamplesAreHomogeneousAndAtDistanceZero)
{
    seedRandom(7);
    std::vector<PopulationSample> samples;
    samples.push_back(abo("Стадо 1", {120, 40, 25, 95}));
    samples.push_back(abo("Стадо 2", {120, 40, 25, 95}));
    const ComparisonReport report = compareSamples(samples);
    const PopulationComparison& c = report.comparison;
    EXPECT_TRUE(near(c.homogeneity.statistic, 0, 1e-8));
    EXPECT_EQ(c.homogeneity.degreesOfFreedom, 2); // (2 − 1)(3 − 1)
    EXPECT_TRUE(near(report.nei[0][1], 0, 1e-9));
    EXPECT_TRUE(near(report.chord[0][1], 0, 1e-4)); // √ of a rounding error
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_TRUE(near(c.pooled.frequencies[i], c.populations[0].frequencies[i], 1e-9));
        // Twice the individuals: the standard error shrinks by √2.
        EXPECT_TRUE(near(c.pooled.errors[i].standardError * std::sqrt(2.0),
                         c.populations[0].errors[i].standardError, 1e-6));
    }
    EXPECT_EQ(report.newick, "('Стадо 1':0,'Стадо 2':0);");
}

TEST(PopulationComparison, SplitsOfOnePopulationGiveUniformProbabilities)
{
    // 400 individuals of one ABO population (A 0.3, B 0.1, O 0.6), split at random into two
    // tasks of 200, 200 times: under homogeneity p is uniform, so about 5% fall below 0.05
    // and the empirical distribution stays near the diagonal. A wrong df or G moves both.
    seedRandom(20261208);
    const PopulationSample shape = abo("", {0, 0, 0, 0});
    TaskState truth = *shape.task;
    truth.alleleFrequency[1] = 0.3L;
    truth.alleleFrequency[2] = 0.1L;
    truth.alleleFrequency[3] = 0.6L;
    computeExpectedFrequencies(truth);
    std::vector<double> weights;
    for (int r = 1; r <= truth.phenotypeCount; ++r)
        weights.push_back(static_cast<double>(truth.expectedPhenotypeFrequency[r]));
    std::mt19937_64 draw(42);
    std::discrete_distribution<int> phenotype(weights.begin(), weights.end());
    std::vector<int> individuals(400);
    for (int& r : individuals)
        r = phenotype(draw) + 1;

    std::vector<double> probabilities;
    for (int split = 0; split < 200; ++split) {
        std::shuffle(individuals.begin(), individuals.end(), draw);
        const std::vector<int> first(individuals.begin(), individuals.begin() + 200);
        const std::vector<int> second(individuals.begin() + 200, individuals.end());
        std::vector<PopulationSample> samples;
        samples.push_back(abo("1", phenotypeCounts(first, truth.phenotypeCount)));
        samples.push_back(abo("2", phenotypeCounts(second, truth.phenotypeCount)));
        const PopulationComparison c = comparePopulations(samples);
        ASSERT_GE(c.homogeneity.statistic, 0);
        probabilities.push_back(c.homogeneity.probability.value());
    }
    std::sort(probabilities.begin(), probabilities.end());
    const auto below = std::lower_bound(probabilities.begin(), probabilities.end(), 0.05);
    const double share = static_cast<double>(below - probabilities.begin()) / 200;
    EXPECT_GE(share, 0.01);
    EXPECT_LE(share, 0.10);
    double largestGap = 0; // Kolmogorov–Smirnov statistic against the uniform law
    for (std::size_t i = 0; i < probabilities.size(); ++i)
        largestGap = std::max({largestGap, std::fabs((i + 1) / 200.0 - probabilities[i]),
                               std::fabs(i / 200.0 - probabilities[i])});
    EXPECT_LT(largestGap, 0.12); // the 1% critical value for 200 draws is 0.115
}

TEST(PopulationComparison, DifferentPopulationsAreHeterogeneous)
{
    seedRandom(3);
    std::vector<PopulationSample> samples;
    samples.push_back(abo("1", {120, 40, 25, 95}));
    samples.push_back(abo("2", {40, 120, 25, 95}));
    samples.push_back(abo("3", {100, 50, 30, 90}));
    const PopulationComparison c = comparePopulations(samples);
    EXPECT_EQ(c.homogeneity.degreesOfFreedom, 4); // (3 − 1)(3 − 1)
    EXPECT_LT(c.homogeneity.probability.value(), 1e-6);
    EXPECT_EQ(c.pooled.total, 280 + 280 + 270);
}

TEST(PopulationComparison, MismatchNamesTheFirstDifferingTask)
{
    std::vector<PopulationSample> samples;
    samples.push_back(abo("Первая", {1, 2, 3, 4}));
    EXPECT_EQ(comparisonMismatch(samples), "Для сравнения нужно не меньше двух задач.");
    samples.push_back(abo("Вторая", {4, 3, 2, 1}));
    EXPECT_EQ(comparisonMismatch(samples), std::nullopt);
    samples.push_back(sample("Третья", {"A", "B"}, InheritanceMode::dominance, {1, 1, 1}));
    samples.push_back(sample("Четвертая", {"A", "-", "B"}, InheritanceMode::dominance, {}));
    EXPECT_EQ(comparisonMismatch(samples),
              "Список аллелей задачи «Третья» не совпадает со списком задачи «Первая».");
    samples.erase(samples.begin() + 2, samples.end());
    samples.push_back(
        sample("Пятая", {"A", "B", "-"}, InheritanceMode::dominance, {1, 1, 1, 1, 1, 1}));
    EXPECT_EQ(comparisonMismatch(samples),
              "Тип наследования задачи «Пятая» не совпадает с типом задачи «Первая».");
    samples.back() = abo("Пустая", {0, 0, 0, 0});
    EXPECT_EQ(comparisonMismatch(samples), "В задаче «Пустая» нет численностей фенотипов.");
}

TEST(GeneticDistance, NeiAndChordDistancesAsComputedByHand)
{
    // x = (0.5, 0.5), y = (0.9, 0.1): Jx = 0.5, Jy = 0.82, Jxy = 0.5,
    // D = −ln(0.5 / √0.41) = 0.2473481209; Σ √(x y) = √0.45 + √0.05 = 0.8944271910,
    // D_CE = (2/π)·√(2 · 0.1055728090) = 0.2925305040.
    EXPECT_TRUE(near(neiDistance({0.5L, 0.5L}, {0.9L, 0.1L}), 0.2473481209L, 1e-9));
    EXPECT_TRUE(near(chordDistance({0.5L, 0.5L}, {0.9L, 0.1L}), 0.2925305040L, 1e-9));
    EXPECT_TRUE(std::isinf(neiDistance({1, 0}, {0, 1})));
    EXPECT_TRUE(near(chordDistance({1, 0}, {0, 1}), 2 * std::sqrt(2.0L) / 3.14159265358979L, 1e-9));
}

TEST(GeneticDistance, UpgmaTreeOfThreeKnownDistances)
{
    // d(A,B) = 0.2 joins A and B at height 0.1; d(AB,C) = (0.6 + 0.8) / 2 = 0.7 puts the
    // root at 0.35, so the branch above AB is 0.25.
    const Tree tree = upgmaTree({{0, 0.2, 0.6}, {0.2, 0, 0.8}, {0.6, 0.8, 0}});
    ASSERT_EQ(tree.joins.size(), 2u);
    EXPECT_EQ(tree.joins[0].left, 0);
    EXPECT_EQ(tree.joins[0].right, 1);
    EXPECT_TRUE(near(tree.joins[1].height, 0.35, 1e-12));
    EXPECT_EQ(newickText(tree, {"A", "B", "C c"}), "((A:0.1,B:0.1):0.25,'C c':0.35);");
    // B and C closest: d(A,BC) = (0.9 + 0.7) / 2 = 0.8, the root at 0.4.
    const Tree other = upgmaTree({{0, 0.9, 0.7}, {0.9, 0, 0.1}, {0.7, 0.1, 0}});
    EXPECT_EQ(newickText(other, {"A", "B", "C"}), "(A:0.4,(B:0.05,C:0.05):0.35);");
}

TEST(GeneticDistance, UpgmaWeightsClustersBySizeAndJoinsTiesInOrder)
{
    // A, B join at 1; d(AB,C) = (4 + 6) / 2 = 5 joins C at 2.5; d(ABC,D) weighs AB twice:
    // (2·10 + 16) / 3 = 12, so the root is at 6 (not (10 + 16) / 4 = 6.5).
    const Tree tree = upgmaTree({{0, 2, 4, 10}, {2, 0, 6, 10}, {4, 6, 0, 16}, {10, 10, 16, 0}});
    ASSERT_EQ(tree.joins.size(), 3u);
    EXPECT_TRUE(near(tree.joins[2].height, 6, 1e-12));
    EXPECT_EQ(newickText(tree, {"A", "B", "C", "D"}), "(((A:1,B:1):1.5,C:2.5):3.5,D:6);");
    // A–B and C–D are equally close: the pair of lower numbers joins first.
    const Tree tied = upgmaTree({{0, 2, 8, 8}, {2, 0, 8, 8}, {8, 8, 0, 2}, {8, 8, 2, 0}});
    ASSERT_EQ(tied.joins.size(), 3u);
    EXPECT_EQ(tied.joins[0].left, 0);
    EXPECT_EQ(tied.joins[0].right, 1);
    EXPECT_EQ(tied.joins[1].left, 2);
    EXPECT_EQ(tied.joins[1].right, 3);
}

TEST(PopulationComparison, TheStructureTakesTheChosenDistanceAndItsCancelCancelsTheReport)
{
    seedRandom(11);
    std::vector<PopulationSample> samples;
    samples.push_back(abo("Север", {120, 40, 25, 95}));
    samples.push_back(abo("Юг", {40, 120, 95, 25}));
    samples.push_back(abo("Запад", {118, 42, 24, 96}));
    samples.push_back(abo("Восток", {50, 110, 100, 20}));
    StructureSettings settings;
    settings.distance = TreeDistance::reynolds;
    settings.replicates = 200;
    const ComparisonReport report = compareSamples(samples, {}, settings);
    ASSERT_FALSE(report.comparison.cancelled);
    const ComparisonTables tables = comparisonTables(report);
    EXPECT_EQ(tables.tree[0][0], "Дерево UPGMA по расстоянию Рейнольдса (Newick)");
    EXPECT_EQ(tables.pairwiseTests.size(), 7u); // a header and six pairs
    // Север and Запад are alike, and so are Юг and Восток: the split is in nearly every
    // replicate tree.
    EXPECT_EQ(report.tree.joins.front().left, 0);
    EXPECT_EQ(report.tree.joins.front().right, 2);
    EXPECT_GE(report.structure.upgma.support.front(), 95);
    ASSERT_TRUE(report.structure.neighborJoining);
    EXPECT_GE(report.structure.neighborJoining->support.front(), 95);
    for (std::size_t row = 1; row <= 3; ++row) {
        const double value = std::stod(tables.differentiation[row][1]);
        EXPECT_LE(std::stod(tables.differentiation[row][2]), value) << row;
        EXPECT_GE(std::stod(tables.differentiation[row][3]), value) << row;
    }

    const std::atomic<bool> cancel{true};
    settings.cancel = &cancel;
    EXPECT_TRUE(compareSamples(samples, {}, settings).comparison.cancelled);
}
