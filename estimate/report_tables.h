// The tables of a calculation as the report windows and the control window show them: the
// grids laid out by the control window's set-up (headers, numbers, names) with the result
// cells of a completed run written in. velimor-calc prints them and the results workbook is
// made of them. Entry point: reportTables.
#pragma once

#include "estimate/calculation_run.h"
#include "estimate/report_grids.h"
#include "task/task_state.h"

#include <array>
#include <vector>

struct ReportTables
{
    ShownTable alleles;                  // Form2 StringGrid1
    ShownTable genotypes;                // Form2 StringGrid2
    ShownTable tests;                    // Form2 StringGrid3
    ShownTable phenotypes;               // Form3 StringGrid1
    std::array<Cp1251Text, 3> fitLabels; // Form3 Label1 to Label3
    ShownTable controlAlleles;           // kontrol StringGrid1
    ShownTable controlPhenotypes;        // kontrol StringGrid3
    Cp1251Text controlSummary;           // kontrol Label4
};

// The tables of a completed run. countTexts are the control window's count cells before the
// run.
ReportTables reportTables(const TaskState& task, const CalculationResult& result,
                          const std::vector<Cp1251Text>& countTexts);
