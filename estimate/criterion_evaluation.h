// Fast evaluation of a fit criterion at the many trial points of one search: the genotypes
// are grouped by phenotype once, so that each expected frequency is summed in a register
// instead of in the task's array, in the same order as computeExpectedFrequencies. The
// value equals criterionValue's bit for bit; the task's expected frequencies are not
// written. Entry point: CriterionEvaluation.
#pragma once

#include "task/task_state.h"

#include <vector>

class CriterionEvaluation
{
public:
    // Keeps a reference to the task's observed frequencies and reads its genotype table
    // and tripleTotal now.
    CriterionEvaluation(const TaskState& task, FitCriterion criterion);

    // The criterion at the allele frequencies p[1..alleleCount].
    long double operator()(const long double* p) const;

private:
    template <FitCriterion criterion> long double evaluate(const long double* p) const;

    struct Genotype
    {
        int first;
        int second;
    };

    const TaskState& task_;
    FitCriterion criterion_;
    long double tripleTotal_;
    std::vector<Genotype> genotypes_; // grouped by phenotype, table order within
    std::vector<int> phenotypeStart_; // phenotype r's genotypes: [start[r], start[r + 1])
};
