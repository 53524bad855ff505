#include "compare/neighbor_joining.h"

#include <cmath>

std::optional<BranchTree> neighborJoiningTree(const DistanceMatrix& distances)
{
    for (const auto& row : distances)
        for (const double d : row)
            if (!std::isfinite(d)) return std::nullopt;
    BranchTree tree;
    tree.leaves = static_cast<int>(distances.size());
    if (tree.leaves == 2) {
        const double half = distances[0][1] / 2;
        tree.joins.push_back({{0, half}, {1, half}});
    }
    if (tree.leaves <= 2) return tree;

    std::vector<std::vector<long double>> d(distances.size());
    for (std::size_t i = 0; i < d.size(); ++i)
        d[i].assign(distances[i].begin(), distances[i].end());
    std::vector<int> node(distances.size()); // the tree node of each cluster left
    for (std::size_t i = 0; i < node.size(); ++i)
        node[i] = static_cast<int>(i);
    std::vector<long double> sums(d.size());
    while (node.size() > 3) {
        const std::size_t r = node.size();
        for (std::size_t i = 0; i < r; ++i) {
            sums[i] = 0;
            for (std::size_t k = 0; k < r; ++k)
                sums[i] += d[i][k];
        }
        std::size_t a = 0;
        std::size_t b = 1;
        long double least = 0;
        for (std::size_t i = 0; i < r; ++i)
            for (std::size_t j = i + 1; j < r; ++j) {
                const long double q = static_cast<long double>(r - 2) * d[i][j] - sums[i] - sums[j];
                if ((i == 0 && j == 1) || q < least) {
                    a = i;
                    b = j;
                    least = q;
                }
            }
        const long double toA =
            d[a][b] / 2 + (sums[a] - sums[b]) / (2 * static_cast<long double>(r - 2));
        tree.joins.push_back(
            {{node[a], static_cast<double>(toA)}, {node[b], static_cast<double>(d[a][b] - toA)}});
        // The new cluster takes a's place; b's row and column go.
        for (std::size_t k = 0; k < r; ++k)
            if (k != a && k != b) d[a][k] = d[k][a] = (d[a][k] + d[b][k] - d[a][b]) / 2;
        node[a] = tree.leaves + static_cast<int>(tree.joins.size()) - 1;
        node.erase(node.begin() + static_cast<std::ptrdiff_t>(b));
        d.erase(d.begin() + static_cast<std::ptrdiff_t>(b));
        for (auto& row : d)
            row.erase(row.begin() + static_cast<std::ptrdiff_t>(b));
    }
    // The centre: each of the three at (d(x,y) + d(x,z) − d(y,z))/2.
    std::vector<TreeBranch> centre;
    for (std::size_t x = 0; x < 3; ++x) {
        const std::size_t y = (x + 1) % 3;
        const std::size_t z = (x + 2) % 3;
        centre.push_back({node[x], static_cast<double>((d[x][y] + d[x][z] - d[y][z]) / 2)});
    }
    tree.joins.push_back(centre);
    return tree;
}
