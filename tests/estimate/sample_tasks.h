// Small tasks for the estimation tests, set up as the allele check and the phenotype
// generation set them up.
#pragma once

#include "task/allele_check.h"
#include "task/phenotypes.h"
#include "task/task_state.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <numeric>
#include <string>
#include <vector>

// Checks the alleles (UTF-8 cell texts) and generates the phenotypes into the task.
inline void setUpTask(TaskState& task, std::initializer_list<const char*> alleles,
                      InheritanceMode mode = InheritanceMode::codominance)
{
    std::array<std::string, maxAlleles> cells{};
    std::size_t i = 0;
    for (const char* allele : alleles)
        cells[i++] = allele;
    ASSERT_FALSE(checkAlleleList(encodeAlleleRows(cells), task).failed());
    ASSERT_TRUE(generatePhenotypes(task, mode));
}

// Observed frequencies and tripleTotal from counts in phenotype order.
inline void setCounts(TaskState& task, const std::vector<std::int64_t>& counts)
{
    ASSERT_EQ(static_cast<int>(counts.size()), task.phenotypeCount);
    const std::int64_t total = std::accumulate(counts.begin(), counts.end(), std::int64_t{0});
    for (int r = 1; r <= task.phenotypeCount; ++r)
        task.observedPhenotypeFrequency[r] =
            static_cast<long double>(counts[static_cast<std::size_t>(r - 1)]) /
            static_cast<long double>(total);
    task.tripleTotal = 3 * total;
}

inline std::vector<Cp1251Text> countTexts(const std::vector<std::int64_t>& counts)
{
    std::vector<Cp1251Text> texts;
    for (const std::int64_t count : counts)
        texts.push_back(Cp1251Text::fromBytes(std::to_string(count)));
    return texts;
}
