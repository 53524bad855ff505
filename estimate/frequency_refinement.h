// Constrained Newton refinement of allele frequencies: from a point of the simplex near a
// minimiser of a fit criterion, an active-set projected Newton iteration that ends where
// the optimality conditions on the simplex hold. The complex search stops up to 1e-2 from
// the optimum on large tasks, and now and then far from it or on a face where the optimum
// is not; this step makes its result the minimiser. Entry point: refineAlleleFrequencies.
#pragma once

#include "task/task_state.h"

// Replaces alleleFrequency[1..alleleCount] by the local minimiser of the criterion on the
// simplex nearest to it (in the Newton sense). Negative coordinates of the starting point
// are taken as 0 and the point is renormalised first. The result is never negative, sums
// to 1 and is never worse than the start. Uses the task's genotype table, observed
// frequencies and tripleTotal; expectedPhenotypeFrequency is left at some point evaluated
// on the way.
void refineAlleleFrequencies(TaskState& task, FitCriterion criterion);
