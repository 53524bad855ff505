// The texts of the statistics of a calculated task, UTF-8, as rows of cells with the
// header row first: the allele table (estimate, standard error and 95% interval per
// criterion), the fit table (the report's pooled line, the tests with the estimated
// frequencies taken off, X² and G² on the unpooled classes, their Monte-Carlo
// probabilities) and the residual table, with the notes that go beside them. The
// statistics window shows them, velimor-calc writes them and the statistics workbook holds
// them. Frequencies have 5 decimals, so that rare alleles are visible. Entry points:
// alleleStatisticsTable, fitStatisticsTable, residualTable, saturationNote,
// bootstrapWarning, monteCarloNote.
#pragma once

#include "estimate/replicates.h"
#include "estimate/task_statistics.h"
#include "estimate/text_table.h"
#include "task/task_state.h"

#include <optional>
#include <string>

// The text of a figure that cannot be computed.
extern const char* const notDefinedText;

// The degrees of freedom of a test, or notDefinedText.
std::string degreesText(const std::optional<int>& df);

// The name of allele i (1-based) without its trailing space, in UTF-8.
std::string shownAlleleName(const TaskState& task, int i);

// One row per allele; the bootstrap columns stay empty without replicates.
TextTable alleleStatisticsTable(const TaskState& task, const TaskStatistics& statistics,
                                const ReplicateResult* replicates);

// Four rows per criterion: the report's pooled line with its table p, the same chi-square
// with the estimated frequencies taken off, X² and G² on the unpooled classes; each with its
// statistic, degrees of freedom, p and Monte-Carlo p (empty without replicates).
TextTable fitStatisticsTable(const TaskStatistics& statistics, const ReplicateResult* replicates);

// One sentence naming the criteria whose model is saturated (no degrees of freedom on the
// unpooled classes); empty when none is.
std::string saturationNote(const TaskStatistics& statistics);

// Where the bootstrap cannot work: a phenotype never observed (the samples never show it)
// and, with replicates, an allele whose bootstrap error is 0 by some criterion; both point
// to the Wald interval. Empty when neither occurs.
std::string bootstrapWarning(const TaskState& task, const TaskStatistics& statistics,
                             const ReplicateResult* replicates);

// One row per phenotype: observed count, and expected count and Pearson residual per
// criterion. With largestFirst the rows are ordered by the absolute residual of the
// criterion (0..2), largest first, phenotype order on ties; otherwise in phenotype order.
TextTable residualTable(const TaskState& task, const TaskStatistics& statistics, int criterion,
                        bool largestFirst);

// Why the Monte-Carlo probability is the one to trust for the report's pooled line.
std::string monteCarloNote();
