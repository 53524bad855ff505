// A table of cells read from a file of another program, as the count-table import takes it:
// CSV or TSV text (delimited_text.h) or the first sheet of an xlsx or ods workbook
// (workbook_sheet.h). readCellTable tells the kinds apart by their content, not by the file
// name. Cells are UTF-8 texts as the file holds them; a number cell of a workbook is its value
// in plain decimal ("25", "2.5"), whatever format the sheet shows it in.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

// The bounds of a sheet (those of the spreadsheets); a file past them is refused.
inline constexpr int maxTableRows = 1048576;
inline constexpr int maxTableColumns = 16384;
// The most cells kept, so that a file repeating a row or a cell without end is refused
// instead of filling the memory.
inline constexpr long long maxTableCells = 5000000;

struct CellRow
{
    int number = 0;                 // 1-based, as the file or sheet numbers it
    std::vector<std::string> cells; // column 1 (A) first; trailing empty cells left out
};

// The rows of a file that hold at least one cell with more than blanks, in order.
struct CellTable
{
    std::vector<CellRow> rows;
};

// What is wrong, and where: row and column 1-based, 0 when the problem is not at one.
struct TableProblem
{
    int row = 0;
    int column = 0;
    std::string message; // Russian, UTF-8
};

struct CellTableRead
{
    CellTable table;
    std::optional<TableProblem> problem; // the table is empty then
};

// The table of a file: an xlsx or ods workbook (a zip container) or a CSV or TSV text. A file
// that cannot be read, a workbook that is damaged or of another kind (xls), and a text that
// breaks the quoting rules are the problem.
CellTableRead readCellTable(const std::string& path);

// "C" for column 3, "AA" for column 27.
std::string columnLetters(int column);

// "строка 3, столбец 2 (B): message", "строка 3: message" or the message alone.
std::string tableProblemText(const TableProblem& problem);

// Collects cells in any order into rows, keeping to the bounds above; the first cell past
// them is the problem (at that cell).
class CellTableBuilder
{
public:
    // Cells with an empty text are not kept. Returns false once past the bounds.
    bool put(int row, int column, std::string text);
    const std::optional<TableProblem>& problem() const { return problem_; }
    // The rows with a cell of more than blanks, in ascending number.
    CellTable take();

private:
    std::map<int, std::vector<std::string>> rows_;
    long long cells_ = 0;
    std::optional<TableProblem> problem_;
};
