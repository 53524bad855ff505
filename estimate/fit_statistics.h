// Goodness of fit of one estimate beyond the pooled line of the report: the same pooled
// Pearson chi-square with the degrees of freedom of the estimated frequencies taken off
// and its probability from the chi-square distribution, the likelihood-ratio statistic
// G², and the Pearson residual of every phenotype. Entry points: chiSquareUpperTail,
// textbookTest, likelihoodRatioTest, pearsonResiduals.
#pragma once

#include "estimate/goodness_of_fit.h"
#include "task/task_state.h"

#include <cstdint>
#include <optional>
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

// G² = 2 Σ c_r ln(c_r / (N E_r)) over the observed phenotypes, with
// df = phenotypes − 1 − (alleles − 1). counts and expected are 0-based, one per phenotype;
// an expected frequency below expectedFloor is taken as expectedFloor, as in the pooled line.
ChiSquareTest likelihoodRatioTest(const std::vector<std::int64_t>& counts,
                                  const std::vector<long double>& expected, int alleleCount);

// (c_r − N E_r) / √(N E_r) per phenotype, E_r floored at expectedFloor.
std::vector<double> pearsonResiduals(const std::vector<std::int64_t>& counts,
                                     const std::vector<long double>& expected);
