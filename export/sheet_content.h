// One worksheet held in memory while it is laid out: cell values, the formats applied to
// blocks of cells (which add up per cell, as formatting a range in a spreadsheet does),
// merges, column widths, fitted row heights and page set-up (always A4 paper). writeTo() then gives
// each cell one combined format, which is how the workbook file stores them.
#pragma once

#include "platform/cp1251_text.h"

#include <xlsxwriter.h>

#include <map>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

// A block of cells in the spreadsheet's terms: column letters and 1-based rows, first cell
// top left, last cell bottom right.
struct CellBlock
{
    char firstCol = 'A';
    int firstRow = 1;
    char lastCol = 'A';
    int lastRow = 1;
};

struct PageMargins
{
    double left = 0; // inches, as the workbook file stores them
    double right = 0;
    double top = 0;
    double bottom = 0;
    double header = 0;
    double footer = 0;
};

// The formats of one workbook, one per distinct combination, shared by its sheets.
class CellFormats
{
public:
    explicit CellFormats(lxw_workbook* workbook) : workbook_(workbook) {}
    // fontSize 0 keeps the workbook's default size; decimals < 0 is a text cell.
    lxw_format* get(int fontSize, bool border, bool centred, bool wrap, int decimals);

private:
    lxw_workbook* workbook_;
    std::map<std::tuple<int, bool, bool, bool, int>, lxw_format*> formats_;
};

class SheetContent
{
public:
    explicit SheetContent(std::string name) : name_(std::move(name)) {}

    // A literal of the program (UTF-8), always a text cell.
    void writeText(char col, int row, std::string text);
    // A text shown by a window: a number cell when it reads whole as a
    // number, otherwise a text cell; an empty text leaves the cell empty.
    void writeShown(char col, int row, const Cp1251Text& shown);
    // Merges a block of one row and writes a UTF-8 text into it.
    void merge(CellBlock block, std::string text);

    void setBorders(CellBlock block);
    void setFontSize(CellBlock block, int points);
    // Centres horizontally and vertically.
    void centre(CellBlock block);
    void wrapText(CellBlock block);
    // Sets the width of every column from first to last, in the spreadsheet's
    // column-width unit (characters of the default font); a later width replaces an earlier.
    void setColumnWidth(char firstCol, char lastCol, double width);
    void setLandscape() { landscape_ = true; }
    // Prints the sheet as wide as one page, however many pages long.
    void fitToPageWidth() { fitToWidth_ = true; }
    // Gives the row the height its wrapped texts need (merged texts over the merged width).
    void fitRowHeight(int row) { fittedRows_.push_back(row); }
    void setMargins(const PageMargins& margins);

    // Adds the sheet to the workbook with everything laid out. Returns the first error of
    // the writer, or LXW_NO_ERROR.
    lxw_error writeTo(lxw_workbook* workbook, CellFormats& formats, bool active) const;

private:
    struct Cell
    {
        enum class Kind
        {
            empty,
            text,
            number
        };
        Kind kind = Kind::empty;
        std::string text;
        double number = 0;
        int decimals = -1;
        int fontSize = 0;
        bool border = false;
        bool centred = false;
        bool wrap = false;
        bool styled() const { return fontSize != 0 || border || centred || wrap; }
    };
    struct Merge
    {
        CellBlock block;
        std::string text;
    };

    Cell& at(char col, int row);
    template <typename Change> void forEachCell(CellBlock block, Change change);
    lxw_format* formatOf(const Cell& cell, CellFormats& formats) const;
    double columnWidth(int index) const;
    double fittedHeight(int row) const;

    std::string name_;
    std::vector<std::vector<Cell>> rows_; // rows_[row - 1][column index]
    std::vector<Merge> merges_;
    std::map<int, double> columnWidths_;
    std::vector<int> fittedRows_;
    bool landscape_ = false;
    bool fitToWidth_ = false;
    bool hasMargins_ = false;
    PageMargins margins_;
};
