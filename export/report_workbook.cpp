#include "export/report_workbook.h"

#include "platform/cp1251.h"

namespace {
TextGrid dataRows(const TextTable& table)
{
    TextGrid grid;
    for (size_t row = 1; row < table.size(); ++row) {
        std::vector<std::string> cells;
        for (const std::string& cell : table[row])
            cells.push_back(toCp1251(cell));
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
        texts.fitSummaries[k] = toCp1251(tables.fitLabels[k]);
    return texts;
}
