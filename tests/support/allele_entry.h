// A new task's alleles put into the allele window as the user leaves them before pressing
// its check button.
#pragma once

#include <QString>

#include <vector>

// Starts from an empty task record and empty allele grids, puts the allele rows into the
// first grid from row 1 and selects the inheritance mode (codominance unless dominance).
void enterAlleles(const std::vector<QString>& alleles, bool dominance = false);
