// The figures of a system for identification and parentage, from its phenotypes and the
// genotypes each hides, at given allele frequencies under the Hardy–Weinberg law: the match
// probability, the power of discrimination, the probabilities of excluding a random man
// with the mother known (trio) and unknown (duo), and the polymorphism information content.
// ParentageSystem is built once from the task's genotype table and evaluated at any number
// of frequency vectors (the estimate and its bootstrap replicates), in time linear in the
// genotypes times the alleles: no enumeration over triples of phenotypes.
#pragma once

#include "task/task_state.h"

#include <cstdint>
#include <optional>
#include <vector>

struct ForensicFigures
{
    double matchProbability = 0;    // Σ P(φ)² over the phenotypes
    double discriminationPower = 0; // 1 − matchProbability
    double exclusionTrio = 0;       // mother, child and a random man
    double exclusionDuo = 0;        // child and a random man, no mother
    // 1 − Σp² − Σ_{i<j} 2p_i²p_j²; only where every phenotype shows exactly one genotype.
    std::optional<double> polymorphicInformationContent;
};

class ParentageSystem
{
public:
    // The system of the task's alleles, phenotypes and genotype table (phenotypes generated).
    explicit ParentageSystem(const TaskState& task);

    int alleleCount() const { return alleles_; }
    int phenotypeCount() const { return phenotypes_; }

    // The figures at frequencies p (allele 1 first, summing to 1).
    ForensicFigures figures(const std::vector<long double>& p) const;

    // Genotype probabilities under Hardy–Weinberg, genotype k (0-based) of the task's table.
    std::vector<long double> genotypeProbabilities(const std::vector<long double>& p) const;

    // Phenotype probabilities: the sums of their genotypes' probabilities.
    std::vector<long double> phenotypeProbabilities(const std::vector<long double>& p) const;

    // Genotype k's alleles (0-based) and phenotype (0-based).
    int firstAllele(int k) const { return genotypes_[static_cast<std::size_t>(k)].first; }
    int secondAllele(int k) const { return genotypes_[static_cast<std::size_t>(k)].second; }
    int phenotypeOf(int k) const { return genotypes_[static_cast<std::size_t>(k)].phenotype; }
    int genotypeCount() const { return static_cast<int>(genotypes_.size()); }
    // The genotype (0-based) of the unordered allele pair {a, b} (0-based).
    int genotypeOf(int a, int b) const;
    // The genotypes (0-based) that phenotype f (0-based) shows.
    const std::vector<int>& genotypesOf(int f) const
    {
        return phenotypeGenotypes_[static_cast<std::size_t>(f)];
    }
    // The alleles (bit a for allele a, 0-based) of the genotypes phenotype f shows.
    std::uint64_t allelesOf(int f) const { return phenotypeAlleles_[static_cast<std::size_t>(f)]; }
    // The alleles a father may give a child of phenotype c whose mother has phenotype m
    // (both 0-based); empty when no genotype of m can be the mother of one of c.
    std::uint64_t paternalAlleles(int m, int c) const;

private:
    struct Genotype
    {
        int first;
        int second;
        int phenotype;
    };
    // A mother–child pair of phenotypes and the alleles a father may give to it.
    struct Pair
    {
        int mother;
        int child;
        std::uint64_t paternal;
        int set; // the entry of `paternal` in fatherSets_
    };

    // Σ P(f) over the phenotypes f with no genotype that carries an allele of `alleles`.
    long double excludedMass(std::uint64_t alleles, const std::vector<long double>& phenotype,
                             long double total, std::vector<int>& stamp, int mark) const;

    int alleles_ = 0;
    int phenotypes_ = 0;
    std::vector<Genotype> genotypes_;
    std::vector<std::vector<int>> phenotypeGenotypes_;
    std::vector<std::uint64_t> phenotypeAlleles_;
    std::vector<std::vector<int>> phenotypesWithAllele_; // allele a → phenotypes carrying it
    std::vector<Pair> pairs_;
    // The distinct sets of alleles of which a father must carry one: those of the pairs,
    // then those of the children without a mother (childSet_).
    std::vector<std::uint64_t> fatherSets_;
    std::vector<int> childSet_;
    // Mother genotype k, its allele slot s (0, 1) and the father's allele a:
    // pairOf_[(2k + s)·n + a] is the pair (mother's phenotype, child's phenotype).
    std::vector<int> pairOf_;
};
