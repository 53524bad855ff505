#include "export/report_workbook.h"

namespace {
// The workbook's texts are still plain Windows-1251 bytes.
TextGrid dataRows(const ShownTable& table)
{
    TextGrid grid;
    for (size_t row = 1; row < table.size(); ++row) {
        std::vector<std::string> cells;
        for (const Cp1251Text& cell : table[row])
            cells.push_back(cell.bytes());
        grid.addRow(std::move(cells));
    }
    return grid;
}
} // namespace

ResultTexts resultTextsOf(const ReportTables& tables)
{
    ResultTexts texts;
    texts.alleles = dataRows(tables.alleles);
    texts.genotypes = dataRows(tables.genotypes);
    texts.tests = dataRows(tables.tests);
    texts.phenotypeList = dataRows(tables.controlPhenotypes);
    texts.phenotypes = dataRows(tables.phenotypes);
    for (size_t k = 0; k < texts.fitSummaries.size(); ++k)
        texts.fitSummaries[k] = tables.fitLabels[k].bytes();
    return texts;
}
