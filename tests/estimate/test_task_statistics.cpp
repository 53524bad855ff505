// The immediate inference figures, checked against computations written here apart from
// the product: a numerical Hessian of the log-likelihood, the closed forms of the
// chi-square tail for 1 to 3 degrees of freedom, and hand sums.
#include "estimate/calculation_run.h"
#include "estimate/statistics_texts.h"
#include "estimate/task_statistics.h"
#include "platform/random.h"
#include "tests/estimate/sample_statistics.h"
#include "tests/estimate/sample_tasks.h"
#include "tests/support/near.h"

#include <cmath>
#include <numbers>

namespace {

TaskState sample; // the task under test

TaskStatistics statisticsOf(const std::vector<std::int64_t>& counts)
{
    return statisticsOf(sample, counts);
}

// Expected phenotype frequencies from the genotype table, summed here.
std::vector<long double> expectedAt(const std::vector<long double>& p)
{
    std::vector<long double> e(static_cast<std::size_t>(sample.phenotypeCount));
    for (int g = 1; g <= sample.genotypeCount; ++g) {
        const long double pa = p[static_cast<std::size_t>(sample.genotypeFirstAllele[g] - 1)];
        const long double pb = p[static_cast<std::size_t>(sample.genotypeSecondAllele[g] - 1)];
        e[static_cast<std::size_t>(sample.genotypePhenotype[g] - 1)] +=
            sample.genotypeFirstAllele[g] == sample.genotypeSecondAllele[g] ? pa * pa : 2 * pa * pb;
    }
    return e;
}

// Standard errors from the numerical Hessian of the expected log-likelihood
// N Σ E_r(p) ln E_r(θ) (the observed one when the counts fit exactly), in the first n − 1
// frequencies, the last by difference; the inverse of the 2 × 2 case written out.
std::vector<long double> numericalErrors(const std::vector<long double>& p, long double total)
{
    const std::vector<long double> weights = expectedAt(p);
    const auto logLikelihood = [&](long double x, long double y) {
        std::vector<long double> q = {x, y, 1 - x - y};
        const std::vector<long double> e = expectedAt(q);
        long double sum = 0;
        for (std::size_t r = 0; r < e.size(); ++r)
            if (weights[r] > 0) sum += total * weights[r] * std::log(e[r]);
        return sum;
    };
    const long double h = 1e-4L;
    const long double x = p[0];
    const long double y = p[1];
    const long double f = logLikelihood(x, y);
    const long double hxx = (logLikelihood(x + h, y) - 2 * f + logLikelihood(x - h, y)) / (h * h);
    const long double hyy = (logLikelihood(x, y + h) - 2 * f + logLikelihood(x, y - h)) / (h * h);
    const long double hxy = (logLikelihood(x + h, y + h) - logLikelihood(x + h, y - h) -
                             logLikelihood(x - h, y + h) + logLikelihood(x - h, y - h)) /
                            (4 * h * h);
    const long double det = hxx * hyy - hxy * hxy;
    const long double vxx = -hyy / det;
    const long double vyy = -hxx / det;
    const long double vxy = hxy / det;
    return {std::sqrt(vxx), std::sqrt(vyy), std::sqrt(vxx + vyy + 2 * vxy)};
}

double tailOfChiSquare(double x, int df)
{
    if (df == 1) return std::erfc(std::sqrt(x / 2));
    if (df == 2) return std::exp(-x / 2);
    return std::erfc(std::sqrt(x / 2)) + std::sqrt(2 * x / std::numbers::pi) * std::exp(-x / 2);
}

} // namespace

