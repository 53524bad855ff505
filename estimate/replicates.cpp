#include "estimate/replicates.h"

#include "estimate/fit_criteria.h"
#include "estimate/fit_statistics.h"
#include "estimate/frequency_refinement.h"
#include "estimate/goodness_of_fit.h"
#include "estimate/percentile.h"
#include "platform/worker_run.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <random>
#include <span>

namespace {

using Engine = std::mt19937_64;

// Draws the counts of `total` individuals over categories of probability p (summing to
// about 1) as successive conditional binomials.
class MultinomialSampler
{
public:
    explicit MultinomialSampler(std::vector<long double> p) : p_(std::move(p)), rest_(p_.size())
    {
        long double sum = 0;
        for (std::size_t r = p_.size(); r-- > 0;) {
            sum += p_[r];
            rest_[r] = sum;
        }
    }

    void draw(std::int64_t total, Engine& engine, std::vector<std::int64_t>& counts) const
    {
        std::int64_t left = total;
        for (std::size_t r = 0; r < p_.size(); ++r) {
            std::int64_t count = 0;
            if (left > 0 && p_[r] > 0) {
                const long double share = p_[r] / rest_[r];
                if (share >= 1 || r + 1 == p_.size()) {
                    count = left;
                } else {
                    std::binomial_distribution<std::int64_t> binomial(left,
                                                                      static_cast<double>(share));
                    count = binomial(engine);
                }
            }
            counts[r] = count;
            left -= count;
        }
        // Rounding may leave the last categories of positive probability short.
        for (std::size_t r = p_.size(); left > 0 && r-- > 0;)
            if (p_[r] > 0) {
                counts[r] += left;
                left = 0;
            }
    }

private:
    std::vector<long double> p_;
    std::vector<long double> rest_; // Σ p over this category and the later ones
};

std::vector<long double> proportions(const std::vector<std::int64_t>& counts, std::int64_t total)
{
    std::vector<long double> p;
    for (const std::int64_t c : counts)
        p.push_back(static_cast<long double>(c) / static_cast<long double>(total));
    return p;
}

// The fit tests a Monte-Carlo sample repeats, in the order of MonteCarloProbabilities.
enum Test
{
    pooledTest,
    pearsonTest,
    likelihoodRatioTest,
    testCount
};

// Whether a sample's statistic reaches the observed one; a gap of rounding is no gap.
bool reaches(double sample, double observed)
{
    return sample >= observed - 1e-9 * std::max(1.0, observed);
}

// One criterion and kind of sample.
struct Stream
{
    int k = 0;    // criterion 0..2
    int kind = 0; // 0 the bootstrap, 1 the Monte-Carlo sample
};

struct Shared
{
    Shared(const TaskState& t, const TaskStatistics& s, const ReplicateSettings& settings)
        : task(t), statistics(s), replicates(settings.replicates),
          seed(settings.seed), fitted{MultinomialSampler(s.criteria[0].expected),
                                      MultinomialSampler(s.criteria[1].expected),
                                      MultinomialSampler(s.criteria[2].expected)},
          observed(proportions(s.counts, s.total))
    {
        const auto n = static_cast<std::size_t>(t.alleleCount);
        const auto b = static_cast<std::size_t>(replicates);
        for (std::size_t k = 0; k < 3; ++k) {
            const CriterionStatistics& criterion = s.criteria[k];
            defined[k] = {criterion.textbook.degreesOfFreedom.has_value(),
                          criterion.pearson.degreesOfFreedom.has_value(),
                          criterion.likelihoodRatio.degreesOfFreedom.has_value()};
            streams.push_back({static_cast<int>(k), 0});
            frequencies[k].resize(b * n);
            if (std::find(defined[k].begin(), defined[k].end(), true) == defined[k].end()) continue;
            streams.push_back({static_cast<int>(k), 1});
            for (std::size_t t = 0; t < testCount; ++t)
                if (defined[k][t]) reached[k][t].resize(b);
        }
    }

    const TaskState& task;
    const TaskStatistics& statistics;
    std::int64_t replicates;
    std::uint64_t seed;
    std::array<MultinomialSampler, 3> fitted;             // the Monte-Carlo samples, per criterion
    MultinomialSampler observed;                          // the bootstrap samples
    std::vector<Stream> streams;                          // those that draw samples, per b
    std::array<std::array<bool, testCount>, 3> defined{}; // the tests with degrees of freedom
    // Per criterion: bootstrap frequencies (sample b's allele i at b·n + i) and, per test,
    // whether the Monte-Carlo sample b reached the observed statistic.
    std::array<std::vector<double>, 3> frequencies;
    std::array<std::array<std::vector<char>, testCount>, 3> reached;

