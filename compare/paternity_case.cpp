#include "compare/paternity_case.h"

#include <cmath>

namespace {

// P(genotype | phenotype f) for the genotypes f shows, or nothing when P(f) = 0.
std::optional<std::vector<long double>> conditional(const ParentageSystem& system,
                                                    const std::vector<long double>& genotype, int f)
{
    std::vector<long double> shares;
    long double sum = 0;
    for (const int k : system.genotypesOf(f)) {
        shares.push_back(genotype[static_cast<std::size_t>(k)]);
        sum += shares.back();
    }
    if (!(sum > 0)) return std::nullopt;
    for (long double& x : shares)
        x /= sum;
    return shares;
}

// P(child of phenotype c | one parent of genotype k, the other a random member of the
// population, who gives allele a with probability p_a).
long double withRandomOther(const ParentageSystem& system, const std::vector<long double>& p, int k,
                            int c)
{
    long double sum = 0;
    for (const int from : {system.firstAllele(k), system.secondAllele(k)})
        for (int a = 0; a < system.alleleCount(); ++a)
            if (system.phenotypeOf(system.genotypeOf(from, a)) == c)
                sum += p[static_cast<std::size_t>(a)] / 2;
    return sum;
}

// P(child of phenotype c | parents of genotypes k and l).
long double fromParents(const ParentageSystem& system, int k, int l, int c)
{
    long double sum = 0;
    for (const int x : {system.firstAllele(k), system.secondAllele(k)})
        for (const int y : {system.firstAllele(l), system.secondAllele(l)})
            if (system.phenotypeOf(system.genotypeOf(x, y)) == c) sum += 0.25L;
    return sum;
}

} // namespace

SystemVerdict judgeSystem(const ParentageSystem& system, const std::vector<long double>& p,
                          const CasePhenotypes& phenotypes)
{
    SystemVerdict verdict;
    const int c = phenotypes.child;
    const int f = phenotypes.father;
    const std::uint64_t needed =
        phenotypes.mother ? system.paternalAlleles(*phenotypes.mother, c) : system.allelesOf(c);
    if (phenotypes.mother && needed == 0) {
        verdict.motherIncompatible = true;
        return verdict;
    }
    verdict.excluded = (system.allelesOf(f) & needed) == 0;
    if (verdict.excluded) return verdict;

    const std::vector<long double> genotype = system.genotypeProbabilities(p);
    const auto father = conditional(system, genotype, f);
    if (!father) return verdict;
    const std::vector<int>& fatherGenotypes = system.genotypesOf(f);
    long double x = 0;
    long double y = 0;
    if (phenotypes.mother) {
        const auto mother = conditional(system, genotype, *phenotypes.mother);
        if (!mother) return verdict;
        const std::vector<int>& motherGenotypes = system.genotypesOf(*phenotypes.mother);
        for (std::size_t i = 0; i < motherGenotypes.size(); ++i) {
            y += (*mother)[i] * withRandomOther(system, p, motherGenotypes[i], c);
            for (std::size_t j = 0; j < fatherGenotypes.size(); ++j)
                x += (*mother)[i] * (*father)[j] *
                     fromParents(system, motherGenotypes[i], fatherGenotypes[j], c);
        }
    } else {
        for (std::size_t j = 0; j < fatherGenotypes.size(); ++j)
            x += (*father)[j] * withRandomOther(system, p, fatherGenotypes[j], c);
        y = system.phenotypeProbabilities(p)[static_cast<std::size_t>(c)];
    }
    if (y > 0) verdict.paternityIndex = static_cast<double>(x / y);
    return verdict;
}

CaseVerdict combineSystems(const std::vector<SystemVerdict>& systems)
{
    CaseVerdict verdict;
    double index = 1;
    bool defined = !systems.empty();
    for (const SystemVerdict& system : systems) {
        verdict.excluded = verdict.excluded || system.excluded;
        if (system.paternityIndex)
            index *= *system.paternityIndex;
        else
            defined = false;
    }
    if (verdict.excluded || !defined || !std::isfinite(index)) return verdict;
    verdict.combinedIndex = index;
    verdict.probabilityOfPaternity = index / (index + 1);
    return verdict;
}
