// The whole calculation run over plain data: the counts become observed frequencies; for
// maximum likelihood, least squares and normalised least squares in turn the allele
// frequencies are estimated and every shown result is derived from them; each estimate
// is tested by chi-square. The result holds every text the windows show, addressed by
// grid, column and row, so that the windows only copy them into cells. Entry point:
// runCalculation.
#pragma once

#include "estimate/goodness_of_fit.h"
#include "platform/cp1251_text.h"
#include "task/task_state.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// One cell text at column col and row row of a grid (row 0 is the header).
struct GridCell
{
    int col = 0;
    int row = 0;
    Cp1251Text text;
};

using GridTexts = std::vector<GridCell>;

// The numbers behind the texts of one criterion, unrounded.
struct CriterionEstimate
{
    std::vector<long double> alleleFrequencies;   // allele 1 first
    std::vector<long double> expectedFrequencies; // phenotype 1 first
    long double criterionValue = 0;
    FitTest fit;
    Cp1251Text fitSummary; // "Хи^2 =  3.456 Степеней свободы =4 p=0.485"
};

struct CalculationResult
{
    // UTF-8 message of a run that stopped before writing anything (no total, a negative
    // or malformed count); empty when the run completed.
    std::string failure;
    bool completed() const { return failure.empty(); }

    std::int64_t total = 0;
    std::vector<std::int64_t> counts; // the counts the run was made on, phenotype 1 first
    GridTexts controlAlleles;         // kontrol StringGrid1: column 2, chosen criterion
    GridTexts controlPhenotypes;      // kontrol StringGrid3: "0" into empty count cells, column 3
    GridTexts alleleReport;           // Form2 StringGrid1
    GridTexts genotypeReport;         // Form2 StringGrid2, rows 1 to genotypeCount + 3
    GridTexts testReport;             // Form2 StringGrid3
    GridTexts phenotypeReport;        // Form3 StringGrid1
    std::array<Cp1251Text, 3> fitLabels; // Form3 Label1 to Label3
    Cp1251Text summary;                  // kontrol Label4: the summary of the chosen criterion
    std::string doneMessage;             // UTF-8
    std::array<CriterionEstimate, 3> estimates; // МП, МНК, МННК
};

// The message of a run without counts, in UTF-8.
std::string noCountsMessage();

// Runs the calculation on a task whose phenotypes have been generated. countTexts holds
// the count cell of phenotype r at index r − 1 as typed (an empty or blank cell counts as
// 0); totalText is the caption of the total label; chosen is 1..3. Leaves the task's
// estimation arrays as the last criterion left them and tripleTotal set.
CalculationResult runCalculation(TaskState& task, const std::vector<Cp1251Text>& countTexts,
                                 const Cp1251Text& totalText, FitCriterion chosen);
