// The identification figures and the gene diversity of a calculated task as a table of UTF-8
// texts, header row first: one row per figure with its value and, after a replicate run,
// its 95% percentile interval. The statistics window shows it, its workbook holds it and
// velimor-calc writes it. Entry points: forensicTable, forensicSheet.
#pragma once

#include "compare/system_figures.h"
#include "estimate/text_table.h"
#include "export/text_sheets.h"

// intervals: the bootstrap intervals, or nothing before a replicate run.
TextTable forensicTable(const SystemFigures& figures, const ForensicIntervals* intervals);

// The sheet "Родство" of the statistics workbook: the table above.
TextSheet forensicSheet(const SystemFigures& figures, const ForensicIntervals* intervals);
