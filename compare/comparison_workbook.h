// The comparison workbook: one sheet per table of the comparison ("Частоты",
// "Однородность", "Расстояние Нея", "Хордовое расстояние", "Дерево", then "Разнообразие",
// "Дифференциация", "Расстояние Рейнольдса", "Попарные критерии", "Дерево ближайших
// соседей"), each with its header row bold and one row per table row; a text that reads
// whole as a number becomes a number cell showing the same digits. Entry point:
// writeComparisonWorkbook.
#pragma once

#include "compare/comparison_report.h"
#include "export/workbook_file.h"

#include <string>

// Writes the workbook to path (UTF-8) as the results workbook is written: complete or not
// at all.
WorkbookFileResult writeComparisonWorkbook(const ComparisonTables& tables, const std::string& path);
