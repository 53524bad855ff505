// The statistics workbook of a calculated task, beside the results workbook: sheet
// "Аллели" (the task's name, the number of replicates, the allele table with the standard
// errors and intervals per criterion, the bootstrap warning), sheet "Согласие" (the fit
// tests with their notes) and sheet "Остатки" (the residuals in phenotype order), the texts
// the statistics window shows. Entry point: writeStatisticsWorkbook.
#pragma once

#include "estimate/replicates.h"
#include "estimate/task_statistics.h"
#include "export/text_sheets.h"
#include "export/workbook_file.h"
#include "task/task_state.h"

#include <string>
#include <vector>

// The sheets; taskName is UTF-8 (empty: a task without a name), replicates null when none
// were run.
std::vector<TextSheet> statisticsSheets(const std::string& taskName, const TaskState& task,
                                        const TaskStatistics& statistics,
                                        const ReplicateResult* replicates);

// Writes the sheets to path (UTF-8) as the results workbook is written: complete or not at
// all.
WorkbookFileResult writeStatisticsWorkbook(const std::vector<TextSheet>& sheets,
                                           const std::string& path);
