// The texts of a calculation as the windows, velimor-calc and the results workbook show them:
// the report tables laid out by their grid layouts (headers, numbers, names) with the numbers
// of a completed run written in. A "Сумма" row adds up the values as shown, so that it reads
// as the sum of the column above it. Entry point: reportTables.
#pragma once

#include "estimate/calculation_run.h"
#include "estimate/goodness_of_fit.h"
#include "estimate/report_grids.h"
#include "task/task_state.h"

#include <array>
#include <vector>

struct ReportTables
{
    ShownTable alleles;    // the allele frequencies by the three criteria, with their sums
    ShownTable genotypes;  // the genotype frequencies, sums, homozygotes and heterozygotes
    ShownTable tests;      // per test the observed and expected counts and frequencies
    ShownTable phenotypes; // per phenotype the same, with their sums
    std::array<Cp1251Text, 3> fitLabels; // per criterion its name and its fit summary
    ShownTable chosenAlleles;            // the allele frequencies by the chosen criterion
    // The phenotypes, their counts as typed ("0" for an empty one), the expected counts by
    // the chosen criterion and the genotypes of each class.
    ShownTable phenotypeList;
    Cp1251Text chosenSummary; // the fit summary of the chosen criterion
};

// "Хи^2 =  3.456 Степеней свободы =4 p=0.485".
Cp1251Text fitSummaryText(const FitTest& fit);

// The tables as they are before a calculation: headers, numbers, names, the counts as typed
// and the genotypes of each phenotype class.
ReportTables laidOutTables(const TaskState& task, const std::vector<Cp1251Text>& countTexts);

// The tables of a completed run. countTexts are the count cells as typed before the run.
ReportTables reportTables(const TaskState& task, const CalculationResult& result,
                          const std::vector<Cp1251Text>& countTexts);
