#include "estimate/fit_criteria.h"

#include "estimate/criterion_terms.h"

namespace {

long double maximumLikelihood(const TaskState& task)
{
    // The single genotype of each phenotype, or 0 for a phenotype of several (see
    // logOfExpected); on the stack, since the evaluation allocates nothing.
    std::array<int, maxPhenotypes + 1> single{};
    std::array<bool, maxPhenotypes + 1> seen{};
    for (int k = 1; k <= task.genotypeCount; ++k) {
        const auto r = static_cast<std::size_t>(task.genotypePhenotype[k]);
        single[r] = seen[r] ? 0 : k;
        seen[r] = true;
    }
    std::array<long double, maxAlleles + 1> logP{};
    alleleLogarithms(task.alleleFrequency.data(), task.alleleCount, logP.data());
    long double value = 0;
    for (int r = 1; r <= task.phenotypeCount; ++r) {
        const int k = single[static_cast<std::size_t>(r)];
        value += likelihoodTerm(
            task.expectedPhenotypeFrequency[r], task.observedPhenotypeFrequency[r],
            k ? task.genotypeFirstAllele[k] : 0, k ? task.genotypeSecondAllele[k] : 0, logP.data());
    }
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
    const auto& e = task.expectedPhenotypeFrequency;
    const auto& o = task.observedPhenotypeFrequency;
    long double value = 0;
    switch (criterion) {
    case FitCriterion::maximumLikelihood:
        return maximumLikelihood(task);
    case FitCriterion::leastSquares:
        for (int r = 1; r <= task.phenotypeCount; ++r)
            value += leastSquaresTerm(e[r], o[r]);
        break;
    case FitCriterion::normalisedLeastSquares: {
        const auto tripleTotal = static_cast<long double>(task.tripleTotal);
        for (int r = 1; r <= task.phenotypeCount; ++r)
            value += normalisedTerm(e[r], o[r], tripleTotal);
        break;
    }
    }
    return value;
}
