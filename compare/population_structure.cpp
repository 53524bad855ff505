#include "compare/population_structure.h"

#include "compare/neighbor_joining.h"
#include "compare/population_bootstrap.h"
#include "estimate/fisher_information.h"
#include "platform/random.h"

namespace {

// The thousandths of the progress the pairwise tests take when the bootstrap follows them;
// the bootstrap, refitting every sample B times, takes the rest.
constexpr std::int64_t testsShare = 300;

// Reports the progress of a stage that runs from `from` to `to` thousandths.
std::function<void(std::int64_t, std::int64_t)> stageProgress(const StructureSettings& settings,
                                                              std::int64_t from, std::int64_t to)
{
    if (!settings.progress) return {};
    return [&settings, from, to](std::int64_t done, std::int64_t total) {
        settings.progress(total > 0 ? from + (to - from) * done / total : from);
    };
}

PopulationStructure cancelledStructure()
{
    PopulationStructure cancelled;
    cancelled.cancelled = true;
    return cancelled;
}

} // namespace

DistanceFunction treeDistanceFunction(TreeDistance distance)
{
    switch (distance) {
    case TreeDistance::chord:
        return chordDistance;
    case TreeDistance::reynolds:
        return reynoldsDistance;
    case TreeDistance::nei:
        break;
    }
    return neiDistance;
}

PopulationStructure populationStructure(const std::vector<PopulationSample>& samples,
                                        const PopulationComparison& comparison,
                                        const StructureSettings& settings)
{
    PopulationStructure result;
    result.distance = settings.distance;
    result.replicates = settings.replicates;
    std::vector<Frequencies> estimates;
    std::vector<std::vector<std::int64_t>> counts;
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const PopulationEstimate& estimate = comparison.populations[i];
        estimates.push_back(estimate.frequencies);
        counts.push_back(samples[i].counts);
        result.diversity.push_back(geneDiversity(
            estimate.frequencies,
            maximumLikelihoodCovariance(*samples[i].task, estimate.frequencies, estimate.total)));
    }
    result.differentiation = differentiation(estimates);
    result.reynolds = distanceMatrix(estimates, reynoldsDistance);
    const DistanceFunction distance = treeDistanceFunction(settings.distance);
    result.treeDistances = distanceMatrix(estimates, distance);
    result.triangle = trianglePoints(*samples.front().task, comparison.populations);
    result.components = principalComponents(estimates);

    ReplicateSettings replicate;
    replicate.seed = static_cast<std::uint64_t>(randomUniform() * 0x1p53);
    replicate.threads = settings.threads;
    replicate.cancel = settings.cancel;
    replicate.replicates = settings.replicates > 0 ? settings.replicates : defaultReplicates;
    const std::int64_t testsEnd = settings.replicates > 0 ? testsShare : structureProgressTotal;
    replicate.progress = stageProgress(settings, 0, testsEnd);
    result.tests = pairwiseTests(counts, replicate);
    if (result.tests.cancelled) return cancelledStructure();

    if (settings.replicates <= 0) {
        result.upgma.tree = branchTree(upgmaTree(result.treeDistances));
        if (std::optional<BranchTree> joined = neighborJoiningTree(result.treeDistances))
            result.neighborJoining = SupportedTree{std::move(*joined), {}};
        return result;
    }
    replicate.replicates = settings.replicates;
    replicate.progress = stageProgress(settings, testsEnd, structureProgressTotal);
    const BootstrapFrequencies bootstrap =
        bootstrapFrequencies(*samples.front().task, counts, estimates, replicate);
    if (bootstrap.cancelled) return cancelledStructure();
    result.intervals = differentiationIntervals(bootstrap.samples);
    BootstrapTrees trees = bootstrapTrees(estimates, bootstrap.samples, distance);
    result.upgma = std::move(trees.upgma);
    result.neighborJoining = std::move(trees.neighborJoining);
    return result;
}
