// The population structure of compared samples, beside their comparison: each sample's gene
// diversity, the differentiation of all of them, Reynolds' distance, the pairwise tests,
// the UPGMA and neighbor-joining trees on the chosen distance and the plots' points; with
// bootstrap replicates also the intervals of the differentiation and the support of both
// trees. Entry points: treeDistanceFunction, populationStructure.
#pragma once

#include "compare/differentiation.h"
#include "compare/frequency_plots.h"
#include "compare/gene_diversity.h"
#include "compare/pairwise_tests.h"
#include "compare/population_comparison.h"
#include "compare/tree_support.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

enum class TreeDistance
{
    nei,
    chord,
    reynolds
};

DistanceFunction treeDistanceFunction(TreeDistance distance);

struct StructureSettings
{
    TreeDistance distance = TreeDistance::nei;
    // The bootstrap replicates of the intervals and the support (0: none), and the tables of
    // each pairwise test (defaultReplicates when 0).
    int replicates = 0;
    int threads = 0; // 0: one per core
    // Called on the calling thread now and then with the share of the work done, in
    // thousandths.
    std::function<void(std::int64_t done)> progress;
    // Set by another thread to stop the run; the result is then marked cancelled.
    const std::atomic<bool>* cancel = nullptr;
};

constexpr std::int64_t structureProgressTotal = 1000;

struct PopulationStructure
{
    bool cancelled = false; // nothing else is filled then
    TreeDistance distance = TreeDistance::nei;
    int replicates = 0;
    std::vector<GeneDiversity> diversity; // per sample
    Differentiation differentiation;
    std::optional<DifferentiationIntervals> intervals; // with replicates
    DistanceMatrix reynolds;
    DistanceMatrix treeDistances; // the chosen distance, which the trees and files use
    PairwiseTests tests;
    SupportedTree upgma;                          // support empty without replicates
    std::optional<SupportedTree> neighborJoining; // nothing when a distance is not finite
    std::vector<TrianglePoint> triangle;          // three-allele systems only
    PrincipalComponents components;
};

// The structure of samples that pass comparisonMismatch, from their comparison. The random
// streams of the replicates derive from one number drawn from the program-wide generator.
PopulationStructure populationStructure(const std::vector<PopulationSample>& samples,
                                        const PopulationComparison& comparison,
                                        const StructureSettings& settings);
