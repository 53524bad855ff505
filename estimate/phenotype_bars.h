// The bars of the chart of observed against expected counts: every phenotype when there
// are at most maxBars, otherwise the maxBars − 1 largest by observed count (expected count
// on ties, then phenotype order) and one bar "остальные" with the rest. Entry point:
// phenotypeBars.
#pragma once

#include "task/task_state.h"

#include <cstdint>
#include <string>
#include <vector>

constexpr int maxBars = 40;

struct PhenotypeBar
{
    std::string label; // UTF-8: the trimmed phenotype name, or "остальные"
    double observed = 0;
    double expected = 0;
};

// counts and expected frequencies are 0-based, one per phenotype of the task.
std::vector<PhenotypeBar> phenotypeBars(const TaskState& task,
                                        const std::vector<std::int64_t>& counts,
                                        const std::vector<long double>& expected);
