#include "compare/population_bootstrap.h"

#include "compare/random_draws.h"
#include "estimate/frequency_refinement.h"
#include "platform/worker_run.h"

#include <memory>

namespace {

// The streams of these replicates, apart from the two kinds of the calculation's replicates.
constexpr int streamKind = 2;

// Whether every phenotype shows exactly one genotype: the likelihood is then that of the
// counted genes, whose maximum is their shares.
bool genotypesSeen(const TaskState& task)
{
    if (task.phenotypeCount != task.genotypeCount) return false;
    std::vector<bool> seen(static_cast<std::size_t>(task.phenotypeCount + 1), false);
    for (int g = 1; g <= task.genotypeCount; ++g) {
        const auto r = static_cast<std::size_t>(task.genotypePhenotype[g]);
        if (seen[r]) return false;
        seen[r] = true;
    }
    return true;
}

} // namespace

Frequencies refitFrequencies(TaskState& work, const std::vector<std::int64_t>& counts,
                             const Frequencies& start)
{
    std::int64_t total = 0;
    for (const std::int64_t c : counts)
        total += c;
    if (genotypesSeen(work)) {
        Frequencies genes(static_cast<std::size_t>(work.alleleCount), 0);
        for (int g = 1; g <= work.genotypeCount; ++g) {
            const auto c = static_cast<long double>(
                counts[static_cast<std::size_t>(work.genotypePhenotype[g] - 1)]);
            genes[static_cast<std::size_t>(work.genotypeFirstAllele[g] - 1)] += c;
            genes[static_cast<std::size_t>(work.genotypeSecondAllele[g] - 1)] += c;
        }
        for (long double& p : genes)
            p /= 2 * static_cast<long double>(total);
        return genes;
    }
    for (int r = 1; r <= work.phenotypeCount; ++r)
        work.observedPhenotypeFrequency[r] =
            static_cast<long double>(counts[static_cast<std::size_t>(r - 1)]) /
            static_cast<long double>(total);
    work.tripleTotal = 3 * total;
    for (int a = 1; a <= work.alleleCount; ++a)
        work.alleleFrequency[a] = start[static_cast<std::size_t>(a - 1)];
    refineAlleleFrequencies(work, FitCriterion::maximumLikelihood);
    return listEntries(work.alleleFrequency, work.alleleCount);
}

BootstrapFrequencies bootstrapFrequencies(const TaskState& task,
                                          const std::vector<std::vector<std::int64_t>>& counts,
                                          const std::vector<Frequencies>& estimates,
                                          const ReplicateSettings& settings)
{
    const auto populations = static_cast<std::int64_t>(counts.size());
    const std::int64_t replicates = settings.replicates;
    BootstrapFrequencies result;
    result.samples.assign(static_cast<std::size_t>(replicates),
                          std::vector<Frequencies>(counts.size()));
    std::vector<std::unique_ptr<TaskState>> copies;
    for (int worker = 0; worker < workerCount(settings.threads); ++worker)
        copies.push_back(std::make_unique<TaskState>(task));

    const auto work = [&](std::int64_t unit, int worker) {
        const std::int64_t b = unit / populations;
        const auto i = static_cast<std::size_t>(unit % populations);
        RandomEngine engine(sampleStreamSeed(settings.seed, b, static_cast<int>(i), streamKind));
        std::vector<std::int64_t> drawn;
        resampleCounts(counts[i], engine, drawn);
        result.samples[static_cast<std::size_t>(b)][i] =
            refitFrequencies(*copies[static_cast<std::size_t>(worker)], drawn, estimates[i]);
    };
    std::function<void(std::int64_t)> progress;
    if (settings.progress)
        progress = [&](std::int64_t done) { settings.progress(done / populations, replicates); };
    if (!runOnWorkers(replicates * populations, settings.threads, work, progress, settings.cancel))
        return {true, {}};
    return result;
}
