// Shaping the list grids of the control window and the report windows: a grid in the narrow
// face, columns with their headers (from the grid's layout) and widths, and numbered rows of
// names followed by captioned summary rows.
#pragma once

#include "estimate/report_grids.h"
#include "platform/cp1251_text.h"
#include "toolkit/string_grid.h"

#include <vector>

// A grid at this place in the window, in the narrow 8-point face of the lists.
StringGrid* makeListGrid(QWidget* parent, int x, int y, int width, int height);

// Sets the column count and the header row from the layout, and the widths (pixels, one a
// column; a missing width throws std::out_of_range).
void layOutColumns(StringGrid& grid, const GridLayout& layout, const std::vector<int>& widths);

// Entries 1..count of one of the task's lists, whose entry 0 is unused.
template <typename List>
std::vector<typename List::value_type> listEntries(const List& list, int count)
{
    return {list.begin() + 1, list.begin() + 1 + count};
}

// Gives the grid one row a name and a summary row, under the header: data row r shows r
// and names[r - 1] (Windows-1251) in columns 0 and 1; the layout's summary rows after them
// have an empty number cell and their caption in column 1.
void showNumberedRows(StringGrid& grid, const GridLayout& layout,
                      const std::vector<Cp1251Text>& names);
