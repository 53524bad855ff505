// The bars of the chart of observed against expected counts: every phenotype when there
// are at most maxBars, otherwise the maxBars phenotypes whose observed count lies farthest from
// the expected one, so that no bar of the rest pooled together dwarfs them. Entry point:
// phenotypeBars.
#pragma once

#include "task/task_state.h"

#include <cstdint>
#include <string>
#include <vector>

constexpr int maxBars = 40;

struct PhenotypeBar
{
    std::string label; // UTF-8: the trimmed phenotype name
    int number = 0;    // the phenotype's, 1-based
    double observed = 0;
    double expected = 0;
};

struct PhenotypeBars
{
    std::vector<PhenotypeBar> bars; // in phenotype order
    int phenotypeCount = 0;         // of the task; more than bars.size() when some are left out
};

// counts and expected frequencies are 0-based, one per phenotype of the task. The largest
// |observed − expected| are taken, the earlier phenotype first on a tie.
PhenotypeBars phenotypeBars(const TaskState& task, const std::vector<std::int64_t>& counts,
                            const std::vector<long double>& expected);
