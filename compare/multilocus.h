// Populations compared over several systems (loci) at once. A system is the tasks that carry
// the same system label, the same normalised allele list and the same mode; the populations
// chosen by their labels are compared over the systems they all share, each system on its own
// (comparePopulations, ParentageSystem::figures) and then combined: Nei's distance with the J's
// summed over the systems, the homogeneity G and its degrees of freedom summed, the exclusion
// probabilities 1 − Π(1 − PE) and the match probability Π MP. Labels are compared as task names
// are, in upper case without surrounding blanks. Entry points: sharedSystems,
// multilocusNeiDistance, combinedHomogeneity, combinedForensic, combineSystems.
#pragma once

#include "compare/forensic_figures.h"
#include "compare/genetic_distance.h"
#include "compare/population_comparison.h"
#include "estimate/fit_statistics.h"

#include <optional>
#include <string>
#include <vector>

// A task of the archive as the grouping sees it.
struct LabelledTask
{
    Cp1251Text population; // labels; a task without both belongs to no system
    Cp1251Text system;
    std::vector<Cp1251Text> alleles; // the normalised allele names, allele 1 first
    InheritanceMode mode = InheritanceMode::codominance;
    Cp1251Text name; // the task's name, for messages
};

struct SharedSystem
{
    Cp1251Text system; // the label as the first of its tasks in the input carries it
    std::vector<Cp1251Text> alleles;
    InheritanceMode mode = InheritanceMode::codominance;
    std::vector<std::size_t> tasks; // the task of each chosen population, by index into the input
};

struct SharedSystems
{
    std::vector<SharedSystem> systems;  // by label, then allele list, then mode
    std::optional<std::string> problem; // Russian, UTF-8; no systems then
};

// The systems every one of the chosen populations has a task in. Fewer than two populations,
// a population named twice or with no labelled task, a population with two tasks in one
// system, and no system shared by all are the problem.
SharedSystems sharedSystems(const std::vector<LabelledTask>& tasks,
                            const std::vector<Cp1251Text>& populations);

// D = −ln(ΣJxy / √(ΣJx · ΣJy)) over the systems for every pair of populations:
// frequencies[s][i] holds population i's allele frequencies in system s. Infinite for two
// populations that share no allele in any system.
DistanceMatrix multilocusNeiDistance(const std::vector<std::vector<Frequencies>>& frequencies);

// G and the degrees of freedom summed over the systems (a system without degrees of freedom
// adds its G only), with the upper-tail probability; no degrees of freedom and no probability
// when the sum of them is 0.
ChiSquareTest combinedHomogeneity(const std::vector<ChiSquareTest>& systems);

struct CombinedForensic
{
    double exclusionTrio = 0;    // 1 − Π(1 − PE trio)
    double exclusionDuo = 0;     // 1 − Π(1 − PE duo)
    double matchProbability = 0; // Π MP
};

// One population's figures over its systems.
CombinedForensic combinedForensic(const std::vector<ForensicFigures>& systems);

struct MultilocusComparison
{
    DistanceMatrix neiDistance;
    ChiSquareTest homogeneity;
    std::vector<CombinedForensic> forensic; // per population
};

// The combination of the systems' comparisons of the same populations in the same order:
// comparisons[s] of system s, forensic[s][i] the figures of population i in system s at its
// estimate.
MultilocusComparison combineSystems(const std::vector<PopulationComparison>& comparisons,
                                    const std::vector<std::vector<ForensicFigures>>& forensic);
