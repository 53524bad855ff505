// Optima of the fit criteria found independently of the program's search, to measure it
// against: gene counting for maximum likelihood, the closed form of the dominance series,
// and a plain Newton iteration in the interior of the simplex for the least-squares
// criteria of codominant tasks.
#pragma once

#include "task/task_state.h"

#include <vector>

// Maximum likelihood by gene counting (the EM iteration of the genotype counts), from the
// centre of the simplex until it no longer moves. Frequencies of allele 1 first.
std::vector<long double> geneCountingOptimum(const TaskState& task);

// Dominance series, most dominant allele first: p_k = √S_k − √S_(k+1), S_k the observed
// frequency of phenotypes k..n. The expected frequencies then equal the observed ones,
// which minimises all three criteria.
std::vector<long double> dominanceOptimum(const TaskState& task);

// Newton's method on the n − 1 free coordinates (the last allele takes the rest), with
// derivatives of its own, from the given start; the optimum must lie inside the simplex.
std::vector<long double> interiorNewtonOptimum(const TaskState& task, FitCriterion criterion,
                                               std::vector<long double> start);
