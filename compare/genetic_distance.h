// Distances between populations from their allele frequencies and the tree they give:
// Nei's standard genetic distance, the Cavalli-Sforza–Edwards chord distance, and the
// UPGMA tree on a distance matrix with its Newick text. Entry points: neiDistance,
// chordDistance, distanceMatrix, upgmaTree, newickText.
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

DistanceMatrix
distanceMatrix(const std::vector<Frequencies>& populations,
               const std::function<double(const Frequencies&, const Frequencies&)>& distance);

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

// "((A:0.1,B:0.1):0.2,C:0.3);": every branch with its length (the difference of the
// heights), names quoted in single quotes when they hold a space or one of ()[]':;,.
std::string newickText(const Tree& tree, const std::vector<std::string>& names);
