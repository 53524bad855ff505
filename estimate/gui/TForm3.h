// The report window for phenotypes: observed and expected counts and frequencies by the
// three criteria, and the three fit summaries. The control window's set-up lays out its
// rows; the calculation fills the result cells and the labels.
#pragma once

#include "estimate/report_tables.h"
#include "task/task_state.h"
#include "toolkit/controls.h"
#include "toolkit/form.h"
#include "toolkit/string_grid.h"

class TForm3 : public Form
{
public:
    TForm3();

    StringGrid* StringGrid1; // phenotypes, with a sum row
    Label* Label1;           // fit summary by МП
    Label* Label2;           // by МНК
    Label* Label3;           // by МННК

    // Column count, widths and header cells of the phenotype grid.
    void layOutColumns();
    // Rows 1..phenotypeCount: number and name as stored; the sum row after them.
    void showPhenotypes(const TaskState& task);
    // The counts and frequencies of a calculation in the grid, the fit summaries below it.
    void showResults(const ReportTables& tables);
};

extern TForm3* Form3;
