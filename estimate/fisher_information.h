// Standard errors of the maximum-likelihood allele frequencies from the expected (Fisher)
// information of the multinomial phenotype counts under the Hardy–Weinberg law, and the
// 95% Wald intervals built on them. Entry points: informationCovariance,
// maximumLikelihoodCovariance, maximumLikelihoodErrors.
#pragma once

#include "task/task_state.h"

#include <cstdint>
#include <optional>
#include <vector>

// An estimate below it lies on the boundary of the simplex: the information there is not
// the curvature of an interior maximum, so its standard error is not defined.
constexpr long double boundaryFrequency = 1e-6L;

// Why a standard error is missing.
enum class ErrorGap
{
    none,
    boundary, // the estimate lies on the boundary (below boundaryFrequency)
    singular, // the information matrix of the free frequencies is singular
};

struct AlleleError
{
    ErrorGap gap = ErrorGap::none;
    double standardError = 0; // meaningful only without a gap
    double lower = 0;         // 95% Wald interval, clipped to [0, 1]
    double upper = 0;
};

// The covariance matrix (n × n, row-major, allele 1 first) of the frequencies p (0-based,
// n entries summing to 1) for a sample of `total` individuals: the inverse of
// I = total · Σ_r (∂E_r/∂θ)(∂E_r/∂θ)ᵀ / E_r over the phenotypes with E_r > 0, θ being the
// frequencies of the alleles marked free other than `dropped` (0-based, itself free),
// whose frequency is 1 minus theirs. Alleles not free are held at their value and get
// zero rows. Nothing when the information is singular or not finite.
std::optional<std::vector<long double>> informationCovariance(const TaskState& task,
                                                              const std::vector<long double>& p,
                                                              const std::vector<bool>& free,
                                                              int dropped, std::int64_t total);

// The covariance of the maximum-likelihood estimate (0-based, one per allele): alleles
// below boundaryFrequency held at 0 (zero rows), the others free with the largest frequency
// taken by difference. Nothing when every allele is on the boundary or the information is
// singular.
std::optional<std::vector<long double>>
maximumLikelihoodCovariance(const TaskState& task, const std::vector<long double>& estimate,
                            std::int64_t total);

// Standard errors and Wald intervals of the maximum-likelihood estimate (0-based, one per
// allele): alleles below boundaryFrequency are held at 0 and marked as boundary, the
// others are computed with the largest frequency taken by difference.
std::vector<AlleleError> maximumLikelihoodErrors(const TaskState& task,
                                                 const std::vector<long double>& estimate,
                                                 std::int64_t total);
