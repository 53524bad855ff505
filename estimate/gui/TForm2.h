// The report window for alleles, genotypes and tests: the results of the three criteria
// side by side. The control window's set-up lays out its rows; the calculation fills the
// result cells.
#pragma once

#include "estimate/report_tables.h"
#include "task/task_state.h"
#include "toolkit/form.h"
#include "toolkit/string_grid.h"

class TForm2 : public Form
{
public:
    TForm2();

    StringGrid* StringGrid1; // alleles, with a sum row
    StringGrid* StringGrid2; // genotypes, with sum, homozygote and heterozygote rows
    StringGrid* StringGrid3; // tests

    // Column counts, widths and header cells of the three grids.
    void layOutColumns();
    // Rows 1..alleleCount: number and name as stored, frequency by МП emptied; the sum row
    // after them.
    void showAlleles(const TaskState& task);
    // Rows 1..testCount: number and name.
    void showTests(const TaskState& task);
    // Rows 1..genotypeCount: number and genotype name; then the sum, homozygote and
    // heterozygote rows.
    void showGenotypes(const TaskState& task);
    // The frequencies and counts of a calculation in the three grids.
    void showResults(const ReportTables& tables);
};

extern TForm2* Form2;
