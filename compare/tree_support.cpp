#include "compare/tree_support.h"

#include "compare/neighbor_joining.h"

#include <algorithm>

namespace {

// The groups of a tree in a form two trees can be compared by: a split is written as its
// side without population 1.
std::vector<LeafGroup> comparableGroups(const BranchTree& tree, bool rooted)
{
    std::vector<LeafGroup> groups = treeGroups(tree);
    if (!rooted)
        for (LeafGroup& group : groups)
            if (group.front()) group.flip();
    return groups;
}

} // namespace

std::vector<LeafGroup> treeGroups(const BranchTree& tree)
{
    const auto leaves = static_cast<std::size_t>(tree.leaves);
    std::vector<LeafGroup> groups;
    for (const std::vector<TreeBranch>& join : tree.joins) {
        LeafGroup group(leaves, false);
        for (const TreeBranch& branch : join) {
            if (branch.node < tree.leaves) {
                group[static_cast<std::size_t>(branch.node)] = true;
                continue;
            }
            const LeafGroup& below = groups[static_cast<std::size_t>(branch.node - tree.leaves)];
            for (std::size_t i = 0; i < leaves; ++i)
                if (below[i]) group[i] = true;
        }
        groups.push_back(std::move(group));
    }
    return groups;
}

std::vector<double> splitSupport(const BranchTree& tree,
                                 const std::vector<std::optional<BranchTree>>& replicates,
                                 bool rooted)
{
    const std::vector<LeafGroup> groups = comparableGroups(tree, rooted);
    std::vector<int> held(groups.size(), 0);
    for (const std::optional<BranchTree>& replicate : replicates) {
        if (!replicate) continue;
        std::vector<LeafGroup> theirs = comparableGroups(*replicate, rooted);
        std::sort(theirs.begin(), theirs.end());
        for (std::size_t j = 0; j < groups.size(); ++j)
            if (std::binary_search(theirs.begin(), theirs.end(), groups[j])) ++held[j];
    }
    std::vector<double> support;
    for (const int count : held)
        support.push_back(
            replicates.empty() ? 0 : 100.0 * count / static_cast<double>(replicates.size()));
    return support;
}

BootstrapTrees bootstrapTrees(const std::vector<Frequencies>& estimates,
                              const std::vector<std::vector<Frequencies>>& samples,
                              const DistanceFunction& distance)
{
    std::vector<std::optional<BranchTree>> upgmaReplicates;
    std::vector<std::optional<BranchTree>> joiningReplicates;
    for (const std::vector<Frequencies>& sample : samples) {
        const DistanceMatrix d = distanceMatrix(sample, distance);
        upgmaReplicates.push_back(branchTree(upgmaTree(d)));
        joiningReplicates.push_back(neighborJoiningTree(d));
    }
    const DistanceMatrix d = distanceMatrix(estimates, distance);
    BootstrapTrees trees;
    trees.upgma.tree = branchTree(upgmaTree(d));
    trees.upgma.support = splitSupport(trees.upgma.tree, upgmaReplicates, true);
    if (const std::optional<BranchTree> joined = neighborJoiningTree(d))
        trees.neighborJoining = {*joined, splitSupport(*joined, joiningReplicates, false)};
    return trees;
}
