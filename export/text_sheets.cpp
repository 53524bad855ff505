#include "export/text_sheets.h"

#include "export/shown_number.h"

#include <algorithm>
#include <map>
#include <optional>

namespace {

constexpr double widthPerCharacter = 1.1;
constexpr double narrowestColumn = 8;

// Counts the characters of a UTF-8 text.
std::size_t characters(const std::string& text)
{
    return static_cast<std::size_t>(
        std::count_if(text.begin(), text.end(), [](char c) { return (c & 0xC0) != 0x80; }));
}

class Layout
{
public:
    explicit Layout(lxw_workbook* workbook) : workbook_(workbook)
    {
        header_ = workbook_add_format(workbook_);
        format_set_bold(header_);
        format_set_border(header_, LXW_BORDER_THIN);
        body_ = workbook_add_format(workbook_);
        format_set_border(body_, LXW_BORDER_THIN);
    }

    lxw_error sheet(const TextSheet& content)
    {
        lxw_worksheet* sheet = workbook_add_worksheet(workbook_, content.name.c_str());
        if (!sheet) return LXW_ERROR_MEMORY_MALLOC_FAILED;
        lxw_error firstError = LXW_NO_ERROR;
        const auto keep = [&firstError](lxw_error error) {
            if (firstError == LXW_NO_ERROR) firstError = error;
        };
        lxw_row_t row = 0;
        for (const std::string& line : content.above)
            keep(worksheet_write_string(sheet, row++, 0, line.c_str(), nullptr));
        std::vector<std::size_t> widths;
        const TextTable& table = content.table;
        for (std::size_t r = 0; r < table.size(); ++r, ++row)
            for (std::size_t c = 0; c < table[r].size(); ++c) {
                const std::string& text = table[r][c];
                if (widths.size() <= c) widths.resize(c + 1, 0);
                widths[c] = std::max(widths[c], characters(text));
                const auto col = static_cast<lxw_col_t>(c);
                const std::optional<ShownNumber> number =
                    r == 0 ? std::nullopt : readShownNumber(text);
                if (number)
                    keep(worksheet_write_number(sheet, row, col, number->value,
                                                numberFormat(number->decimals)));
                else
                    keep(worksheet_write_string(sheet, row, col, text.c_str(),
                                                r == 0 ? header_ : body_));
            }
        ++row;
        for (const std::string& line : content.below)
            keep(worksheet_write_string(sheet, row++, 0, line.c_str(), nullptr));
        for (std::size_t c = 0; c < widths.size(); ++c)
            keep(worksheet_set_column(
                sheet, static_cast<lxw_col_t>(c), static_cast<lxw_col_t>(c),
                std::max(narrowestColumn, static_cast<double>(widths[c]) * widthPerCharacter),
                nullptr));
        return firstError;
    }

private:
    lxw_format* numberFormat(int decimals)
    {
        lxw_format*& format = numbers_[decimals];
        if (!format) {
            format = workbook_add_format(workbook_);
            format_set_border(format, LXW_BORDER_THIN);
            format_set_num_format(format, ::numberFormat(decimals).c_str());
        }
        return format;
    }

    lxw_workbook* workbook_;
    lxw_format* header_;
    lxw_format* body_;
    std::map<int, lxw_format*> numbers_;
};

} // namespace

lxw_error writeTextSheets(const std::vector<TextSheet>& sheets, const std::string& path)
{
    lxw_workbook* workbook = workbook_new(path.c_str());
    if (!workbook) return LXW_ERROR_CREATING_XLSX_FILE;
    Layout layout(workbook);
    lxw_error error = LXW_NO_ERROR;
    for (const TextSheet& sheet : sheets)
        if (error == LXW_NO_ERROR) error = layout.sheet(sheet);
    const lxw_error closed = workbook_close(workbook);
    return error != LXW_NO_ERROR ? error : closed;
}
