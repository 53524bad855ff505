#include "export/sheet_content.h"

#include "export/row_height.h"
#include "export/shown_number.h"
#include "platform/cp1251.h"

#include <algorithm>
#include <set>
#include <utility>

namespace {
int columnIndex(char col)
{
    return col - 'A';
}

constexpr double defaultColumnWidth = 8.43;
constexpr int defaultFontSize = 11;
constexpr uint8_t a4Paper = 9; // the file's paper code of A4
} // namespace

lxw_format* CellFormats::get(int fontSize, bool border, bool centred, bool wrap, int decimals)
{
    const auto key = std::make_tuple(fontSize, border, centred, wrap, decimals);
    const auto found = formats_.find(key);
    if (found != formats_.end()) return found->second;

    lxw_format* format = workbook_add_format(workbook_);
    if (fontSize != 0) format_set_font_size(format, fontSize);
    if (border) format_set_border(format, LXW_BORDER_THIN);
    if (centred) {
        format_set_align(format, LXW_ALIGN_CENTER);
        format_set_align(format, LXW_ALIGN_VERTICAL_CENTER);
    }
    if (wrap) format_set_text_wrap(format);
    if (decimals >= 0) format_set_num_format(format, numberFormat(decimals).c_str());
    formats_.emplace(key, format);
    return format;
}

SheetContent::Cell& SheetContent::at(char col, int row)
{
    if (static_cast<int>(rows_.size()) < row) rows_.resize(static_cast<size_t>(row));
    std::vector<Cell>& cells = rows_[static_cast<size_t>(row - 1)];
    if (static_cast<int>(cells.size()) <= columnIndex(col))
        cells.resize(static_cast<size_t>(columnIndex(col) + 1));
    return cells[static_cast<size_t>(columnIndex(col))];
}

template <typename Change> void SheetContent::forEachCell(CellBlock block, Change change)
{
    for (int row = block.firstRow; row <= block.lastRow; ++row)
        for (char col = block.firstCol; col <= block.lastCol; ++col)
            change(at(col, row));
}

void SheetContent::writeText(char col, int row, std::string text)
{
    Cell& cell = at(col, row);
    cell.kind = text.empty() ? Cell::Kind::empty : Cell::Kind::text;
    cell.text = std::move(text);
    cell.decimals = -1;
}

void SheetContent::writeShown(char col, int row, const Cp1251Text& shown)
{
    const std::optional<ShownNumber> number = readShownNumber(shown.bytes());
    if (!number) {
        writeText(col, row, cp1251ToUtf8(shown));
        return;
    }
    Cell& cell = at(col, row);
    cell.kind = Cell::Kind::number;
    cell.text.clear();
    cell.number = number->value;
    cell.decimals = number->decimals;
}

void SheetContent::merge(CellBlock block, std::string text)
{
    at(block.firstCol, block.firstRow); // the merge is written with its first cell's format
    merges_.push_back({block, std::move(text)});
}

void SheetContent::setBorders(CellBlock block)
{
    forEachCell(block, [](Cell& cell) { cell.border = true; });
}

void SheetContent::setFontSize(CellBlock block, int points)
{
    forEachCell(block, [points](Cell& cell) { cell.fontSize = points; });
}

void SheetContent::centre(CellBlock block)
{
    forEachCell(block, [](Cell& cell) { cell.centred = true; });
}

void SheetContent::wrapText(CellBlock block)
{
    forEachCell(block, [](Cell& cell) { cell.wrap = true; });
}

void SheetContent::setColumnWidth(char firstCol, char lastCol, double width)
{
    for (char col = firstCol; col <= lastCol; ++col)
        columnWidths_[columnIndex(col)] = width;
}

void SheetContent::setMargins(const PageMargins& margins)
{
    margins_ = margins;
    hasMargins_ = true;
}

lxw_format* SheetContent::formatOf(const Cell& cell, CellFormats& formats) const
{
    if (!cell.styled() && cell.decimals < 0) return nullptr;
    return formats.get(cell.fontSize, cell.border, cell.centred, cell.wrap, cell.decimals);
}

double SheetContent::columnWidth(int index) const
{
    const auto found = columnWidths_.find(index);
    return found == columnWidths_.end() ? defaultColumnWidth : found->second;
}