    std::int64_t units() const { return replicates * static_cast<std::int64_t>(streams.size()); }
};

// What one worker thread draws and refits in: its own copy of the task and sample counts.
struct WorkerScratch
{
    explicit WorkerScratch(const Shared& shared)
        : task(shared.task), counts(static_cast<std::size_t>(shared.task.phenotypeCount))
    {
        task.tripleTotal = 3 * shared.statistics.total;
    }
    TaskState task;
    std::vector<std::int64_t> counts;
};

// The fit tests of Monte-Carlo sample b of criterion k, whose counts and refitted expected
// frequencies (work's, 1-based) are given.
void testSample(Shared& shared, std::size_t k, std::size_t b,
                const std::vector<std::int64_t>& counts, const TaskState& work)
{
    const CriterionStatistics& criterion = shared.statistics.criteria[k];
    const std::int64_t total = shared.statistics.total;
    const auto p = static_cast<std::size_t>(work.phenotypeCount);
    const std::span<const long double> expected(work.expectedPhenotypeFrequency.data() + 1, p);
    auto& reached = shared.reached[k];
    if (shared.defined[k][pooledTest]) {
        const FitTest fit = testGoodnessOfFit(
            counts, std::vector<long double>(expected.begin(), expected.end()), total);
        reached[pooledTest][b] = reaches(fit.chiSquare, criterion.pooled.chiSquare);
    }
    if (shared.defined[k][pearsonTest])
        reached[pearsonTest][b] =
            reaches(pearsonStatistic(counts, expected, total), criterion.pearson.statistic);
    if (shared.defined[k][likelihoodRatioTest])
        reached[likelihoodRatioTest][b] = reaches(likelihoodRatioStatistic(counts, expected, total),
                                                  criterion.likelihoodRatio.statistic);
}

// One sample: draw, refit from the point estimate, record.
void runSample(Shared& shared, TaskState& work, std::int64_t unit,
               std::vector<std::int64_t>& counts)
{
    const auto streamCount = static_cast<std::int64_t>(shared.streams.size());
    const std::int64_t b = unit / streamCount;
    const auto [k, kind] = shared.streams[static_cast<std::size_t>(unit % streamCount)];
    const CriterionStatistics& criterion = shared.statistics.criteria[static_cast<std::size_t>(k)];
    const std::int64_t total = shared.statistics.total;
    Engine engine(sampleStreamSeed(shared.seed, b, k, kind));
    (kind == 0 ? shared.observed : shared.fitted[static_cast<std::size_t>(k)])
        .draw(total, engine, counts);

    const int p = work.phenotypeCount;
    const int n = work.alleleCount;
    for (int r = 1; r <= p; ++r)
        work.observedPhenotypeFrequency[r] =
            static_cast<long double>(counts[static_cast<std::size_t>(r - 1)]) /
            static_cast<long double>(total);
    for (int i = 1; i <= n; ++i)
        work.alleleFrequency[i] = criterion.frequencies[static_cast<std::size_t>(i - 1)];
    const auto code = static_cast<FitCriterion>(k + 1);
    refineAlleleFrequencies(work, code);

    if (kind == 0) {
        double* row =
            &shared.frequencies[static_cast<std::size_t>(k)][static_cast<std::size_t>(b * n)];
        for (int i = 1; i <= n; ++i)
            row[i - 1] = static_cast<double>(work.alleleFrequency[i]);
        return;
    }
    computeExpectedFrequencies(work);
    testSample(shared, static_cast<std::size_t>(k), static_cast<std::size_t>(b), counts, work);
}

CriterionReplicates summarise(const Shared& shared, std::size_t k, int n)
{
    CriterionReplicates result;
    const auto b = static_cast<std::size_t>(shared.replicates);
    std::vector<double> values(b);
    for (int i = 0; i < n; ++i) {
        double mean = 0;
        for (std::size_t s = 0; s < b; ++s) {
            values[s] =
                shared
                    .frequencies[k][s * static_cast<std::size_t>(n) + static_cast<std::size_t>(i)];
            mean += values[s];
        }
        mean /= static_cast<double>(b);
        double squares = 0;
        for (const double v : values)
            squares += (v - mean) * (v - mean);
        result.standardErrors.push_back(std::sqrt(squares / static_cast<double>(b - 1)));
        std::sort(values.begin(), values.end());
        result.intervals.emplace_back(percentile(values, 0.025), percentile(values, 0.975));
    }
    const auto probability = [&](Test t) -> std::optional<double> {
        if (!shared.defined[k][t]) return std::nullopt;
        const auto& reached = shared.reached[k][t];
        const auto count = std::count(reached.begin(), reached.end(), 1);
        return static_cast<double>(1 + count) / static_cast<double>(shared.replicates + 1);
    };
    result.monteCarlo = {probability(pooledTest), probability(pearsonTest),
                         probability(likelihoodRatioTest)};
    return result;
}

} // namespace

std::uint64_t sampleStreamSeed(std::uint64_t seed, std::int64_t b, int k, int kind)
{
    std::seed_seq sequence{static_cast<std::uint32_t>(seed), static_cast<std::uint32_t>(seed >> 32),
                           static_cast<std::uint32_t>(b),    static_cast<std::uint32_t>(b >> 32),
                           static_cast<std::uint32_t>(k),    static_cast<std::uint32_t>(kind)};
    std::array<std::uint32_t, 2> words{};
    sequence.generate(words.begin(), words.end());
    return (static_cast<std::uint64_t>(words[0]) << 32) | words[1];
}

ReplicateResult runReplicates(const TaskState& task, const TaskStatistics& statistics,
                              const ReplicateSettings& settings)
{
    Shared shared(task, statistics, settings);
    const auto streams = static_cast<std::int64_t>(shared.streams.size());
    // Each worker makes its scratch on its own thread, at its first sample.
    std::vector<std::unique_ptr<WorkerScratch>> scratch(
        static_cast<std::size_t>(workerCount(settings.threads)));
    const auto work = [&](std::int64_t unit, int worker) {
        std::unique_ptr<WorkerScratch>& own = scratch[static_cast<std::size_t>(worker)];
        if (!own) own = std::make_unique<WorkerScratch>(shared);
        runSample(shared, own->task, unit, own->counts);
    };
    std::function<void(std::int64_t)> progress;
    if (settings.progress)
        progress = [&](std::int64_t done) { settings.progress(done / streams, shared.replicates); };

    ReplicateResult result;
    result.replicates = settings.replicates;
    if (!runOnWorkers(shared.units(), settings.threads, work, progress, settings.cancel)) {
        result.cancelled = true;
        return result;
    }
    for (std::size_t k = 0; k < 3; ++k)
        result.criteria[k] = summarise(shared, k, task.alleleCount);
    return result;
}
