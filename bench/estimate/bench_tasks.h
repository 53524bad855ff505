// The tasks the estimation benchmarks run on: the classic ABO and MN samples, and
// codominant and dominance tasks of 10 and 50 alleles with counts drawn under the
// Hardy–Weinberg law from a fixed generator of their own.
#pragma once

#include "task/task_state.h"

#include <cstdint>
#include <string>
#include <vector>

struct BenchTask
{
    std::string title;
    InheritanceMode mode = InheritanceMode::codominance;
    std::vector<std::string> alleles; // cell texts, UTF-8
    std::vector<std::int64_t> counts; // phenotype order of generatePhenotypes
};

BenchTask aboTask();
BenchTask mnTask();
// n single-test codominant alleles, the last one the allele no test detects when withNull.
BenchTask drawnCodominantTask(int alleles, bool withNull, std::int64_t individuals);
// n single-test alleles in dominance, the most dominant first.
BenchTask drawnDominanceTask(int alleles, std::int64_t individuals);

// Fills the task's allele and test lists, phenotypes, genotypes, observed frequencies and
// tripleTotal from a bench task.
void loadTask(const BenchTask& bench, TaskState& task);

std::vector<Cp1251Text> countTexts(const BenchTask& bench);
Cp1251Text totalText(const BenchTask& bench);
