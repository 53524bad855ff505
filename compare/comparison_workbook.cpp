#include "compare/comparison_workbook.h"

#include "export/shown_number.h"

#include <algorithm>
#include <map>

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

    void sheet(const char* name, const TextTable& table)
    {
        lxw_worksheet* sheet = workbook_add_worksheet(workbook_, name);
        std::vector<std::size_t> widths;
        for (std::size_t r = 0; r < table.size(); ++r)
            for (std::size_t c = 0; c < table[r].size(); ++c) {
                const std::string& text = table[r][c];
                if (widths.size() <= c) widths.resize(c + 1, 0);
                widths[c] = std::max(widths[c], characters(text));
                const auto row = static_cast<lxw_row_t>(r);
                const auto col = static_cast<lxw_col_t>(c);
                const std::optional<ShownNumber> number =
                    r == 0 ? std::nullopt : readShownNumber(text);
                if (number)
                    worksheet_write_number(sheet, row, col, number->value,
                                           numberFormat(number->decimals));
                else
                    worksheet_write_string(sheet, row, col, text.c_str(), r == 0 ? header_ : body_);
            }
        for (std::size_t c = 0; c < widths.size(); ++c)
            worksheet_set_column(
                sheet, static_cast<lxw_col_t>(c), static_cast<lxw_col_t>(c),
                std::max(narrowestColumn, static_cast<double>(widths[c]) * widthPerCharacter),
                nullptr);
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

lxw_error writeLayout(const ComparisonTables& tables, const std::string& path)
{
    lxw_workbook* workbook = workbook_new(path.c_str());
    if (!workbook) return LXW_ERROR_CREATING_XLSX_FILE;
    Layout layout(workbook);
    layout.sheet("Частоты", tables.frequencies);
    layout.sheet("Однородность", tables.homogeneity);
    layout.sheet("Расстояние Нея", tables.nei);
    layout.sheet("Хордовое расстояние", tables.chord);
    layout.sheet("Дерево", tables.tree);
    return workbook_close(workbook);
}

} // namespace

WorkbookFileResult writeComparisonWorkbook(const ComparisonTables& tables, const std::string& path)
{
    return writeWorkbook([&tables](const std::string& file) { return writeLayout(tables, file); },
                         path);
}
