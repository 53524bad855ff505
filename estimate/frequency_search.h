// The search for the allele frequencies that minimise a fit criterion over the simplex
// (every frequency in [0, 1], their sum 1): Box's complex method, a derivative-free
// relative of the simplex search, followed by a constrained Newton refinement that takes
// the best vertex of the complex to the exact minimiser. Entry point:
// estimateAlleleFrequencies.
#pragma once

#include "task/task_state.h"

// Largest reflection factor of the worst vertex through the centroid of the others; also
// the factor used when a boundary crushes it below minimumStep.
constexpr long double reflectionFactor = 1.3L;
constexpr long double minimumStep = 0.01L;
// A trial point is renormalised when its sum is further than this from 1; also the largest
// squared distance between two vertices at convergence.
constexpr long double sumTolerance = 1e-8L;
// Contraction gives up when the trial point is this close (sum of absolute differences) to
// the reduced centroid; also the largest variance of the vertex values at convergence.
constexpr long double valueTolerance = 1e-9L;

// Box's complex search alone: 2n vertices, the first at the centre of the simplex and the
// others drawn from the program-wide random generator (n numbers each), the worst vertex
// reflected through the centroid of the others until the values and the vertices have
// converged or no contraction helps. Leaves the best vertex in alleleFrequency[1..n]
// (n = alleleCount, 2..50). The trial points are evaluated by CriterionEvaluation, which
// gives criterionValue's values without writing expectedPhenotypeFrequency.
void runComplexSearch(TaskState& task, FitCriterion criterion);

// The estimate: the complex search, then refineAlleleFrequencies from its best vertex.
// On return alleleFrequency[1..n] holds frequencies that are never negative and sum to 1;
// expectedPhenotypeFrequency belongs to some point evaluated on the way (not to the
// result), so the caller recomputes it.
void estimateAlleleFrequencies(TaskState& task, FitCriterion criterion);
