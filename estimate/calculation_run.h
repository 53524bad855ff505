// The whole calculation run over plain data: the counts become observed frequencies; for
// maximum likelihood, least squares and normalised least squares in turn the allele
// frequencies are estimated and every reported number is derived from them; each estimate
// is tested by chi-square. The result holds numbers only: estimate/report_tables.h makes
// the texts the windows, velimor-calc and the results workbook show. Entry point:
// runCalculation.
#pragma once

#include "estimate/goodness_of_fit.h"
#include "platform/cp1251_text.h"
#include "task/task_state.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// The numbers of one criterion, unrounded; every list is in the order of the task's lists.
struct CriterionEstimate
{
    std::vector<long double> alleleFrequencies;
    std::vector<long double> genotypeFrequencies; // p², or 2pq for a heterozygote
    long double homozygotes = 0;                  // the share of homozygous genotypes
    long double heterozygotes = 0;
    std::vector<long double> expectedFrequencies; // per phenotype
    std::vector<long double> testFrequencies;     // expected share of phenotypes showing a test
    long double criterionValue = 0;
    FitTest fit;
};

struct CalculationResult
{
    // UTF-8 message of a run that stopped before writing anything (no total, a negative
    // or malformed count); empty when the run completed.
    std::string failure;
    bool completed() const { return failure.empty(); }

    std::int64_t total = 0;
    std::vector<std::int64_t> counts; // the counts the run was made on, phenotype 1 first
    std::vector<long double> observedFrequencies; // count / total, phenotype 1 first
    std::vector<std::int64_t> testCounts;         // per test, the count of phenotypes showing it
    FitCriterion chosen = FitCriterion::maximumLikelihood;
    std::string doneMessage;                    // UTF-8
    std::array<CriterionEstimate, 3> estimates; // in the order of criterionNames
};

// The message of a run without counts, in UTF-8.
std::string noCountsMessage();

// Runs the calculation on a task whose phenotypes have been generated. countTexts holds
// the count cell of phenotype r at index r − 1 as typed (an empty or blank cell counts as
// 0); totalText is the caption of the total label; chosen is 1..3. Leaves the task's
// estimation arrays as the last criterion left them and tripleTotal set.
CalculationResult runCalculation(TaskState& task, const std::vector<Cp1251Text>& countTexts,
                                 const Cp1251Text& totalText, FitCriterion chosen);
