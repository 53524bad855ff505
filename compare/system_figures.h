// The identification and parentage figures of a calculated task at its maximum-likelihood
// frequencies, with its gene diversity, and their bootstrap percentile intervals: the
// population's individuals drawn again from its phenotype counts, the frequencies refitted
// by maximum likelihood and the figures computed at each replicate. Entry points:
// systemFigures, forensicIntervals.
#pragma once

#include "compare/forensic_figures.h"
#include "compare/gene_diversity.h"
#include "estimate/percentile.h"
#include "estimate/replicates.h"

#include <cstdint>
#include <optional>
#include <vector>

struct SystemFigures
{
    ForensicFigures forensic;
    GeneDiversity diversity;
};

// estimate: the maximum-likelihood frequencies, allele 1 first; total: the individuals.
SystemFigures systemFigures(const TaskState& task, const std::vector<long double>& estimate,
                            std::int64_t total);

struct ForensicIntervals
{
    bool cancelled = false; // nothing else is filled then
    std::optional<Interval> discriminationPower;
    std::optional<Interval> exclusionTrio;
    std::optional<Interval> exclusionDuo;
};

// counts: the phenotype counts, phenotype 1 first, at least one individual.
ForensicIntervals forensicIntervals(const TaskState& task, const std::vector<std::int64_t>& counts,
                                    const std::vector<long double>& estimate,
                                    const ReplicateSettings& settings);
