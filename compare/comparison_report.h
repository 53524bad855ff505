// The whole comparison of several samples as the windows, velimor-calc and the workbook
// show it: the estimates and the homogeneity test, both distance matrices, the UPGMA tree on
// Nei's distance, and their texts (UTF-8) as rows of cells with the header row first.
// Entry points: compareSamples, comparisonTables.
#pragma once

#include "compare/genetic_distance.h"
#include "compare/population_comparison.h"
#include "estimate/text_table.h"

#include <string>
#include <vector>

struct ComparisonReport
{
    std::vector<std::string> names;       // the samples', UTF-8
    std::vector<std::string> alleleNames; // UTF-8, trimmed
    PopulationComparison comparison;      // cancelled: nothing below is filled
    DistanceMatrix nei;
    DistanceMatrix chord;
    Tree tree; // UPGMA on nei
    std::string newick;
};

// Compares samples that pass comparisonMismatch.
ComparisonReport compareSamples(const std::vector<PopulationSample>& samples,
                                const ComparisonSettings& settings = {});

struct ComparisonTables
{
    TextTable frequencies; // one row per allele and a row of totals; per sample and pooled
                           // the frequency and its standard error
    TextTable homogeneity; // one row: G, degrees of freedom, p
    TextTable nei;         // the matrices, a name column first
    TextTable chord;
    TextTable tree; // the Newick text of the tree
};

// Frequencies and distances with 5 decimals, G with 3, p with 4.
ComparisonTables comparisonTables(const ComparisonReport& report);
