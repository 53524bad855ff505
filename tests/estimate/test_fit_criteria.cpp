#include "estimate/criterion_evaluation.h"
#include "estimate/criterion_terms.h"
#include "estimate/extended_log.h"
#include "estimate/fit_criteria.h"
#include "tests/estimate/sample_tasks.h"
#include "tests/support/near.h"

#include <cfloat>
#include <cmath>
#include <random>

namespace {

TaskState task;

void setFrequencies(std::initializer_list<long double> p)
{
    int i = 1;
    for (const long double value : p)
        task.alleleFrequency[i++] = value;
}

TEST(ExpectedFrequencies, FollowTheGenotypeTable)
{
    setUpTask(task, {"A", "B"});
    setFrequencies({0.5L, 0.5L});
    computeExpectedFrequencies(task);
    EXPECT_TRUE(near(task.expectedPhenotypeFrequency[1], 0.25L, 0));
    EXPECT_TRUE(near(task.expectedPhenotypeFrequency[2], 0.5L, 0));
    EXPECT_TRUE(near(task.expectedPhenotypeFrequency[3], 0.25L, 0));

    // Dominance: A/A and A/B both show A.
    setUpTask(task, {"A", "B"}, InheritanceMode::dominance);
    setFrequencies({0.3L, 0.7L});
    computeExpectedFrequencies(task);
    EXPECT_TRUE(near(task.expectedPhenotypeFrequency[1], 0.09L + 2 * 0.3L * 0.7L, 1e-18L));
    EXPECT_TRUE(near(task.expectedPhenotypeFrequency[2], 0.49L, 1e-18L));
}

TEST(MaximumLikelihood, PenalisesOnlyObservedPhenotypesThatCannotOccur)
{
    setUpTask(task, {"A", "B"}); // phenotypes A, A B, B
    setCounts(task, {10, 10, 0});
    setFrequencies({1, 0}); // E = (1, 0, 0)
    EXPECT_GE(criterionValue(task, FitCriterion::maximumLikelihood), zeroPenalty);

    setCounts(task, {10, 0, 0}); // the impossible phenotypes are not observed
    EXPECT_TRUE(near(criterionValue(task, FitCriterion::maximumLikelihood), 0, 1e-18L));

    // At E = O the value is the entropy of the observed distribution, not 0.
    setCounts(task, {25, 50, 25});
    setFrequencies({0.5L, 0.5L});
    const long double entropy = -(0.5L * std::log(0.25L) + 0.5L * std::log(0.5L));
    EXPECT_TRUE(near(criterionValue(task, FitCriterion::maximumLikelihood), entropy, 1e-18L));
}

TEST(LeastSquares, VanishExactlyWhereExpectedEqualsObserved)
{
    setUpTask(task, {"A", "B"});
    setCounts(task, {25, 50, 25});
    setFrequencies({0.5L, 0.5L});
    EXPECT_TRUE(near(criterionValue(task, FitCriterion::leastSquares), 0, 0));
    EXPECT_TRUE(near(criterionValue(task, FitCriterion::normalisedLeastSquares), 0, 0));

    setFrequencies({0.6L, 0.4L}); // E = (0.36, 0.48, 0.16)
    const long double squares = 0.11L * 0.11L + 0.02L * 0.02L + 0.09L * 0.09L;
    EXPECT_TRUE(near(criterionValue(task, FitCriterion::leastSquares), squares, 1e-18L));
    const long double normalised = 0.11L * 0.11L / (0.36L * 0.64L) +
                                   0.02L * 0.02L / (0.48L * 0.52L) +
                                   0.09L * 0.09L / (0.16L * 0.84L);
    EXPECT_TRUE(
        near(criterionValue(task, FitCriterion::normalisedLeastSquares), normalised, 1e-17L));
}

TEST(NormalisedLeastSquares, TakesTripleTotalOutsideTheGuards)
{
    constexpr auto nls = FitCriterion::normalisedLeastSquares;
    const long double tripleTotal = 300;
    // Exactly at the floor the formula weight applies; just below it the substitute.
    EXPECT_TRUE(near(normalisedTerm(1e-10L, 0.5L, tripleTotal),
                     (1e-10L - 0.5L) * (1e-10L - 0.5L) * (1 / (1e-10L * (1 - 1e-10L))), 0));
    EXPECT_TRUE(near(normalisedTerm(0.99e-10L, 0.5L, tripleTotal),
                     (0.99e-10L - 0.5L) * (0.99e-10L - 0.5L) * tripleTotal, 0));
    EXPECT_TRUE(near(normalisedTerm(0.99999999995L, 0.5L, tripleTotal),
                     (0.49999999995L) * (0.49999999995L) * tripleTotal, 1e-15L));

    // Frequencies summing to more than 1 can give an expected frequency above 1: weight
    // tripleTotal, and a small negative term in maximum likelihood.
    setUpTask(task, {"A", "B"});
    setCounts(task, {100, 0, 0});
    setFrequencies({1.00000001L, 0});
    const long double e = 1.00000001L * 1.00000001L;
    EXPECT_TRUE(near(criterionValue(task, nls), (e - 1) * (e - 1) * 300, 1e-25L));
    EXPECT_LT(criterionValue(task, FitCriterion::maximumLikelihood), 0);
}

TEST(Criteria, OtherCodesGiveZeroButStillRecomputeExpectations)
{
    setUpTask(task, {"A", "B"});
    setCounts(task, {1, 2, 3});
    setFrequencies({0.5L, 0.5L});
    task.expectedPhenotypeFrequency[2] = 7;
    EXPECT_TRUE(near(criterionValue(task, static_cast<FitCriterion>(4)), 0, 0));
    EXPECT_TRUE(near(task.expectedPhenotypeFrequency[2], 0.5L, 0));
}

// The searches evaluate through CriterionEvaluation; it must agree with criterionValue to
// the last bit, on interior points and on faces of the simplex.
TEST(CriterionEvaluation, EqualsCriterionValueBitForBit)
{
    std::mt19937_64 generator(7);
    std::uniform_real_distribution<long double> uniform(0, 1);
    const auto check = [&](int points) {
        for (int criterion = 1; criterion <= 3; ++criterion) {
            const auto code = static_cast<FitCriterion>(criterion);
            const CriterionEvaluation evaluate(task, code);
            for (int point = 0; point < points; ++point) {
                long double sum = 0;
                for (int i = 1; i <= task.alleleCount; ++i) {
                    task.alleleFrequency[i] = point % 3 == 0 && i == 2 ? 0 : uniform(generator);
                    sum += task.alleleFrequency[i];
                }
                for (int i = 1; i <= task.alleleCount; ++i)
                    task.alleleFrequency[i] /= sum;
                const long double fast = evaluate(task.alleleFrequency.data());
                EXPECT_TRUE(near(fast, criterionValue(task, code), 0)) << criterion;
            }
        }
    };
    setUpTask(task, {"A", "B", "-"});
    setCounts(task, {186, 13, 38, 284});
    check(200);
    setUpTask(task, {"A B", "B C", "A C", "C", "-"}); // phenotypes of several genotypes
    std::vector<std::int64_t> counts;
    for (int r = 1; r <= task.phenotypeCount; ++r)
        counts.push_back(r % 3 == 0 ? 0 : 5 * r);
    setCounts(task, counts);
    check(200);
    setUpTask(task, {"A", "B", "C", "D"}, InheritanceMode::dominance);
    setCounts(task, {40, 30, 0, 10});
    check(200);
}

TEST(ExtendedLog, AgreesWithTheLibraryWithinTwoUnitsInTheLastPlace)
{
    std::mt19937_64 generator(11);
    std::uniform_real_distribution<double> exponent(-12, 1);
    std::uniform_real_distribution<long double> nearOne(-0x1p-7L, 0x1p-7L);
    long double worst = 0;
    for (int i = 0; i < 200000; ++i) {
        const long double x = i % 2 == 0
                                  ? std::pow(10.0L, static_cast<long double>(exponent(generator)))
                                  : 1 + nearOne(generator);
        const long double expected = std::log(x);
        if (expected == 0) continue;
        int binaryExponent = 0;
        std::frexp(expected, &binaryExponent);
        const long double ulp = std::ldexp(1.0L, binaryExponent - 64);
        worst = std::max(worst, std::fabs(extendedLog(x) - expected) / ulp);
    }
    EXPECT_LE(worst, 2) << "largest error in units in the last place";
    EXPECT_TRUE(near(extendedLog(1), 0, 0));
    EXPECT_TRUE(near(extendedLog(0.5L), -std::log(2.0L), 0));
    // Outside the range of the table the library answers.
    EXPECT_TRUE(near(extendedLog(1e-4000L), std::log(1e-4000L), 0));
    EXPECT_TRUE(std::isinf(extendedLog(0)));
}

} // namespace
