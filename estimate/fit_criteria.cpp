#include "estimate/fit_criteria.h"

#include "estimate/criterion_terms.h"

namespace {

template <FitCriterion criterion> long double sumTerms(const TaskState& task)
{
    const auto tripleTotal = static_cast<long double>(task.tripleTotal);
    long double value = 0;
    for (int r = 1; r <= task.phenotypeCount; ++r)
        value += criterionTerm<criterion>(task.expectedPhenotypeFrequency[r],
                                          task.observedPhenotypeFrequency[r], tripleTotal);
    return value;
}

} // namespace

void computeExpectedFrequencies(TaskState& task)
{
    auto& e = task.expectedPhenotypeFrequency;
    const auto& p = task.alleleFrequency;
    for (int r = 1; r <= task.phenotypeCount; ++r)
        e[r] = 0;
    for (int k = 1; k <= task.genotypeCount; ++k) {
        const int a = task.genotypeFirstAllele[k];
        const int b = task.genotypeSecondAllele[k];
        if (a == b)
            e[task.genotypePhenotype[k]] += p[a] * p[a];
        else
            e[task.genotypePhenotype[k]] += 2 * p[a] * p[b];
    }
}

long double criterionValue(TaskState& task, FitCriterion criterion)
{
    computeExpectedFrequencies(task);
    switch (criterion) {
    case FitCriterion::maximumLikelihood:
        return sumTerms<FitCriterion::maximumLikelihood>(task);
    case FitCriterion::leastSquares:
        return sumTerms<FitCriterion::leastSquares>(task);
    case FitCriterion::normalisedLeastSquares:
        return sumTerms<FitCriterion::normalisedLeastSquares>(task);
    }
    return 0;
}
