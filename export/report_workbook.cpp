#include "export/report_workbook.h"

namespace {
TextGrid dataRows(const ShownTable& table)
{
    return TextGrid({table.begin() + 1, table.end()});
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
        texts.fitSummaries[k] = tables.fitLabels[k];
    return texts;
}
