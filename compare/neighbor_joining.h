// The neighbor-joining tree of a distance matrix (Saitou and Nei's method in the form of
// Studier and Keppler): an unrooted tree written from its centre, where the last three
// clusters meet. Entry point: neighborJoiningTree.
#pragma once

#include "compare/genetic_distance.h"

#include <optional>

// Joins, while more than three clusters are left, the pair i, j of least
// (r − 2)·d(i,j) − R_i − R_j (R the row sums over the r clusters left; the lower numbers first
// on a tie), at branch lengths d(i,j)/2 ± (R_i − R_j)/(2(r − 2)), and takes
// (d(i,k) + d(j,k) − d(i,j))/2 as the new cluster's distances; the last three meet at the
// root. Branch lengths may come out negative and stay so. Two populations make one join of
// two half-distances. Nothing when a distance is not finite.
std::optional<BranchTree> neighborJoiningTree(const DistanceMatrix& distances);
