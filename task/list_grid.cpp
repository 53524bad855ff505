#include "task/list_grid.h"

#include "toolkit/controls.h"

StringGrid* makeListGrid(QWidget* parent, int x, int y, int width, int height)
{
    auto* grid = new StringGrid(parent);
    grid->setGeometry(x, y, width, height);
    grid->setFont(narrowFont(8));
    return grid;
}

void layOutColumns(StringGrid& grid, const GridLayout& layout, const std::vector<int>& widths)
{
    grid.setColCount(static_cast<int>(layout.headers.size()));
    for (std::size_t c = 0; c < layout.headers.size(); ++c) {
        const int col = static_cast<int>(c);
        grid.setColWidth(col, widths.at(c));
        grid.setCells(col, 0, QString::fromStdString(layout.headers[c]));
    }
}

void showNumberedRows(StringGrid& grid, const GridLayout& layout,
                      const std::vector<Cp1251Text>& names)
{
    const int count = static_cast<int>(names.size());
    grid.setRowCount(count + static_cast<int>(layout.summaries.size()) + 1);
    for (int r = 1; r <= count; ++r) {
        grid.setCells(0, r, QString::number(r));
        grid.setCp1251Cell(1, r, names[r - 1]);
    }
    for (std::size_t s = 0; s < layout.summaries.size(); ++s) {
        const int row = count + 1 + static_cast<int>(s);
        grid.setCells(0, row, QString());
        grid.setCells(1, row, QString::fromStdString(layout.summaries[s]));
    }
}
