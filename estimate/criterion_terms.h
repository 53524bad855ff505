// The share of one phenotype in each fit criterion, given its expected frequency e and
// observed frequency o. criterionValue and CriterionEvaluation both sum these terms in
// phenotype order, so the two compute the same value bit for bit.
#pragma once

#include "estimate/extended_log.h"
#include "estimate/fit_criteria.h"

template <FitCriterion criterion>
inline long double criterionTerm(long double e, long double o, long double tripleTotal)
{
    if constexpr (criterion == FitCriterion::maximumLikelihood) {
        if (!(o > 0)) return 0;
        if (e < probabilityFloor) return zeroPenalty;
        return -(o * extendedLog(e));
    } else if constexpr (criterion == FitCriterion::leastSquares) {
        return (e - o) * (e - o);
    } else {
        const long double d = (e - o) * (e - o);
        if (e < probabilityFloor || e > probabilityCeiling) return d * tripleTotal;
        return d * (1 / (e * (1 - e)));
    }
}
