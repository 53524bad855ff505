// Distances between populations from their allele frequencies and the tree they give:
// Nei's standard genetic distance, the Cavalli-Sforza–Edwards chord distance, Reynolds'
// distance, and the UPGMA tree on a distance matrix with its Newick text. Entry points:
// neiDistance, chordDistance, reynoldsDistance, distanceMatrix, upgmaTree, branchTree,
// newickText.
#pragma once

#include <functional>
#include <string>
#include <vector>

using Frequencies = std::vector<long double>;
using DistanceMatrix = std::vector<std::vector<double>>; // symmetric, zero diagonal

// D = −ln(Jxy / √(Jx·Jy)) with Jx = Σ x_i², Jy = Σ y_i², Jxy = Σ x_i y_i; infinite when the
// populations share no allele (Jxy = 0).
double neiDistance(const Frequencies& x, const Frequencies& y);

// D_CE = (2/π)·√(2(1 − Σ √(x_i y_i))), from 0 (the same frequencies) to 2√2/π (no allele
// shared).
double chordDistance(const Frequencies& x, const Frequencies& y);

// Reynolds, Weir and Cockerham's distance of one locus in the form PHYLIP's gendist writes:
// Σ (x_i − y_i)² / (2(1 − Σ x_i y_i)); 0 for two populations fixed for the same allele.
double reynoldsDistance(const Frequencies& x, const Frequencies& y);

using DistanceFunction = std::function<double(const Frequencies&, const Frequencies&)>;

DistanceMatrix distanceMatrix(const std::vector<Frequencies>& populations,
                              const DistanceFunction& distance);

// A rooted binary tree: nodes 0..n−1 are the populations, node n + j the j-th join.
struct TreeJoin
{
    int left = 0;
    int right = 0;
    double height = 0; // half the average distance between the members of the two sides
};

struct Tree
{
    int leaves = 0;
    std::vector<TreeJoin> joins; // n − 1 of them, in the order made, the last the root
    double heightOf(int node) const { return node < leaves ? 0 : joins[node - leaves].height; }
};

// UPGMA: joins the two closest clusters (the lower numbers first on a tie) until one is
// left; the distance of a join to another cluster is the size-weighted mean of its sides'.
Tree upgmaTree(const DistanceMatrix& distances);

// A tree by its branches: nodes 0..n−1 are the populations, node n + j the j-th join, which
// holds two earlier nodes (three at the centre of an unrooted tree) with the lengths of their
// branches; the last join is the root.
struct TreeBranch
{
    int node = 0;
    double length = 0;
};

struct BranchTree
{
    int leaves = 0;
    std::vector<std::vector<TreeBranch>> joins;
};

// The branches of a tree of heights: each the difference of the heights of its ends.
BranchTree branchTree(const Tree& tree);

// "((A:0.1,B:0.1):0.2,C:0.3);": every branch with its length (the difference of the
// heights), names quoted as newickName quotes them.
std::string newickText(const Tree& tree, const std::vector<std::string>& names);

// The same for a tree of branches; when support is given (a percentage per join), every
// inner node but the root carries its support, rounded to a whole number, as its label:
// "((A:0.1,B:0.1)87:0.2,C:0.3);".
std::string newickText(const BranchTree& tree, const std::vector<std::string>& names,
                       const std::vector<double>& support = {});

// A name as Newick and NEXUS texts hold it: in single quotes (a quote doubled) when it is
// empty or holds a blank or one of ()[]':;,.
std::string newickName(const std::string& name);
