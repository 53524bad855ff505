// The workbook of the window "Проверка родства": one sheet with the case's table per system
// and the verdict over the systems below it. Entry points: parentageSheets,
// writeParentageWorkbook.
#pragma once

#include "compare/parentage_check.h"
#include "export/text_sheets.h"
#include "export/workbook_file.h"

#include <string>
#include <vector>

std::vector<TextSheet> parentageSheets(const std::vector<SystemCheck>& systems,
                                       const CaseVerdict& verdict);

// Writes the sheets to path (UTF-8), complete or not at all.
WorkbookFileResult writeParentageWorkbook(const std::vector<TextSheet>& sheets,
                                          const std::string& path);
