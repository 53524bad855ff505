#include "estimate/fit_criteria.h"
#include "estimate/frequency_refinement.h"
#include "estimate/frequency_search.h"
#include "platform/random.h"
#include "tests/estimate/sample_tasks.h"
#include "tests/support/near.h"

#include <cmath>

namespace {

TaskState task;

const FitCriterion allCriteria[] = {FitCriterion::maximumLikelihood, FitCriterion::leastSquares,
                                    FitCriterion::normalisedLeastSquares};

// The result is a point of the simplex: nothing negative, the sum 1.
void expectOnSimplex()
{
    long double sum = 0;
    for (int i = 1; i <= task.alleleCount; ++i) {
        EXPECT_GE(task.alleleFrequency[i], 0) << "allele " << i;
        sum += task.alleleFrequency[i];
    }
    EXPECT_TRUE(near(sum, 1, 1e-18L));
}

// Optimality checked from outside: no small move along the simplex, e_i − e_j, lowers the
// criterion (moves that would leave the simplex are skipped).
void expectLocalMinimum(FitCriterion criterion)
{
    const auto best = task.alleleFrequency;
    const long double value = criterionValue(task, criterion);
    for (int i = 1; i <= task.alleleCount; ++i) {
        for (int j = 1; j <= task.alleleCount; ++j) {
            if (i == j || best[j] < 1e-7L) continue;
            task.alleleFrequency = best;
            task.alleleFrequency[i] += 1e-7L;
            task.alleleFrequency[j] -= 1e-7L;
            EXPECT_GE(criterionValue(task, criterion), value)
                << "moving from allele " << j << " to allele " << i;
        }
    }
    task.alleleFrequency = best;
}

// Gene counting for the ABO task: the maximum-likelihood estimate, found independently.
std::array<long double, 3> aboByGeneCounting()
{
    const long double a = 186, ab = 13, b = 38, n = 521; // and 284 of -/-
    long double p = 1 / 3.0L, q = 1 / 3.0L, r = 1 / 3.0L;
    for (int iteration = 0; iteration < 10000; ++iteration) {
        const long double aa = a * p * p / (p * p + 2 * p * r);
        const long double bb = b * q * q / (q * q + 2 * q * r);
        p = (2 * aa + (a - aa) + ab) / (2 * n);
        q = (2 * bb + (b - bb) + ab) / (2 * n);
        r = 1 - p - q;
    }
    return {p, q, r};
}

TEST(FrequencySearch, DrawsNRandomNumbersForEachVertexButTheFirst)
{
    setUpTask(task, {"A", "B", "-"});
    setCounts(task, {186, 13, 38, 284});
    seedRandom(5);
    for (int draw = 0; draw < 3 * 5; ++draw)
        randomUniform();
    const double following = randomUniform();
    seedRandom(5);
    runComplexSearch(task, FitCriterion::maximumLikelihood);
    EXPECT_TRUE(near(randomUniform(), following, 0));
}

TEST(FrequencySearch, FindsTheExactFitOfTwoAlleles)
{
    // 36, 48 and 16 of A/A, A/B and B/B: p = (0.6, 0.4) fits exactly.
    setUpTask(task, {"A", "B"});
    setCounts(task, {36, 48, 16});
    for (const FitCriterion criterion : allCriteria) {
        seedRandom(1);
        estimateAlleleFrequencies(task, criterion);
        EXPECT_TRUE(near(task.alleleFrequency[1], 0.6L, 1e-12L));
        EXPECT_TRUE(near(task.alleleFrequency[2], 0.4L, 1e-12L));
        expectOnSimplex();
    }
}

TEST(FrequencySearch, ReachesTheOptimumOfTheAboTaskFromEverySeed)
{
    // Least squares alone collapsed onto the face p_B = 0 in about one run in five.
    setUpTask(task, {"A", "B", "-"});
    setCounts(task, {186, 13, 38, 284});
    const std::array<long double, 3> geneCounting = aboByGeneCounting();
    for (const FitCriterion criterion : allCriteria) {
        std::array<long double, 3> first{};
        for (int seed = 1; seed <= 60; ++seed) {
            seedRandom(static_cast<std::uint64_t>(seed));
            estimateAlleleFrequencies(task, criterion);
            expectOnSimplex();
            if (seed == 1) {
                for (int i = 0; i < 3; ++i)
                    first[static_cast<std::size_t>(i)] = task.alleleFrequency[i + 1];
                expectLocalMinimum(criterion);
                EXPECT_GT(task.alleleFrequency[2], 0.045L); // B near 0.049, not 0
            }
            for (int i = 0; i < 3; ++i)
                EXPECT_TRUE(
                    near(task.alleleFrequency[i + 1], first[static_cast<std::size_t>(i)], 1e-9L))
                    << "seed " << seed << ", allele " << i + 1;
        }
        if (criterion == FitCriterion::maximumLikelihood) {
            for (int i = 0; i < 3; ++i)
                EXPECT_TRUE(near(first[static_cast<std::size_t>(i)],
                                 geneCounting[static_cast<std::size_t>(i)], 1e-10L));
        }
    }
}

TEST(Refinement, LeavesAFaceWhereTheOptimumIsNot)
{
    setUpTask(task, {"A", "B", "-"});
    setCounts(task, {186, 13, 38, 284});
    task.alleleFrequency[1] = 0.26L;
    task.alleleFrequency[2] = 0;
    task.alleleFrequency[3] = 0.74L;
    refineAlleleFrequencies(task, FitCriterion::leastSquares);
    EXPECT_TRUE(near(task.alleleFrequency[2], 0.0492L, 5e-4L));
    expectLocalMinimum(FitCriterion::leastSquares);
}

TEST(Refinement, StopsOnAFaceWhereTheOptimumIs)
{
    // No phenotype with test C is observed and the others fit p = (0.5, 0.5, 0) exactly.
    // Tiny negative coordinates of the start are taken as 0.
    setUpTask(task, {"A", "B", "C"}); // A, A B, A C, B, B C, C
    setCounts(task, {25, 50, 0, 25, 0, 0});
    for (const FitCriterion criterion : allCriteria) {
        task.alleleFrequency[1] = 0.4L;
        task.alleleFrequency[2] = 0.6L + 1e-20L;
        task.alleleFrequency[3] = -1e-20L;
        refineAlleleFrequencies(task, criterion);
        EXPECT_TRUE(near(task.alleleFrequency[3], 0, 1e-15L));
        EXPECT_TRUE(near(task.alleleFrequency[1], 0.5L, 1e-12L));
        expectOnSimplex();

        seedRandom(9);
        estimateAlleleFrequencies(task, criterion);
        EXPECT_TRUE(near(task.alleleFrequency[3], 0, 1e-15L));
        EXPECT_TRUE(near(task.alleleFrequency[1], 0.5L, 1e-12L));
        expectOnSimplex();
    }
}

TEST(Refinement, GetsPastAWeightJumpOfNormalisedLeastSquares)
{
    // The unobserved phenotype A B F has 2 p_A p_BF right at the floor 1e-10, where its
    // weight jumps from tripleTotal to 1 / (E (1 − E)): a Newton step that crosses it
    // fails. The tiny frequency is then held and the others still reach their optimum.
    setUpTask(task, {"C D", "A", "B F"}); // C D, A C D, B C D F, A, A B F, B F
    setCounts(task, {48, 162, 0, 162, 0, 0});
    seedRandom(5484);
    estimateAlleleFrequencies(task, FitCriterion::normalisedLeastSquares);
    EXPECT_LT(task.alleleFrequency[3], 1e-4L);
    const auto best = task.alleleFrequency;
    const long double value = criterionValue(task, FitCriterion::normalisedLeastSquares);
    for (const long double move : {-1e-7L, 1e-7L}) {
        task.alleleFrequency = best;
        task.alleleFrequency[1] += move;
        task.alleleFrequency[2] -= move;
        EXPECT_GE(criterionValue(task, FitCriterion::normalisedLeastSquares), value) << move;
    }
}

TEST(FrequencySearch, SolvesADominanceSeries)
{
    // Exact fit: p_k = √S_k − √S_(k+1) with S the observed tail sums 1, 0.64, 0.25.
    setUpTask(task, {"A", "B", "-"}, InheritanceMode::dominance);
    setCounts(task, {36, 39, 25});
    for (const FitCriterion criterion : allCriteria) {
        seedRandom(3);
        estimateAlleleFrequencies(task, criterion);
        EXPECT_TRUE(near(task.alleleFrequency[1], 0.2L, 1e-12L));
        EXPECT_TRUE(near(task.alleleFrequency[2], 0.3L, 1e-12L));
        EXPECT_TRUE(near(task.alleleFrequency[3], 0.5L, 1e-12L));
    }
}

} // namespace
