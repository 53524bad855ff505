// Workbooks of text tables, as the statistics and the comparison are shown: one sheet per
// table, with lines of text above and below it. The table's header row is bold, its cells
// have borders, a cell text that reads whole as a number becomes a number cell showing the
// same digits, and each column is as wide as its longest table text. Entry point:
// writeTextSheets.
#pragma once

#include "estimate/text_table.h"

#include <xlsxwriter.h>

#include <string>
#include <vector>

struct TextSheet
{
    std::string name;
    std::vector<std::string> above; // one line each in column A, above the table
    TextTable table;                // header row first
    std::vector<std::string> below; // one line each in column A, after an empty row
};

// Writes the sheets in order into the workbook file at path (UTF-8); returns the writer's
// first error, or LXW_NO_ERROR.
lxw_error writeTextSheets(const std::vector<TextSheet>& sheets, const std::string& path);
