// Writing a report table's results into the grid that shows it, whose rows and names the
// control window's set-up has laid out.
#pragma once

#include "estimate/report_grids.h"
#include "toolkit/string_grid.h"

// Writes columns first to last of every row below the header row of the table into the
// same cells of the grid.
void showResultColumns(StringGrid& grid, const ShownTable& table, std::size_t first,
                       std::size_t last);
