// Shaping the list grids of the control window and the report windows: columns with their
// headers and widths, and numbered rows of names followed by captioned summary rows.
#pragma once

#include "toolkit/string_grid.h"

#include <QString>

#include <vector>

struct GridColumn
{
    const char* header; // UTF-8
    int width;          // pixels
};

// Sets the column count, the widths and the header row.
void layOutColumns(StringGrid& grid, const std::vector<GridColumn>& columns);

// Gives the grid names.size() + summaries.size() + 1 rows: data row r shows r and
// names[r - 1] in columns 0 and 1; the summary rows after them have an
// empty number cell and their caption in column 1.
void showNumberedRows(StringGrid& grid, const std::vector<Cp1251Text>& names,
                      const std::vector<QString>& summaries = {});
