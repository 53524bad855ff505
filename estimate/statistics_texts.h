// The texts of the statistics of a calculated task, UTF-8, as rows of cells with the
// header row first: the allele table (estimate, standard error and 95% interval per
// criterion), the fit table (the report's pooled line, the tests with the estimated
// frequencies taken off, G², the Monte-Carlo probability) and the residual table. The
// statistics window shows them and velimor-calc writes them. Frequencies have 5 decimals,
// so that rare alleles are visible. Entry points: alleleStatisticsTable,
// fitStatisticsTable, residualTable, monteCarloNote.
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

// One row per criterion; the Monte-Carlo column stays empty without replicates.
TextTable fitStatisticsTable(const TaskStatistics& statistics, const ReplicateResult* replicates);

// One row per phenotype: observed count, and expected count and Pearson residual per
// criterion. With largestFirst the rows are ordered by the absolute residual of the
// criterion (0..2), largest first, phenotype order on ties; otherwise in phenotype order.
TextTable residualTable(const TaskState& task, const TaskStatistics& statistics, int criterion,
                        bool largestFirst);

// Why the Monte-Carlo probability is the one to trust for the report's pooled line.
std::string monteCarloNote();
