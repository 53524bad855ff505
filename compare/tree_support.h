// Bootstrap support of the branches of the UPGMA and neighbor-joining trees: the share of
// replicate trees, built the same way from the bootstrap frequencies, that hold the same
// group of populations. Entry points: treeGroups, splitSupport, bootstrapTrees.
#pragma once

#include "compare/genetic_distance.h"

#include <optional>
#include <vector>

using LeafGroup = std::vector<bool>; // a flag per population

// The populations below each join of the tree (join j at index j), the root's being all.
std::vector<LeafGroup> treeGroups(const BranchTree& tree);

// For each join of the tree, the percentage of the replicates whose tree holds its group:
// as a clade when rooted (UPGMA), otherwise as a split of the populations into two sides,
// whichever side (neighbor-joining). A replicate without a tree holds none.
std::vector<double> splitSupport(const BranchTree& tree,
                                 const std::vector<std::optional<BranchTree>>& replicates,
                                 bool rooted);

struct SupportedTree
{
    BranchTree tree;
    std::vector<double> support; // percentage per join, as splitSupport gives it
};

struct BootstrapTrees
{
    SupportedTree upgma;
    std::optional<SupportedTree> neighborJoining; // nothing when a distance is not finite
};

// Both trees of the distances between the estimates (allele frequencies per population),
// with the support from the bootstrap samples (sample b, population i).
BootstrapTrees bootstrapTrees(const std::vector<Frequencies>& estimates,
                              const std::vector<std::vector<Frequencies>>& samples,
                              const DistanceFunction& distance);
