// The texts of the results workbook from the report tables of a calculation: the windows'
// export and velimor-calc --xlsx both make the workbook this way.
#pragma once

#include "estimate/report_tables.h"
#include "export/result_texts.h"

// The data rows of each table (its header row left out) in Windows-1251, and the three fit
// labels of the phenotype report.
ResultTexts resultTextsOf(const ReportTables& tables);
