#include "estimate/gui/result_cells.h"

void showResultColumns(StringGrid& grid, const ShownTable& table, std::size_t first,
                       std::size_t last)
{
    for (std::size_t row = 1; row < table.size(); ++row)
        for (std::size_t col = first; col <= last && col < table[row].size(); ++col)
            grid.setCp1251Cell(static_cast<int>(col), static_cast<int>(row), table[row][col]);
}
