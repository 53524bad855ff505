#include "task/list_grid.h"

void layOutColumns(StringGrid& grid, const std::vector<GridColumn>& columns)
{
    grid.setColCount(static_cast<int>(columns.size()));
    for (std::size_t c = 0; c < columns.size(); ++c) {
        const int col = static_cast<int>(c);
        grid.setColWidth(col, columns[c].width);
        grid.setCells(col, 0, QString::fromUtf8(columns[c].header));
    }
}

void showNumberedRows(StringGrid& grid, const std::vector<Cp1251Text>& names,
                      const std::vector<QString>& summaries)
{
    const int count = static_cast<int>(names.size());
    grid.setRowCount(count + static_cast<int>(summaries.size()) + 1);
    for (int r = 1; r <= count; ++r) {
        grid.setCells(0, r, QString::number(r));
        grid.setCp1251Cell(1, r, names[r - 1]);
    }
    for (std::size_t s = 0; s < summaries.size(); ++s) {
        const int row = count + 1 + static_cast<int>(s);
        grid.setCells(0, row, QString());
        grid.setCells(1, row, summaries[s]);
    }
}
