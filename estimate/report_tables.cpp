#include "estimate/report_tables.h"

#include "task/phenotypes.h"

namespace {

void writeCells(ShownTable& table, const GridTexts& cells)
{
    for (const GridCell& cell : cells)
        table[static_cast<std::size_t>(cell.row)][static_cast<std::size_t>(cell.col)] = cell.text;
}

} // namespace

ReportTables reportTables(const TaskState& task, const CalculationResult& result,
                          const std::vector<Cp1251Text>& countTexts)
{
    const std::vector<Cp1251Text> alleleNames = listEntries(task.alleleNames, task.alleleCount);
    std::vector<Cp1251Text> genotypeNames;
    for (int k = 1; k <= task.genotypeCount; ++k)
        genotypeNames.push_back(genotypeName(task, k));
    const std::vector<Cp1251Text> testNames = listEntries(task.testNames, task.testCount);
    const std::vector<Cp1251Text> phenotypeNames =
        listEntries(task.phenotypeNames, task.phenotypeCount);

    ReportTables tables;
    tables.alleles = numberedRows(alleleReportLayout(), alleleNames);
    writeCells(tables.alleles, result.alleleReport);
    tables.genotypes = numberedRows(genotypeReportLayout(), genotypeNames);
    writeCells(tables.genotypes, result.genotypeReport);
    tables.tests = numberedRows(testReportLayout(), testNames);
    writeCells(tables.tests, result.testReport);
    tables.phenotypes = numberedRows(phenotypeReportLayout(), phenotypeNames);
    writeCells(tables.phenotypes, result.phenotypeReport);
    tables.fitLabels = result.fitLabels;

    tables.controlAlleles = numberedRows(controlAlleleLayout(), alleleNames);
    writeCells(tables.controlAlleles, result.controlAlleles);
    tables.controlPhenotypes = numberedRows(controlPhenotypeLayout(), phenotypeNames);
    for (int r = 1; r <= task.phenotypeCount; ++r) {
        auto& row = tables.controlPhenotypes[static_cast<std::size_t>(r)];
        row[2] = countTexts[static_cast<std::size_t>(r - 1)];
        row[4] = genotypeClassText(task, r);
    }
    writeCells(tables.controlPhenotypes, result.controlPhenotypes);
    tables.controlSummary = result.summary;
    return tables;
}
