// generatePhenotypes: from the normalised allele names and the inheritance mode, builds
// the phenotype list and the genotype table (every unordered allele pair with the
// phenotype it shows). genotypeClassText composes the list of genotypes of one phenotype.
#pragma once

#include "task/task_state.h"

#include <string>

// Builds phenotypeNames/phenotypeCount and the genotype table of the task. Returns false
// when a new phenotype would pass phenotypeLimit (the lists stay as far as they were
// built); the caller then shows phenotypeLimitMessage() and stops. The limit is always
// maxPhenotypes in the program; 50 alleles give at most 1275 phenotypes, so only a lower
// limit reaches it.
bool generatePhenotypes(TaskState& task, InheritanceMode mode, int phenotypeLimit = maxPhenotypes);

// "Слишком много фенотипов. Максимум - 1500", in UTF-8.
std::string phenotypeLimitMessage();

// The genotype-class text of phenotype r (1-based), such as "(A/A), (A/-)".
Cp1251Text genotypeClassText(const TaskState& task, int r);

// The name of genotype k (1-based), such as "A/B".
Cp1251Text genotypeName(const TaskState& task, int k);
