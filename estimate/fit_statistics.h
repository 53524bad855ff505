// Goodness of fit of one estimate beyond the pooled line of the report: the same pooled
// Pearson chi-square with the degrees of freedom of the estimated frequencies taken off, the
// Pearson X² and the likelihood-ratio G² on the unpooled phenotype classes, each with its
// probability from the chi-square distribution, and the Pearson residual of every
// phenotype. Entry points: chiSquareUpperTail, textbookTest, pearsonTest,
// likelihoodRatioTest, pearsonResiduals.
#pragma once

#include "estimate/goodness_of_fit.h"
#include "task/task_state.h"

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

// A statistic with its degrees of freedom and upper-tail probability; both are missing
// when the degrees of freedom are 0 or fewer.
struct ChiSquareTest
{
    double statistic = 0;
    std::optional<int> degreesOfFreedom;
    std::optional<double> probability;
};

// P(X ≥ x) for a chi-square variable with df ≥ 1 degrees of freedom.
double chiSquareUpperTail(double x, int degreesOfFreedom);

// The pooled line's chi-square with df = classes − 1 − (alleles − 1).
ChiSquareTest textbookTest(const FitTest& pooled, int alleleCount);

// Whether a phenotype class takes part in the tests on the unpooled classes: a class that
// nobody shows and that the estimate does not expect (an expected frequency below
// expectedFloor, where an absent allele puts it) says nothing and is left out of the sums
// and of the classes.
bool takesPart(std::int64_t count, long double expected);

// The degrees of freedom of the unpooled tests: the classes taking part, less 1, less the
// alleleCount − 1 estimated frequencies. counts and expected are 0-based, one per phenotype.
int unpooledDegreesOfFreedom(std::span<const std::int64_t> counts,
                             std::span<const long double> expected, int alleleCount);

// X² = Σ (c_r − N E_r)² / (N E_r) over the classes taking part, E_r floored at
// expectedFloor, N = total (the sum of the counts); summed in extended precision.
double pearsonStatistic(std::span<const std::int64_t> counts, std::span<const long double> expected,
                        std::int64_t total);

// G² = 2 Σ c_r ln(c_r / (N E_r)) over the observed classes, E_r floored at expectedFloor.
double likelihoodRatioStatistic(std::span<const std::int64_t> counts,
                                std::span<const long double> expected, std::int64_t total);

// The two tests on the unpooled classes, with unpooledDegreesOfFreedom.
ChiSquareTest pearsonTest(const std::vector<std::int64_t>& counts,
                          const std::vector<long double>& expected, int alleleCount);
ChiSquareTest likelihoodRatioTest(const std::vector<std::int64_t>& counts,
                                  const std::vector<long double>& expected, int alleleCount);

// (c − N E_r) / √(N E_r) per phenotype, E_r floored at expectedFloor.
std::vector<double> pearsonResiduals(const std::vector<std::int64_t>& counts,
                                     const std::vector<long double>& expected);
