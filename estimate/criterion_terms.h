// The share of one phenotype in each fit criterion, given its expected frequency e and
// observed frequency o. criterionValue and CriterionEvaluation both sum these terms in
// phenotype order, so the two compute the same value bit for bit.
#pragma once

#include "estimate/extended_log.h"
#include "estimate/fit_criteria.h"

// ln 2 rounded to extended precision.
constexpr long double ln2Extended = 0x1.62e42fefa39ef358p-1L;

// The logarithms of the allele frequencies p[1..n], where positive (entry 0 unused).
inline void alleleLogarithms(const long double* p, int n, long double* logP)
{
    for (int i = 1; i <= n; ++i)
        logP[i] = p[i] > 0 ? extendedLog(p[i]) : 0;
}

// ln e of a phenotype with e at or above the probability floor. A phenotype shown by one
// genotype (first, second) has e = p² or 2 p p', so its logarithm is the sum of the
// logarithms of the factors, taken once per allele rather than once per phenotype (most
// phenotypes of a large codominant task are of this kind); first = 0 marks a phenotype of
// several genotypes, whose sum needs a logarithm of its own.
inline long double logOfExpected(long double e, int first, int second, const long double* logP)
{
    if (first == 0) return extendedLog(e);
    if (first == second) return logP[first] + logP[first];
    return (logP[first] + logP[second]) + ln2Extended;
}

// Maximum likelihood: −o ln e for an observed phenotype, zeroPenalty when e is below the
// floor, nothing for an unobserved one.
inline long double likelihoodTerm(long double e, long double o, int first, int second,
                                  const long double* logP)
{
    if (!(o > 0)) return 0;
    if (e < probabilityFloor) return zeroPenalty;
    return -(o * logOfExpected(e, first, second, logP));
}

inline long double leastSquaresTerm(long double e, long double o)
{
    return (e - o) * (e - o);
}

inline long double normalisedTerm(long double e, long double o, long double tripleTotal)
{
    const long double d = (e - o) * (e - o);
    if (e < probabilityFloor || e > probabilityCeiling) return d * tripleTotal;
    return d * (1 / (e * (1 - e)));
}
