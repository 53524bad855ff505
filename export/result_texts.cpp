#include "export/result_texts.h"

const Cp1251Text& TextGrid::cell(int col, int row) const
{
    static const Cp1251Text empty;
    if (row < 1 || row > rowCount() || col < 0) return empty;
    const std::vector<Cp1251Text>& cells = rows_[static_cast<size_t>(row - 1)];
    return static_cast<size_t>(col) < cells.size() ? cells[static_cast<size_t>(col)] : empty;
}
