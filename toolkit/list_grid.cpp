#include "toolkit/list_grid.h"

#include "toolkit/controls.h"

#include <QFontMetrics>

#include <algorithm>

namespace {
constexpr int headerMargin = 12; // pixels beside a header text
}

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
    const ShownTable rows = numberedRows(layout, names);
    grid.setRowCount(static_cast<int>(rows.size()));
    for (std::size_t r = 1; r < rows.size(); ++r)
        for (const int col : {0, 1})
            grid.setCp1251Cell(col, static_cast<int>(r), rows[r][static_cast<std::size_t>(col)]);
}

void showTextTable(StringGrid& grid, const TextTable& table, const std::vector<int>& widths)
{
    grid.setColCount(static_cast<int>(table[0].size()));
    grid.setRowCount(static_cast<int>(table.size()));
    const QFontMetrics metrics(grid.font());
    for (std::size_t c = 0; c < widths.size(); ++c)
        grid.setColWidth(
            static_cast<int>(c),
            std::max(widths[c], metrics.horizontalAdvance(QString::fromStdString(table[0][c])) +
                                    headerMargin));
    for (std::size_t r = 0; r < table.size(); ++r)
        for (std::size_t c = 0; c < table[r].size(); ++c)
            grid.setCells(static_cast<int>(c), static_cast<int>(r),
                          QString::fromStdString(table[r][c]));
}
