// A parentage case judged system by system: whether the alleged father is excluded and the
// paternity index X/Y, X = P(child | mother, father), Y = P(child | mother, a random man),
// each phenotype turned into its genotypes' probabilities under Hardy–Weinberg at the
// system's frequencies (without the mother X = P(child | father), Y = P(child)); over the
// systems the combined index (their product) and the probability of paternity at prior ½.
// Entry points: judgeSystem, combineSystems.
#pragma once

#include "compare/forensic_figures.h"

#include <optional>
#include <vector>

// The phenotypes of one system's case, 0-based numbers of the system's phenotypes.
struct CasePhenotypes
{
    std::optional<int> mother;
    int child = 0;
    int father = 0;
};

struct SystemVerdict
{
    // No genotype of the mother can be the mother of one of the child: nothing else is set.
    bool motherIncompatible = false;
    bool excluded = false;
    // Missing when excluded, or when a phenotype of the case has probability 0 at the
    // frequencies (an allele not seen in the population), so the index is not defined.
    std::optional<double> paternityIndex;
};

SystemVerdict judgeSystem(const ParentageSystem& system, const std::vector<long double>& p,
                          const CasePhenotypes& phenotypes);

struct CaseVerdict
{
    bool excluded = false;                        // some system excludes the man
    std::optional<double> combinedIndex;          // Π PI; missing when excluded or undefined
    std::optional<double> probabilityOfPaternity; // W = PI / (PI + 1)
};

CaseVerdict combineSystems(const std::vector<SystemVerdict>& systems);
