#include "export/report_workbook.h"

namespace {
// The rows of a report table below its header row.
TextGrid dataRows(const ShownTable& table)
{
    TextGrid grid;
    for (size_t row = 1; row < table.size(); ++row)
        grid.addRow(table[row]);
    return grid;
}
} // namespace

ResultTexts resultTextsOf(const ReportTables& tables)
{
    ResultTexts texts;
    texts.alleles = dataRows(tables.alleles);
    texts.genotypes = dataRows(tables.genotypes);
    texts.tests = dataRows(tables.tests);
    texts.phenotypeList = dataRows(tables.phenotypeList);
    texts.phenotypes = dataRows(tables.phenotypes);
    for (size_t k = 0; k < texts.fitSummaries.size(); ++k)
        texts.fitSummaries[k] = tables.fitLabels[k];
    return texts;
}