TEST(FisherInformation, TwoCodominantAllelesGiveTheBinomialError)
{
    // A/A, A/B, B/B = 30, 50, 20: p = (60 + 50) / 200 = 0.55; SE = √(pq / 2N).
    setUpTask(sample, {"A", "B"});
    const auto errors = maximumLikelihoodErrors(sample, {0.55L, 0.45L}, 100);
    const double expected = std::sqrt(0.55 * 0.45 / 200);
    for (const AlleleError& error : errors) {
        ASSERT_EQ(error.gap, ErrorGap::none);
        EXPECT_TRUE(near(error.standardError, expected, 1e-15));
    }
    EXPECT_TRUE(near(errors[0].lower, 0.55 - 1.959963984540054 * expected, 1e-12));
    EXPECT_TRUE(near(errors[1].upper, 0.45 + 1.959963984540054 * expected, 1e-12));
}

TEST(FisherInformation, AgreesWithTheNumericalHessian)
{
    const auto check = [](const std::vector<long double>& p, std::int64_t total) {
        const auto errors = maximumLikelihoodErrors(sample, p, total);
        const auto numerical = numericalErrors(p, static_cast<long double>(total));
        for (std::size_t i = 0; i < 3; ++i) {
            ASSERT_EQ(errors[i].gap, ErrorGap::none);
            EXPECT_TRUE(near(errors[i].standardError, numerical[i], 1e-6L * numerical[i]))
                << "allele " << i + 1;
        }
    };
    setUpTask(sample, {"A", "B", "-"}); // A, A B, B, - (the ABO system)
    check({0.2945L, 0.0708L, 0.6347L}, 521);
    setUpTask(sample, {"A", "B", "C"}, InheritanceMode::dominance); // A > B > C
    check({0.3L, 0.5L, 0.2L}, 400);
    setUpTask(sample, {"A", "B", "C"}); // six codominant phenotypes
    check({0.1L, 0.3L, 0.6L}, 1000);
}

TEST(FisherInformation, DoesNotDependOnTheDroppedAllele)
{
    setUpTask(sample, {"A", "B", "C", "-"});
    const std::vector<long double> p = {0.1L, 0.2L, 0.3L, 0.4L};
    const std::vector<bool> free(4, true);
    const auto reference = informationCovariance(sample, p, free, 3, 250);
    ASSERT_TRUE(reference);
    for (int dropped = 0; dropped < 3; ++dropped) {
        const auto covariance = informationCovariance(sample, p, free, dropped, 250);
        ASSERT_TRUE(covariance);
        for (std::size_t c = 0; c < reference->size(); ++c)
            EXPECT_TRUE(near((*covariance)[c], (*reference)[c], 1e-14L))
                << "dropped " << dropped << ", cell " << c;
    }
}

TEST(FisherInformation, BoundaryAndSingularCasesAreNotDefined)
{
    // C never observed: its estimate is 0, it is held there, and A and B get the error of a
    // two-allele task.
    setUpTask(sample, {"A", "B", "C"});
    const auto errors = maximumLikelihoodErrors(sample, {0.55L, 0.45L, 1e-9L}, 100);
    EXPECT_EQ(errors[2].gap, ErrorGap::boundary);
    EXPECT_TRUE(near(errors[0].standardError, std::sqrt(0.55 * 0.45 / 200), 1e-10));
    EXPECT_TRUE(near(errors[1].standardError, std::sqrt(0.55 * 0.45 / 200), 1e-10));

    // Every genotype shows the one phenotype: the counts say nothing about the frequencies.
    TaskState blind;
    blind.alleleCount = 2;
    blind.phenotypeCount = 1;
    blind.genotypeCount = 3;
    blind.genotypeFirstAllele = {0, 1, 1, 2};
    blind.genotypeSecondAllele = {0, 1, 2, 2};
    blind.genotypePhenotype = {0, 1, 1, 1};
    for (const AlleleError& error : maximumLikelihoodErrors(blind, {0.5L, 0.5L}, 10))
        EXPECT_EQ(error.gap, ErrorGap::singular);

    // Only one allele left off the boundary: its frequency is fixed at 1.
    const auto fixed = maximumLikelihoodErrors(sample, {1, 0, 0}, 50);
    EXPECT_EQ(fixed[0].gap, ErrorGap::none);
    EXPECT_TRUE(near(fixed[0].standardError, 0, 0));
}

