// The whole comparison of several samples as the windows, velimor-calc and the workbook
// show it: the estimates and the homogeneity test, both distance matrices, the UPGMA tree on
// the chosen distance (Nei's unless told), the population structure beside them, and their
// texts (UTF-8) as rows of cells with the header row first. Entry points: compareSamples,
// setStructure, treeDistanceCaption, comparisonTables.
#pragma once

#include "compare/genetic_distance.h"
#include "compare/population_comparison.h"
#include "compare/population_structure.h"
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
    Tree tree;          // UPGMA on the structure's distance
    std::string newick; // of the UPGMA tree, with its support when the structure has it
    PopulationStructure structure;
    std::string neighborJoiningNewick; // empty without the tree
};

// Compares samples that pass comparisonMismatch, then finds their structure (unless the
// comparison is cancelled); cancelling either marks the comparison cancelled.
ComparisonReport compareSamples(const std::vector<PopulationSample>& samples,
                                const ComparisonSettings& settings = {},
                                const StructureSettings& structure = {});

// Puts a structure of the report's samples in it, with the trees and texts made of it.
void setStructure(ComparisonReport& report, PopulationStructure structure);

// The distance as the trees' captions name it: "по расстоянию Нея", "по хордовому
// расстоянию", "по расстоянию Рейнольдса".
std::string treeDistanceCaption(TreeDistance distance);

struct ComparisonTables
{
    TextTable frequencies; // one row per allele and a row of totals; per sample and pooled
                           // the frequency and its standard error
    TextTable homogeneity; // one row: G, degrees of freedom, p
    TextTable nei;         // the matrices, a name column first
    TextTable chord;
    TextTable tree;            // the Newick text of the tree
    TextTable diversity;       // one row per sample: H, unbiased H, its SE, effective alleles
    TextTable differentiation; // Gst, G'st, Jost's D with their intervals
    TextTable reynolds;
    TextTable pairwiseTests;       // one row per pair: G, p and Holm's p
    TextTable neighborJoiningTree; // its Newick text
};

// Frequencies, distances and diversities with 5 decimals, G with 3, p with 4.
ComparisonTables comparisonTables(const ComparisonReport& report);

// A figure as the comparison's tables show it: five decimals, "∞" where it is not finite.
std::string fiveDecimals(double x);

// A square matrix of distances with the names heading its rows and columns.
TextTable matrixTable(const std::vector<std::string>& names, const DistanceMatrix& matrix);
