#include "compare/forensic_figures.h"

#include <algorithm>
#include <map>
#include <utility>

namespace {

constexpr std::uint64_t bit(int allele)
{
    return std::uint64_t{1} << allele;
}

} // namespace

ParentageSystem::ParentageSystem(const TaskState& task)
    : alleles_(task.alleleCount), phenotypes_(task.phenotypeCount),
      phenotypeGenotypes_(static_cast<std::size_t>(task.phenotypeCount)),
      phenotypeAlleles_(static_cast<std::size_t>(task.phenotypeCount), 0),
      phenotypesWithAllele_(static_cast<std::size_t>(task.alleleCount))
{
    const auto n = static_cast<std::size_t>(alleles_);
    for (int k = 1; k <= task.genotypeCount; ++k) {
        const Genotype g{task.genotypeFirstAllele[static_cast<std::size_t>(k)] - 1,
                         task.genotypeSecondAllele[static_cast<std::size_t>(k)] - 1,
                         task.genotypePhenotype[static_cast<std::size_t>(k)] - 1};
        phenotypeGenotypes_[static_cast<std::size_t>(g.phenotype)].push_back(
            static_cast<int>(genotypes_.size()));
        genotypes_.push_back(g);
        phenotypeAlleles_[static_cast<std::size_t>(g.phenotype)] |= bit(g.first) | bit(g.second);
    }
    for (int f = 0; f < phenotypes_; ++f)
        for (int a = 0; a < alleles_; ++a)
            if (phenotypeAlleles_[static_cast<std::size_t>(f)] & bit(a))
                phenotypesWithAllele_[static_cast<std::size_t>(a)].push_back(f);

    std::map<std::pair<int, int>, int> pairNumbers;
    pairOf_.resize(2 * genotypes_.size() * n);
    for (std::size_t k = 0; k < genotypes_.size(); ++k) {
        const Genotype& mother = genotypes_[k];
        for (int s = 0; s < 2; ++s) {
            const int given = s == 0 ? mother.first : mother.second;
            for (int a = 0; a < alleles_; ++a) {
                const int child = phenotypeOf(genotypeOf(given, a));
                const auto [at, added] = pairNumbers.try_emplace({mother.phenotype, child},
                                                                 static_cast<int>(pairs_.size()));
                if (added) pairs_.push_back({mother.phenotype, child, 0, 0});
                pairs_[static_cast<std::size_t>(at->second)].paternal |= bit(a);
                pairOf_[(2 * k + static_cast<std::size_t>(s)) * n + static_cast<std::size_t>(a)] =
                    at->second;
            }
        }
    }
    std::map<std::uint64_t, int> setNumbers;
    const auto setOf = [&](std::uint64_t alleles) {
        const auto [at, added] =
            setNumbers.try_emplace(alleles, static_cast<int>(fatherSets_.size()));
        if (added) fatherSets_.push_back(alleles);
        return at->second;
    };
    for (Pair& pair : pairs_)
        pair.set = setOf(pair.paternal);
    for (const std::uint64_t alleles : phenotypeAlleles_)
        childSet_.push_back(setOf(alleles));
}

int ParentageSystem::genotypeOf(int a, int b) const
{
    if (a > b) std::swap(a, b);
    // The table lists (1,1), (1,2) … (1,n), (2,2) … (n,n).
    return a * alleles_ - a * (a - 1) / 2 + (b - a);
}

std::uint64_t ParentageSystem::paternalAlleles(int m, int c) const
{
    for (const Pair& pair : pairs_)
        if (pair.mother == m && pair.child == c) return pair.paternal;
    return 0;
}

std::vector<long double>
ParentageSystem::genotypeProbabilities(const std::vector<long double>& p) const
{
    std::vector<long double> probability;
    probability.reserve(genotypes_.size());
    for (const Genotype& g : genotypes_) {
        const long double pq =
            p[static_cast<std::size_t>(g.first)] * p[static_cast<std::size_t>(g.second)];
        probability.push_back(g.first == g.second ? pq : 2 * pq);
    }
    return probability;
}