TEST(TaskStatistics, ExactFitOfTwoAlleles)
{
    // 36, 48, 16 (N = 100): p = 0.6, SE = √(0.24 / 200); no pooling, so the report's df 2
    // less one estimated frequency leaves 1; chi-square, G² and every residual are 0.
    setUpTask(sample, {"A", "B"});
    const TaskStatistics statistics = statisticsOf({36, 48, 16});
    const CriterionStatistics& ml = statistics.criteria[0];
    EXPECT_TRUE(near(ml.standardErrors[0].standardError, std::sqrt(0.24 / 200), 1e-9));
    EXPECT_EQ(ml.pooled.degreesOfFreedom, 2);
    EXPECT_EQ(ml.textbook.degreesOfFreedom, 1);
    EXPECT_TRUE(near(*ml.textbook.probability, 1, 1e-9));
    for (const CriterionStatistics& criterion : statistics.criteria) {
        EXPECT_TRUE(near(criterion.likelihoodRatio.statistic, 0, 1e-9));
        EXPECT_EQ(criterion.likelihoodRatio.degreesOfFreedom, 1);
        for (const double residual : criterion.residuals)
            EXPECT_TRUE(near(residual, 0, 1e-7));
    }
    EXPECT_TRUE(statistics.criteria[1].standardErrors.empty());
}

TEST(TaskStatistics, UnpooledTestsEqualTheHandComputation)
{
    // 30, 50, 20 (N = 100): p = 110 / 200 = 0.55, expected 30.25, 49.5, 20.25. X² =
    // 0.25² / 30.25 + 0.5² / 49.5 + 0.25² / 20.25 = 1/484 + 1/198 + 1/324; G² = 2 Σ c ln(c / m);
    // df 3 − 1 − 1 = 1.
    setUpTask(sample, {"A", "B"});
    const CriterionStatistics ml = statisticsOf({30, 50, 20}).criteria[0];
    const double x2 = 1.0 / 484 + 1.0 / 198 + 1.0 / 324;
    const double g2 =
        2 * (30 * std::log(30 / 30.25) + 50 * std::log(50 / 49.5) + 20 * std::log(20 / 20.25));
    EXPECT_TRUE(near(ml.pearson.statistic, x2, 1e-12));
    EXPECT_TRUE(near(ml.likelihoodRatio.statistic, g2, 1e-12));
    EXPECT_EQ(ml.pearson.degreesOfFreedom, 1);
    EXPECT_TRUE(near(*ml.pearson.probability, tailOfChiSquare(x2, 1), 1e-12));
    EXPECT_TRUE(near(*ml.likelihoodRatio.probability, tailOfChiSquare(g2, 1), 1e-12));
    EXPECT_FALSE(ml.saturated());
}

TEST(TaskStatistics, SaturatedModelsHaveNoProbability)
{
    // A dominance series of three alleles shows three phenotypes: df 3 − 1 − 2 = 0. With B
    // absent, A B and B are neither observed nor expected and leave two classes: df −1. The
    // pooled line keeps its table p; nothing else has one.
    setUpTask(sample, {"C", "Ch", "-"}, InheritanceMode::dominance);
    const TaskStatistics dominance = statisticsOf({102, 51, 47});
    setUpTask(sample, {"A", "B", "-"});
    const TaskStatistics absent = statisticsOf({30, 0, 0, 70});
    for (const TaskStatistics* statistics : {&dominance, &absent})
        for (const CriterionStatistics& criterion : statistics->criteria) {
            EXPECT_TRUE(criterion.saturated());
            for (const ChiSquareTest* test :
                 {&criterion.textbook, &criterion.pearson, &criterion.likelihoodRatio}) {
                EXPECT_FALSE(test->degreesOfFreedom);
                EXPECT_FALSE(test->probability);
            }
            EXPECT_TRUE(near(criterion.pearson.statistic, 0, 1e-6));
        }
    EXPECT_EQ(dominance.criteria[0].pooled.degreesOfFreedom, 2);
    EXPECT_EQ(absent.criteria[0].pooled.degreesOfFreedom, 1);
}