double SheetContent::fittedHeight(int row) const
{
    if (row > static_cast<int>(rows_.size())) return defaultRowHeight;
    const std::vector<Cell>& cells = rows_[static_cast<size_t>(row - 1)];
    double height = defaultRowHeight;
    const auto fit = [&](const Cell& cell, std::string_view text, double width) {
        if (!cell.wrap) return;
        const int size = cell.fontSize != 0 ? cell.fontSize : defaultFontSize;
        height = std::max(height, rowHeightForLines(wrappedLineCount(text, width, size), size));
    };
    std::set<int> merged;
    for (const Merge& merge : merges_) {
        if (merge.block.firstRow != row) continue;
        double width = 0;
        for (char col = merge.block.firstCol; col <= merge.block.lastCol; ++col) {
            width += columnWidth(columnIndex(col));
            merged.insert(columnIndex(col));
        }
        fit(cells[static_cast<size_t>(columnIndex(merge.block.firstCol))], merge.text, width);
    }
    for (size_t col = 0; col < cells.size(); ++col)
        if (merged.count(static_cast<int>(col)) == 0 && cells[col].kind == Cell::Kind::text)
            fit(cells[col], cells[col].text, columnWidth(static_cast<int>(col)));
    return height;
}

lxw_error SheetContent::writeTo(lxw_workbook* workbook, CellFormats& formats, bool active) const
{
    lxw_worksheet* sheet = workbook_add_worksheet(workbook, name_.c_str());
    if (sheet == nullptr) return LXW_ERROR_MEMORY_MALLOC_FAILED;
    lxw_error firstError = LXW_NO_ERROR;
    const auto keep = [&firstError](lxw_error error) {
        if (firstError == LXW_NO_ERROR) firstError = error;
    };

    std::set<std::pair<int, int>> mergeStarts;
    for (const Merge& merge : merges_) {
        const int row = merge.block.firstRow - 1;
        const int col = columnIndex(merge.block.firstCol);
        const Cell& first = rows_[static_cast<size_t>(row)][static_cast<size_t>(col)];
        keep(worksheet_merge_range(sheet, static_cast<lxw_row_t>(row), static_cast<lxw_col_t>(col),
                                   static_cast<lxw_row_t>(merge.block.lastRow - 1),
                                   static_cast<lxw_col_t>(columnIndex(merge.block.lastCol)),
                                   merge.text.c_str(), formatOf(first, formats)));
        mergeStarts.emplace(row, col);
    }

    for (size_t row = 0; row < rows_.size(); ++row) {
        for (size_t col = 0; col < rows_[row].size(); ++col) {
            if (mergeStarts.count({static_cast<int>(row), static_cast<int>(col)}) != 0) continue;
            const Cell& cell = rows_[row][col];
            const auto r = static_cast<lxw_row_t>(row);
            const auto c = static_cast<lxw_col_t>(col);
            switch (cell.kind) {
            case Cell::Kind::text:
                keep(worksheet_write_string(sheet, r, c, cell.text.c_str(),
                                            formatOf(cell, formats)));
                break;
            case Cell::Kind::number:
                keep(worksheet_write_number(sheet, r, c, cell.number, formatOf(cell, formats)));
                break;
            case Cell::Kind::empty:
                if (cell.styled())
                    keep(worksheet_write_blank(sheet, r, c, formatOf(cell, formats)));
                break;
            }
        }
    }

    // One range per run of equal widths: overlapping column ranges are invalid in the file.
    for (auto run = columnWidths_.begin(); run != columnWidths_.end();) {
        auto end = std::next(run);
        int last = run->first;
        while (end != columnWidths_.end() && end->first == last + 1 && end->second == run->second) {
            last = end->first;
            ++end;
        }
        keep(worksheet_set_column(sheet, static_cast<lxw_col_t>(run->first),
                                  static_cast<lxw_col_t>(last), run->second, nullptr));
        run = end;
    }

    for (int row : fittedRows_)
        keep(worksheet_set_row(sheet, static_cast<lxw_row_t>(row - 1), fittedHeight(row), nullptr));

    worksheet_set_paper(sheet, a4Paper);
    if (landscape_) worksheet_set_landscape(sheet);
    if (fitToWidth_) worksheet_fit_to_pages(sheet, 1, 0);
    if (hasMargins_) {
        worksheet_set_margins(sheet, margins_.left, margins_.right, margins_.top, margins_.bottom);
        // The writer takes the header and footer margins together with a caption; the
        // captions stay empty.
        lxw_header_footer_options header{};
        header.margin = margins_.header;
        lxw_header_footer_options footer{};
        footer.margin = margins_.footer;
        worksheet_set_header_opt(sheet, "", &header);
        worksheet_set_footer_opt(sheet, "", &footer);
    }
    if (active) worksheet_activate(sheet);
    return firstError;
}