std::vector<long double>
ParentageSystem::phenotypeProbabilities(const std::vector<long double>& p) const
{
    const std::vector<long double> genotype = genotypeProbabilities(p);
    std::vector<long double> phenotype(static_cast<std::size_t>(phenotypes_), 0);
    for (std::size_t k = 0; k < genotypes_.size(); ++k)
        phenotype[static_cast<std::size_t>(genotypes_[k].phenotype)] += genotype[k];
    return phenotype;
}

long double ParentageSystem::excludedMass(std::uint64_t alleles,
                                          const std::vector<long double>& phenotype,
                                          long double total, std::vector<int>& stamp,
                                          int mark) const
{
    long double compatible = 0;
    for (int a = 0; a < alleles_; ++a) {
        if (!(alleles & bit(a))) continue;
        for (const int f : phenotypesWithAllele_[static_cast<std::size_t>(a)]) {
            int& seen = stamp[static_cast<std::size_t>(f)];
            if (seen == mark) continue;
            seen = mark;
            compatible += phenotype[static_cast<std::size_t>(f)];
        }
    }
    return std::max(total - compatible, 0.0L);
}

ForensicFigures ParentageSystem::figures(const std::vector<long double>& p) const
{
    const auto n = static_cast<std::size_t>(alleles_);
    const std::vector<long double> genotype = genotypeProbabilities(p);
    std::vector<long double> phenotype(static_cast<std::size_t>(phenotypes_), 0);
    for (std::size_t k = 0; k < genotypes_.size(); ++k)
        phenotype[static_cast<std::size_t>(genotypes_[k].phenotype)] += genotype[k];
    long double total = 0;
    long double match = 0;
    for (const long double x : phenotype) {
        total += x;
        match += x * x;
    }

    // P(mother m, child c): the mother's genotype, one of her two alleles (½ each), and an
    // allele a of a random father (p_a).
    std::vector<long double> pairProbability(pairs_.size(), 0);
    for (std::size_t k = 0; k < genotypes_.size(); ++k)
        for (std::size_t s = 0; s < 2; ++s) {
            const long double half = genotype[k] / 2;
            const int* pair = &pairOf_[(2 * k + s) * n];
            for (std::size_t a = 0; a < n; ++a)
                pairProbability[static_cast<std::size_t>(pair[a])] += half * p[a];
        }

    std::vector<int> stamp(static_cast<std::size_t>(phenotypes_), -1);
    std::vector<long double> excluded(fatherSets_.size());
    for (std::size_t i = 0; i < fatherSets_.size(); ++i)
        excluded[i] = excludedMass(fatherSets_[i], phenotype, total, stamp, static_cast<int>(i));
    long double trio = 0;
    for (std::size_t i = 0; i < pairs_.size(); ++i)
        trio += pairProbability[i] * excluded[static_cast<std::size_t>(pairs_[i].set)];
    long double duo = 0;
    for (std::size_t c = 0; c < phenotype.size(); ++c)
        duo += phenotype[c] * excluded[static_cast<std::size_t>(childSet_[c])];

    ForensicFigures figures;
    figures.matchProbability = static_cast<double>(match);
    figures.discriminationPower = static_cast<double>(1 - match);
    figures.exclusionTrio = static_cast<double>(trio);
    figures.exclusionDuo = static_cast<double>(duo);
    const bool oneGenotypeEach =
        std::all_of(phenotypeGenotypes_.begin(), phenotypeGenotypes_.end(),
                    [](const std::vector<int>& shown) { return shown.size() == 1; });
    if (oneGenotypeEach) {
        long double squares = 0;
        long double pairs = 0;
        for (std::size_t i = 0; i < n; ++i) {
            squares += p[i] * p[i];
            for (std::size_t j = i + 1; j < n; ++j)
                pairs += 2 * p[i] * p[i] * p[j] * p[j];
        }
        figures.polymorphicInformationContent = static_cast<double>(1 - squares - pairs);
    }
    return figures;
}
