#include "estimate/gui/TForm2.h"

#include "estimate/gui/result_cells.h"
#include "estimate/report_grids.h"
#include "task/phenotypes.h"
#include "toolkit/list_grid.h"

TForm2* Form2 = nullptr;

TForm2::TForm2()
{
    setObjectName("Form2");
    setWindowTitle("Полный отчет по аллелям, генотипам и тестам");
    placeAsFullWindow();
    StringGrid1 = makeListGrid(this, 4, 8, 421, 465);
    StringGrid2 = makeListGrid(this, 440, 8, 525, 465);
    StringGrid3 = makeListGrid(this, 4, 484, 961, 205);
    layOutColumns();
}

void TForm2::layOutColumns()
{
    ::layOutColumns(*StringGrid1, alleleReportLayout(), {20, 107, 83, 88, 98});
    ::layOutColumns(*StringGrid2, genotypeReportLayout(), {20, 210, 83, 88, 98});
    ::layOutColumns(*StringGrid3, testReportLayout(),
                    {20, 165, 75, 80, 90, 100, 96, 100, 100, 103});
}

void TForm2::showAlleles(const TaskState& task)
{
    showNumberedRows(*StringGrid1, alleleReportLayout(),
                     listEntries(task.alleleNames, task.alleleCount));
    for (int r = 1; r <= task.alleleCount; ++r)
        StringGrid1->setCells(2, r, QString());
}

void TForm2::showTests(const TaskState& task)
{
    showNumberedRows(*StringGrid3, testReportLayout(), listEntries(task.testNames, task.testCount));
}

void TForm2::showGenotypes(const TaskState& task)
{
    std::vector<Cp1251Text> names;
    names.reserve(task.genotypeCount);
    for (int k = 1; k <= task.genotypeCount; ++k)
        names.push_back(genotypeName(task, k));
    showNumberedRows(*StringGrid2, genotypeReportLayout(), names);
}

void TForm2::showResults(const ReportTables& tables)
{
    showResultColumns(*StringGrid1, tables.alleles, 2, tables.alleles[0].size() - 1);
    showResultColumns(*StringGrid2, tables.genotypes, 2, tables.genotypes[0].size() - 1);
    showResultColumns(*StringGrid3, tables.tests, 2, tables.tests[0].size() - 1);
}
