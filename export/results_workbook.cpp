#include "export/results_workbook.h"

#include "export/sheet_content.h"
#include "platform/clock.h"
#include "platform/cp1251.h"
#include "platform/short_date.h"

#include <cstdio>
#include <initializer_list>
#include <string_view>
#include <vector>

namespace {
constexpr int titleFontSize = 10;
constexpr int tableFontSize = 8;
constexpr double nameColumnWidth = 40.5;
constexpr double frequencyColumnWidth = 7.8;
constexpr double tableColumnWidth = 10;
constexpr double genotypeClassColumnWidth = 30;

// Sheet 1 margins: 2 cm, 2 cm, 1.5 cm and 1 cm. The header and footer margins are meant to
// be 0, which the writer refuses; the smallest value it keeps that the file still writes as
// a plain decimal is 0.0001 inch, which every spreadsheet shows as 0.
constexpr PageMargins alleleSheetMargins = {0.78740157480315, 0.78740157480315, 0.590551181102362,
                                            0.3937007,        0.0001,           0.0001};

// The long time format: hours, minutes and seconds.
std::string timeText(const LocalDateTime& moment)
{
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", moment.hour, moment.minute, moment.second);
    return text;
}

// The title literal (it ends in five spaces), the date in the user's short date format,
// three spaces and the time, read now.
std::string titleText(std::string_view literal)
{
    const LocalDateTime now = currentDateTime();
    return std::string(literal) + formatShortDate({now.year, now.month, now.day}) + "   " +
           timeText(now);
}

// The steps every sheet starts with: the title line merged over columns A to last with
// borders and its font size, and the header row 3; both rows get the height their wrapped
// lines need. Row 2 stays empty.
void writeTitleAndHeaders(SheetContent& sheet, char last, std::string_view literal,
                          std::initializer_list<const char*> headers)
{
    const CellBlock titleLine = {'A', 1, last, 1};
    sheet.merge(titleLine, titleText(literal));
    sheet.setBorders(titleLine);
    char col = 'A';
    for (const char* header : headers)
        sheet.writeText(col++, 3, header);
    sheet.setFontSize(titleLine, titleFontSize);
    sheet.fitRowHeight(1);
    sheet.fitRowHeight(3);
}

// Copies every row of the grid into the sheet from row 4 on, sheet columns A to last from
// grid columns firstGridCol onwards. Returns the last sheet row written (3 for no rows).
int copyRows(SheetContent& sheet, const TextGrid& grid, int firstGridCol, char last)
{
    for (int i = 1; i <= grid.rowCount(); ++i)
        for (char col = 'A'; col <= last; ++col)
            sheet.writeShown(col, 3 + i, grid.cell(firstGridCol + (col - 'A'), i));
    return 3 + grid.rowCount();
}

SheetContent alleleSheet(const ResultTexts& texts)
{
    SheetContent sheet("Аллели");
    sheet.setMargins(alleleSheetMargins);
    writeTitleAndHeaders(
        sheet, 'D', "Результаты расчета частоты аллелей     ",
        {"Наименование аллеля", "Частота по МП", "Частота по МНК", "Частота по МННК"});
    const int last = copyRows(sheet, texts.alleles, 1, 'D');
    sheet.setFontSize({'A', 2, 'D', last}, tableFontSize);
    sheet.setColumnWidth('A', 'A', nameColumnWidth);
    sheet.centre({'A', 1, 'D', last});
    sheet.setBorders({'A', 3, 'D', last});
    sheet.setColumnWidth('B', 'D', frequencyColumnWidth);
    sheet.wrapText({'A', 1, 'D', last});
    return sheet;
}

SheetContent testSheet(const ResultTexts& texts)
{
    SheetContent sheet("Тесты");
    writeTitleAndHeaders(
        sheet, 'I', "Фактические и расчетные количества и частоты \"срабатывания\" тестов     ",
        {"Тест", "Фактическое количество", "Расчетное количество по МП",
         "Расчетное количество по МНК", "Расчетное количество по МННК", "Фактическая частота",
         "Расчетная частота по МП", "Расчетная частота по МНК", "Расчетная частота по МННК"});
    const int last = copyRows(sheet, texts.tests, 1, 'I');
    sheet.centre({'A', 1, 'I', last});
    sheet.wrapText({'A', 1, 'I', last});
    sheet.setBorders({'A', 3, 'I', last});
    sheet.setFontSize({'A', 3, 'I', last}, tableFontSize);
    sheet.setColumnWidth('A', 'I', tableColumnWidth);
    sheet.setLandscape();
    sheet.fitToPageWidth();
    return sheet;
}

SheetContent phenotypeSheet(const ResultTexts& texts)
{
    SheetContent sheet("Фенотипы");
    writeTitleAndHeaders(
        sheet, 'J',
        "Фактические и расчетные количества особей и в фенотипе и частоты фенотипов     ",
        {"Фенотип", "Генотипический состав класса", "Фактическое количество",
         "Расчетное количество по МП", "Расчетное количество по МНК",
         "Расчетное количество по МННК", "Фактическая частота", "Расчетная частота по МП",
         "Расчетная частота по МНК", "Расчетная частота по МННК"});
    // Row 3 + i: the name and genotype class from the control window's list, then the
    // eight result columns of the phenotype report; row S takes the report's sum row.
    const int p = texts.phenotypeList.rowCount();
    for (int i = 1; i <= p; ++i) {
        sheet.writeShown('A', 3 + i, texts.phenotypeList.cell(1, i));
        sheet.writeShown('B', 3 + i, texts.phenotypeList.cell(4, i));
        for (char col = 'C'; col <= 'J'; ++col)
            sheet.writeShown(col, 3 + i, texts.phenotypes.cell(col - 'A', i));
    }
    const int sums = 4 + p;
    sheet.writeText('A', sums, " Суммы ");
    sheet.writeText('B', sums, "(для контроля) ");
    for (char col = 'C'; col <= 'J'; ++col)
        sheet.writeShown(col, sums, texts.phenotypes.cell(col - 'A', p + 1));

    sheet.centre({'A', 1, 'J', sums});
    sheet.wrapText({'A', 1, 'J', sums});
    sheet.setBorders({'A', 3, 'J', sums});
    sheet.setFontSize({'A', 3, 'J', sums}, tableFontSize);
    sheet.setColumnWidth('A', 'J', tableColumnWidth);
    sheet.setColumnWidth('B', 'B', genotypeClassColumnWidth);
    sheet.setLandscape();
    sheet.fitToPageWidth();
    for (int k = 0; k < 3; ++k) {
        const int row = sums + 2 * (k + 1);
        sheet.merge({'A', row, 'J', row}, cp1251ToUtf8(texts.fitSummaries[static_cast<size_t>(k)]));
    }
    return sheet;
}

SheetContent genotypeSheet(const ResultTexts& texts)
{
    SheetContent sheet("Генотипы");
    writeTitleAndHeaders(
        sheet, 'D', "Результаты расчета частоты генотипов     ",
        {"Наименование генотипа", "Частота по МП", "Частота по МНК", "Частота по МННК"});
    const int last = copyRows(sheet, texts.genotypes, 1, 'D');
    // The table's font covers every row written, however many genotypes there are.
    sheet.setFontSize({'A', 2, 'D', last}, tableFontSize);
    sheet.setColumnWidth('A', 'A', nameColumnWidth);
    sheet.setColumnWidth('B', 'D', frequencyColumnWidth);
    sheet.setBorders({'A', 3, 'D', last});
    sheet.centre({'A', 1, 'D', last});
    sheet.wrapText({'A', 1, 'D', last});
    return sheet;
}
} // namespace

lxw_error writeResultsLayout(const ResultTexts& texts, const std::string& path)
{
    lxw_workbook* workbook = workbook_new(path.c_str());
    if (workbook == nullptr) return LXW_ERROR_MEMORY_MALLOC_FAILED;
    CellFormats formats(workbook);
    // The sheets are laid out in order, so that each title carries the moment of its sheet.
    std::vector<SheetContent> sheets;
    sheets.push_back(alleleSheet(texts));
    sheets.push_back(testSheet(texts));
    sheets.push_back(phenotypeSheet(texts));
    sheets.push_back(genotypeSheet(texts));
    lxw_error error = LXW_NO_ERROR;
    for (size_t k = 0; k < sheets.size() && error == LXW_NO_ERROR; ++k)
        error = sheets[k].writeTo(workbook, formats, k + 1 == sheets.size());
    const lxw_error closed = workbook_close(workbook);
    return error != LXW_NO_ERROR ? error : closed;
}
