// A task ready for the calculation, whatever it was read from (a task file, the archive): its
// inheritance mode and the count cells of the control window. The task state beside it holds
// the alleles, tests and phenotypes.
#pragma once

#include "platform/cp1251_text.h"
#include "task/task_state.h"

#include <vector>

struct CountedTask
{
    InheritanceMode mode = InheritanceMode::codominance;
    std::vector<Cp1251Text> countTexts; // phenotype r at r − 1; empty if none
    Cp1251Text totalText;               // the decimal sum of the counts
};