TEST(TaskStatistics, TestsAgainstClosedForms)
{
    // ABO 186, 13, 38, 284: four classes, no pooling, two estimated frequencies: df 1 for
    // both the Pearson and the likelihood-ratio test.
    setUpTask(sample, {"A", "B", "-"});
    const std::vector<std::int64_t> counts = {186, 13, 38, 284};
    const TaskStatistics statistics = statisticsOf(counts);
    for (const CriterionStatistics& criterion : statistics.criteria) {
        ASSERT_EQ(criterion.textbook.degreesOfFreedom, 1);
        EXPECT_TRUE(near(*criterion.textbook.probability,
                         tailOfChiSquare(criterion.pooled.chiSquare, 1), 1e-9));
    }
    const CriterionStatistics& ml = statistics.criteria[0];
    long double g2 = 0;
    for (std::size_t r = 0; r < 4; ++r) {
        const long double c = static_cast<long double>(counts[r]);
        const long double m = 521 * ml.expected[r];
        g2 += 2 * c * std::log(c / m);
        EXPECT_TRUE(near(ml.residuals[r], (c - m) / std::sqrt(m), 1e-12)) << "phenotype " << r;
    }
    EXPECT_TRUE(near(ml.likelihoodRatio.statistic, g2, 1e-9));
    EXPECT_TRUE(
        near(*ml.likelihoodRatio.probability, tailOfChiSquare(static_cast<double>(g2), 1), 1e-9));
    // No class is pooled: the unpooled X² is the pooled line's chi-square.
    EXPECT_TRUE(near(ml.pearson.statistic, ml.pooled.chiSquare, 1e-9));

    // Six codominant phenotypes of three alleles, none pooled: df 5 − 2 = 3.
    setUpTask(sample, {"A", "B", "C"});
    const TaskStatistics six = statisticsOf({20, 30, 25, 40, 35, 50});
    EXPECT_EQ(six.criteria[0].textbook.degreesOfFreedom, 3);
    EXPECT_TRUE(near(*six.criteria[0].textbook.probability,
                     tailOfChiSquare(six.criteria[0].pooled.chiSquare, 3), 1e-9));
}

TEST(TaskStatistics, TextbookDegreesOfFreedomReachZero)
{
    // 95, 4, 1: the two small classes are pooled, two classes remain (report df 1), and one
    // estimated frequency leaves 0: no textbook probability. The unpooled tests keep their
    // 3 − 1 − 1 = 1.
    setUpTask(sample, {"A", "B"});
    const TaskStatistics statistics = statisticsOf({95, 4, 1});
    for (const CriterionStatistics& criterion : statistics.criteria) {
        EXPECT_EQ(criterion.pooled.degreesOfFreedom, 1);
        EXPECT_FALSE(criterion.textbook.degreesOfFreedom);
        EXPECT_FALSE(criterion.textbook.probability);
    }
    EXPECT_EQ(statistics.criteria[0].likelihoodRatio.degreesOfFreedom, 1);
    EXPECT_EQ(statistics.criteria[0].pearson.degreesOfFreedom, 1);
}

TEST(TaskStatistics, TheBootstrapWarningNamesAtMostFivePhenotypes)
{
    // Eleven phenotypes of A, B, C, D, -, two observed: five names and the number left.
    setUpTask(sample, {"A", "B", "C", "D", "-"});
    const TaskStatistics statistics = statisticsOf({60, 0, 0, 0, 0, 0, 0, 0, 0, 0, 40});
    EXPECT_EQ(
        bootstrapWarning(sample, statistics, nullptr)
            .substr(0, std::string("Фенотипы «A B», «A C», «A D», «B», «B C» и еще 4 в").size()),
        "Фенотипы «A B», «A C», «A D», «B», «B C» и еще 4 в");
}
