// The bootstrap of the compared populations: in each replicate every population's
// individuals are drawn again with replacement from its own phenotype counts and its allele
// frequencies are refitted by maximum likelihood from its point estimate. Population i of
// replicate b draws from a random stream of its own, derived from the run's seed, so the
// replicates do not depend on the number of threads. Entry points: refitFrequencies,
// bootstrapFrequencies.
#pragma once

#include "compare/genetic_distance.h"
#include "estimate/replicates.h"
#include "task/task_state.h"

#include <cstdint>
#include <vector>

// The maximum-likelihood frequencies (allele 1 first) of phenotype counts with at least one
// individual. When every phenotype shows one genotype, they are the alleles' shares of the
// genes counted; otherwise the Newton refinement finds them from start. work holds the
// genotype table; its estimation arrays are overwritten.
Frequencies refitFrequencies(TaskState& work, const std::vector<std::int64_t>& counts,
                             const Frequencies& start);

struct BootstrapFrequencies
{
    bool cancelled = false;                        // nothing else is filled then
    std::vector<std::vector<Frequencies>> samples; // sample b, population i, allele 1 first
};

// task gives the genotype table the populations share; counts (phenotype 1 first) and
// estimates (the maximum-likelihood frequencies, allele 1 first) are per population, each
// with at least one individual. Progress is given in replicates.
BootstrapFrequencies bootstrapFrequencies(const TaskState& task,
                                          const std::vector<std::vector<std::int64_t>>& counts,
                                          const std::vector<Frequencies>& estimates,
                                          const ReplicateSettings& settings);
