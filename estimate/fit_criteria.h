// The three fit criteria: expected phenotype frequencies under the Hardy–Weinberg law from
// the allele frequencies of the task, and how far they lie from the observed frequencies.
// Entry points: computeExpectedFrequencies, criterionValue. All arithmetic is 80-bit
// extended; both work in place on the task's estimation arrays and allocate nothing.
#pragma once

#include "task/task_state.h"

// An expected frequency strictly below it counts as zero (maximum likelihood and
// normalised least squares): no logarithm or division is ever taken of it.
constexpr long double probabilityFloor = 1e-10L;
// Added to the maximum-likelihood value for every observed phenotype whose expected
// frequency is below the floor.
constexpr long double zeroPenalty = 1e20L;
// An expected frequency strictly above it counts as one (normalised least squares).
constexpr long double probabilityCeiling = 0.9999999999L;

// Rewrites expectedPhenotypeFrequency[1..phenotypeCount] from alleleFrequency and the
// genotype table: p[a]² for a homozygote, 2 p[a] p[b] for a heterozygote, summed over the
// genotypes of each phenotype in table order.
void computeExpectedFrequencies(TaskState& task);

// Recomputes the expected frequencies at the task's alleleFrequency, then returns the
// criterion (smaller is better):
// - maximum likelihood: minus the log-likelihood per individual, Σ −O ln E over the
//   observed phenotypes;
// - least squares: Σ (E − O)²;
// - normalised least squares: Σ (E − O)² / (E (1 − E)), the weight being tripleTotal for
//   an expected frequency outside [probabilityFloor, probabilityCeiling].
// Any other code gives 0.
long double criterionValue(TaskState& task, FitCriterion criterion);
