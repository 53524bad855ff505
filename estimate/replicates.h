// The replicate-based figures of a calculated task, for each criterion: the
// non-parametric bootstrap (B samples of N individuals drawn from the observed phenotype
// counts) giving standard errors and percentile intervals of the allele frequencies, and
// the Monte-Carlo probabilities of the fit tests (the pooled chi-square, X² and G² on the
// unpooled classes) from the parametric bootstrap: B samples drawn from the fitted
// phenotype distribution, each refitted and tested with the same statistic. Every sample is
// refitted from the point estimate by the Newton refinement. Sample b of each criterion and
// kind draws from a stream of its own, derived from the run's seed, so the figures do not
// depend on the number of threads. A test without degrees of freedom gets no probability,
// and a criterion none of whose tests has any draws no Monte-Carlo sample. Entry point:
// runReplicates.
#pragma once

#include "estimate/task_statistics.h"
#include "task/task_state.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

constexpr int defaultReplicates = 1000;
constexpr int minimumReplicates = 100;
constexpr int maximumReplicates = 100000;

struct ReplicateSettings
{
    int replicates = defaultReplicates;
    std::uint64_t seed = 0;
    int threads = 0; // 0: one per core
    // Called on the calling thread now and then, with the samples done and their number.
    std::function<void(std::int64_t done, std::int64_t total)> progress;
    // Set by another thread to stop the run; the result is then marked cancelled.
    const std::atomic<bool>* cancel = nullptr;
};

// (1 + #{T* ≥ T}) / (B + 1) per test; none for a test without degrees of freedom. A T* that
// equals T but for rounding counts as reaching it.
struct MonteCarloProbabilities
{
    std::optional<double> pooled; // the report's pooled chi-square, df less the frequencies
    std::optional<double> pearson;
    std::optional<double> likelihoodRatio;
};

struct CriterionReplicates
{
    std::vector<double> standardErrors;               // bootstrap, allele 1 first
    std::vector<std::pair<double, double>> intervals; // percentile 95%
    MonteCarloProbabilities monteCarlo;
};

struct ReplicateResult
{
    bool cancelled = false; // nothing else is filled then
    int replicates = 0;
    std::array<CriterionReplicates, 3> criteria; // МП, МНК, МННК
};

// Runs both kinds of samples for the three criteria of the task (its genotype table and
// allele count) on worker threads and waits for them.
ReplicateResult runReplicates(const TaskState& task, const TaskStatistics& statistics,
                              const ReplicateSettings& settings);

// The random stream of one sample: sample b (0-based) of criterion k (0..2) and kind
// (0 the bootstrap, 1 the Monte-Carlo sample).
std::uint64_t sampleStreamSeed(std::uint64_t seed, std::int64_t b, int k, int kind);
