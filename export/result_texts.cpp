#include "export/result_texts.h"

const std::string& TextGrid::cell(int col, int row) const
{
    static const std::string empty;
    if (row < 1 || row > rowCount() || col < 0) return empty;
    const std::vector<std::string>& cells = rows_[static_cast<size_t>(row - 1)];
    return static_cast<size_t>(col) < cells.size() ? cells[static_cast<size_t>(col)] : empty;
}
