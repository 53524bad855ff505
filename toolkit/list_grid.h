// Shaping the list grids of the control window and the report windows: a grid in the narrow
// face, columns with their headers (from the grid's layout) and widths, and numbered rows of
// names followed by captioned summary rows.
#pragma once

#include "estimate/report_grids.h"
#include "estimate/text_table.h"
#include "platform/cp1251_text.h"
#include "toolkit/string_grid.h"

#include <vector>

// A grid at this place in the window, in the narrow 8-point face of the lists.
StringGrid* makeListGrid(QWidget* parent, int x, int y, int width, int height);

// Sets the column count and the header row from the layout, and the widths (pixels, one a
// column; a missing width throws std::out_of_range).
void layOutColumns(StringGrid& grid, const GridLayout& layout, const std::vector<int>& widths);

// Gives the grid one row a name and a summary row, under the header, and writes columns 0
// and 1 of numberedRows into them; the other columns keep their cells.
void showNumberedRows(StringGrid& grid, const GridLayout& layout,
                      const std::vector<Cp1251Text>& names);

// Fills the grid with the rows of the table, its header row first. Column c is at least
// widths[c] pixels wide and as wide as its header text; columns past widths keep their width.
void showTextTable(StringGrid& grid, const TextTable& table, const std::vector<int>& widths);
