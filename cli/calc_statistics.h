// What velimor-calc --stats adds: the statistics of the calculated task (the immediate
// figures and a replicate run of B samples) as a [statistics] text section and as the JSON
// object "statistics". Entry points: calculateStatistics, statisticsText, statisticsJson.
#pragma once

#include "cli/calc_output.h"
#include "estimate/calculation_run.h"
#include "estimate/replicates.h"
#include "estimate/task_statistics.h"
#include "task/task_state.h"

#include <iosfwd>
#include <string>

struct CalcStatistics
{
    TaskStatistics immediate;
    ReplicateResult replicates;
};

// The statistics of a completed run with B replicates; the run's seed is drawn from the
// program-wide generator, so --seed fixes it too. With progress, a line "Повторения: done
// из B" is rewritten on it while the samples run.
CalcStatistics calculateStatistics(const TaskState& task, const CalculationResult& result,
                                   int replicates, std::ostream* progress);

// {statisticKey, "degreesOfFreedom", "probability"} of a test, null where not defined.
ReportJson testJson(const char* statisticKey, const ChiSquareTest& test);

// "[statistics]", the number of replicates, the allele table, the bootstrap warning (when
// there is one), the fit table, the saturation note (when a model is saturated) and the
// residual table as tab-separated rows, the note on the Monte-Carlo probability, and an
// empty line.
std::string statisticsText(const TaskState& task, const CalcStatistics& statistics);

// {"replicates", "ML", "LS", "NLS"}: per criterion the standard errors (ML only, null
// where not defined), the bootstrap errors, the bootstrap percentile intervals as
// "confidenceIntervals", the Wald intervals (ML only), the "pooled" line's test with the
// estimated frequencies taken off, the "pearson" and "likelihoodRatio" tests on the
// unpooled classes each with its "monteCarloProbability", the pooled line's
// "monteCarloProbability" and the residuals; a probability without degrees of freedom is
// null.
ReportJson statisticsJson(const CalcStatistics& statistics);
