// The comparison of several samples of one locus: the maximum-likelihood estimate (the
// calculation's criterion 1, "МП": the complex search with its Newton refinement) of each
// sample and of all counts pooled, their standard errors from the expected information,
// and the likelihood-ratio test of homogeneity. Entry points: comparisonMismatch,
// comparePopulations.
#pragma once

#include "estimate/fisher_information.h"
#include "estimate/fit_statistics.h"
#include "task/counted_task.h"
#include "task/task_state.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// One sample: a task whose alleles are checked and phenotypes generated, with its counts.
struct PopulationSample
{
    std::string name; // UTF-8, as the results show it
    InheritanceMode mode = InheritanceMode::codominance;
    std::unique_ptr<TaskState> task;
    std::vector<std::int64_t> counts; // phenotype 1 first
};

// The sample of a loaded task (a task file or an archived task): its count texts read as
// numbers. Nothing when a count text is not a whole number.
std::optional<PopulationSample>
sampleOfLoadedTask(std::string name, std::unique_ptr<TaskState> task, const CountedTask& loaded);

// Why the samples cannot be compared (Russian, UTF-8): fewer than two, a sample without
// counts, or the first sample whose normalised allele list or mode differs from the first
// one's. Nothing when they can.
std::optional<std::string> comparisonMismatch(const std::vector<PopulationSample>& samples);

struct PopulationEstimate
{
    std::int64_t total = 0;
    std::vector<long double> frequencies; // allele 1 first
    std::vector<AlleleError> errors;      // as maximumLikelihoodErrors gives them
    long double logLikelihood = 0;        // Σ c_r ln E_r, the multinomial constant dropped
};

struct ComparisonSettings
{
    // Called on the calling thread after each estimate, with the estimates done and their
    // number (samples + 1).
    std::function<void(int done, int total)> progress;
    // Set by another thread to stop the run; the result is then marked cancelled.
    const std::atomic<bool>* cancel = nullptr;
};

struct PopulationComparison
{
    bool cancelled = false; // nothing else is filled then
    std::vector<PopulationEstimate> populations;
    PopulationEstimate pooled;
    // G = 2 Σ_i [ℓ_i(p̂_i) − ℓ_i(p̂_pooled)], df = (samples − 1)(alleles − 1).
    ChiSquareTest homogeneity;
};

// Σ c_r ln E_r(p) over the phenotypes with c_r > 0, E_r floored at probabilityFloor; p is
// 0-based. Uses the task's genotype table and writes its frequency arrays.
long double sampleLogLikelihood(TaskState& task, const std::vector<std::int64_t>& counts,
                                const std::vector<long double>& p);

// Estimates every sample and the pooled counts with the program-wide random generator
// (the frequency search draws on it). The samples must pass comparisonMismatch. The pooled
// estimate is also refined from the count-weighted mean of the samples' estimates, and each
// sample's from the pooled one, the better kept each time, so ℓ_i(p̂_i) ≥ ℓ_i(p̂_pooled)
// and G ≥ 0 whatever the search found.
PopulationComparison comparePopulations(const std::vector<PopulationSample>& samples,
                                        const ComparisonSettings& settings = {});
