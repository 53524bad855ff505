#include "estimate/criterion_evaluation.h"

#include "estimate/criterion_terms.h"

#include <array>

CriterionEvaluation::CriterionEvaluation(const TaskState& task, FitCriterion criterion)
    : task_(task), criterion_(criterion), tripleTotal_(static_cast<long double>(task.tripleTotal)),
      phenotypeStart_(static_cast<std::size_t>(task.phenotypeCount + 2))
{
    std::vector<int> genotypesOf(static_cast<std::size_t>(task.phenotypeCount + 1));
    for (int k = 1; k <= task.genotypeCount; ++k)
        ++genotypesOf[static_cast<std::size_t>(task.genotypePhenotype[k])];
    int start = 0;
    for (int r = 1; r <= task.phenotypeCount + 1; ++r) {
        phenotypeStart_[static_cast<std::size_t>(r)] = start;
        if (r <= task.phenotypeCount) start += genotypesOf[static_cast<std::size_t>(r)];
    }
    genotypes_.resize(static_cast<std::size_t>(task.genotypeCount));
    std::vector<int> next(phenotypeStart_);
    for (int k = 1; k <= task.genotypeCount; ++k) {
        const auto r = static_cast<std::size_t>(task.genotypePhenotype[k]);
        genotypes_[static_cast<std::size_t>(next[r]++)] = {task.genotypeFirstAllele[k],
                                                           task.genotypeSecondAllele[k]};
    }
}

template <FitCriterion criterion>
long double CriterionEvaluation::evaluate(const long double* p) const
{
    std::array<long double, maxAlleles + 1> logP{};
    if constexpr (criterion == FitCriterion::maximumLikelihood)
        alleleLogarithms(p, task_.alleleCount, logP.data());
    const Genotype* genotype = genotypes_.data();
    long double value = 0;
    for (int r = 1; r <= task_.phenotypeCount; ++r) {
        const Genotype* begin = genotype;
        const Genotype* end = genotypes_.data() + phenotypeStart_[static_cast<std::size_t>(r + 1)];
        long double e = 0;
        for (; genotype != end; ++genotype) {
            if (genotype->first == genotype->second)
                e += p[genotype->first] * p[genotype->first];
            else
                e += 2 * p[genotype->first] * p[genotype->second];
        }
        const long double o = task_.observedPhenotypeFrequency[r];
        if constexpr (criterion == FitCriterion::maximumLikelihood) {
            const bool single = end - begin == 1;
            value += likelihoodTerm(e, o, single ? begin->first : 0, single ? begin->second : 0,
                                    logP.data());
        } else if constexpr (criterion == FitCriterion::leastSquares) {
            value += leastSquaresTerm(e, o);
        } else {
            value += normalisedTerm(e, o, tripleTotal_);
        }
    }
    return value;
}

long double CriterionEvaluation::operator()(const long double* p) const
{
    switch (criterion_) {
    case FitCriterion::maximumLikelihood:
        return evaluate<FitCriterion::maximumLikelihood>(p);
    case FitCriterion::leastSquares:
        return evaluate<FitCriterion::leastSquares>(p);
    case FitCriterion::normalisedLeastSquares:
        return evaluate<FitCriterion::normalisedLeastSquares>(p);
    }
    return 0;
}
