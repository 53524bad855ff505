// The inference figures of a small task calculated under maximum likelihood on a fixed seed,
// for the statistics tests.
#pragma once

#include "estimate/calculation_run.h"
#include "estimate/task_statistics.h"
#include "platform/random.h"
#include "tests/estimate/sample_tasks.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

// The task must be set up (setUpTask); counts are those of its phenotypes in order.
inline TaskStatistics statisticsOf(TaskState& task, const std::vector<std::int64_t>& counts)
{
    seedRandom(1);
    std::int64_t total = 0;
    for (const std::int64_t c : counts)
        total += c;
    const CalculationResult result =
        runCalculation(task, countTexts(counts), Cp1251Text::fromBytes(std::to_string(total)),
                       FitCriterion::maximumLikelihood);
    EXPECT_TRUE(result.completed());
    return computeStatistics(task, result.counts, result.estimates);
}
