// The four-sheet results workbook: "Аллели", "Тесты", "Фенотипы" and "Генотипы", laid out
// over the texts the windows show. Each sheet has a dated title line, an empty row, a header
// row and one row per source row, with fixed fonts, borders, widths and page set-up.
#pragma once

#include "export/result_texts.h"

#include <xlsxwriter.h>

#include <string>

// Writes the workbook into the file at path (UTF-8), replacing its contents. The clock is
// read for each sheet's title as that sheet is laid out. Returns the writer's first error,
// or LXW_NO_ERROR.
lxw_error writeResultsLayout(const ResultTexts& texts, const std::string& path);
