// Statistical inference beside the point estimates of a calculated task: for each
// criterion the standard errors (maximum likelihood, from the Fisher information), the fit
// tests with the estimated frequencies taken off (the pooled line's chi-square, and X² and
// G² on the unpooled phenotype classes), and the Pearson residuals. These are
// immediate; the replicate-based figures are in estimate/replicates.h. Entry point:
// computeStatistics.
#pragma once

#include "estimate/calculation_run.h"
#include "estimate/fisher_information.h"
#include "estimate/fit_statistics.h"
#include "task/task_state.h"

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

struct CriterionStatistics
{
    std::vector<long double> frequencies;    // the estimate, allele 1 first
    std::vector<long double> expected;       // its expected phenotype frequencies
    std::vector<AlleleError> standardErrors; // maximum likelihood only; empty otherwise
    FitTest pooled;                          // the report's line: pooled classes, table p
    ChiSquareTest textbook;                  // the same chi-square, df less (alleles − 1)
    ChiSquareTest pearson;                   // X² on the unpooled phenotype classes
    ChiSquareTest likelihoodRatio;           // G² on the unpooled phenotype classes
    std::vector<double> residuals;           // Pearson residual per phenotype

    // No degrees of freedom are left on the unpooled classes: the estimate reproduces the
    // counts by construction.
    bool saturated() const { return !pearson.degreesOfFreedom; }
};

struct TaskStatistics
{
    std::int64_t total = 0;
    std::vector<std::int64_t> counts;            // phenotype 1 first
    std::array<CriterionStatistics, 3> criteria; // МП, МНК, МННК
};

// The immediate figures of a completed calculation of the task (its genotype table) with
// the counts it was run on.
TaskStatistics computeStatistics(const TaskState& task, const std::vector<std::int64_t>& counts,
                                 const std::array<CriterionEstimate, 3>& estimates);
