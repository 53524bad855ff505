// The results workbook of the command-line calculator: the tables it reports are the
// windows' grids after the same calculation, so the workbook is the one the windows'
// export writes.
#pragma once

#include "estimate/report_tables.h"
#include "export/result_texts.h"

// The data rows of each table (its header row left out) in Windows-1251, and the three fit
// labels of the phenotype report.
ResultTexts resultTextsOf(const ReportTables& tables);
