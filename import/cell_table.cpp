#include "import/cell_table.h"

#include "import/delimited_text.h"
#include "import/workbook_sheet.h"

#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

bool hasText(const std::string& cell)
{
    return cell.find_first_not_of(" \t\r\n") != std::string::npos;
}

} // namespace

std::string columnLetters(int column)
{
    std::string letters;
    for (; column > 0; column = (column - 1) / 26)
        letters.insert(letters.begin(), static_cast<char>('A' + (column - 1) % 26));
    return letters;
}

std::string tableProblemText(const TableProblem& problem)
{
    if (problem.row == 0) return problem.message;
    std::string where = "строка " + std::to_string(problem.row);
    if (problem.column != 0)
        where += ", столбец " + std::to_string(problem.column) + " (" +
                 columnLetters(problem.column) + ")";
    return where + ": " + problem.message;
}

bool CellTableBuilder::put(int row, int column, std::string text)
{
    if (problem_) return false;
    if (text.empty()) return true;
    if (row > maxTableRows || column > maxTableColumns || ++cells_ > maxTableCells) {
        problem_ = TableProblem{row, column,
                                "таблица больше, чем можно прочитать (не больше " +
                                    std::to_string(maxTableRows) + " строк, " +
                                    std::to_string(maxTableColumns) + " столбцов и " +
                                    std::to_string(maxTableCells) + " заполненных ячеек)"};
        return false;
    }
    std::vector<std::string>& cells = rows_[row];
    if (cells.size() < static_cast<std::size_t>(column))
        cells.resize(static_cast<std::size_t>(column));
    cells[static_cast<std::size_t>(column - 1)] = std::move(text);
    return true;
}

CellTable CellTableBuilder::take()
{
    CellTable table;
    for (auto& [number, cells] : rows_) {
        bool filled = false;
        for (const std::string& cell : cells)
            filled = filled || hasText(cell);
        if (filled) table.rows.push_back({number, std::move(cells)});
    }
    rows_.clear();
    return table;
}

CellTableRead readCellTable(const std::string& path)
{
    const std::string name = std::filesystem::path(path).filename().string();
    std::error_code error;
    std::ifstream file(path, std::ios::binary);
    std::string bytes;
    if (file) bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    if (!std::filesystem::is_regular_file(path, error) || !file || file.bad()) {
        CellTableRead read;
        read.problem = TableProblem{0, 0, "файл «" + name + "» не читается"};
        return read;
    }
    if (bytes.starts_with("PK\x03\x04")) return readWorkbookSheet(path);
    if (bytes.starts_with("\xD0\xCF\x11\xE0")) {
        CellTableRead read;
        read.problem = TableProblem{
            0, 0,
            "«" + name + "» - книга старого формата xls; сохраните ее в формате xlsx или ods"};
        return read;
    }
    return readDelimitedText(bytes);
}
