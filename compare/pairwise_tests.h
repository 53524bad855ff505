// The pairwise tests of the compared populations: for each pair, a Monte-Carlo test of the
// 2 × phenotypes table of their counts by its G statistic, the tables drawn with both
// margins fixed (the individuals of the two shared out between them at random), and Holm's
// adjustment of the probabilities over all pairs. Table b of pair j draws from a random
// stream of its own, so the results do not depend on the number of threads. Entry points:
// tableGStatistic, holmAdjusted, pairwiseTests.
#pragma once

#include "estimate/replicates.h"

#include <cstdint>
#include <optional>
#include <vector>

// G = 2 Σ O ln(O / E) over the cells of the table of two rows of counts (phenotype 1 first),
// E = row total · column total / N; columns empty in both rows are left out.
double tableGStatistic(const std::vector<std::int64_t>& first,
                       const std::vector<std::int64_t>& second);

// Holm's step-down adjustment: the m probabilities in ascending order get
// max over j ≤ i of min(1, (m − j + 1) p_(j)); given back in their own order.
std::vector<double> holmAdjusted(const std::vector<double>& probabilities);

using PairMatrix = std::vector<std::vector<std::optional<double>>>; // nothing on the diagonal

struct PairwiseTests
{
    bool cancelled = false; // nothing else is filled then
    PairMatrix statistic;   // G of each pair's table
    PairMatrix probability; // (1 + #{G* ≥ G}) / (B + 1)
    PairMatrix holmAdjusted;
};

// counts: per population, phenotype 1 first, each with at least one individual. Progress is
// given in tables drawn.
PairwiseTests pairwiseTests(const std::vector<std::vector<std::int64_t>>& counts,
                            const ReplicateSettings& settings);
