#include "compare/genetic_distance.h"

#include <cmath>
#include <cstdio>
#include <limits>
#include <numbers>

namespace {

// Six significant digits; a length below 1e-12 is the rounding of equal frequencies and shows
// as 0.
std::string lengthText(double length)
{
    if (std::fabs(length) < 1e-12) length = 0;
    char text[32];
    std::snprintf(text, sizeof text, "%.6g", length);
    return text;
}

std::string subtree(const BranchTree& tree, const std::vector<std::string>& names,
                    const std::vector<double>& support, int node)
{
    if (node < tree.leaves) return newickName(names[static_cast<std::size_t>(node)]);
    const auto join = static_cast<std::size_t>(node - tree.leaves);
    std::string text = "(";
    for (const TreeBranch& branch : tree.joins[join]) {
        if (text.size() > 1) text += ",";
        text += subtree(tree, names, support, branch.node) + ":" + lengthText(branch.length);
    }
    text += ")";
    if (!support.empty() && join + 1 < tree.joins.size())
        text += std::to_string(std::lround(support[join]));
    return text;
}

} // namespace

double neiDistance(const Frequencies& x, const Frequencies& y)
{
    long double jx = 0;
    long double jy = 0;
    long double jxy = 0;
    for (std::size_t i = 0; i < x.size(); ++i) {
        jx += x[i] * x[i];
        jy += y[i] * y[i];
        jxy += x[i] * y[i];
    }
    if (jxy <= 0) return std::numeric_limits<double>::infinity();
    return static_cast<double>(std::max(0.0L, -std::log(jxy / std::sqrt(jx * jy))));
}

double chordDistance(const Frequencies& x, const Frequencies& y)
{
    long double shared = 0;
    for (std::size_t i = 0; i < x.size(); ++i)
        shared += std::sqrt(x[i] * y[i]);
    const long double gap = std::max(0.0L, 1 - shared);
    return static_cast<double>(2 / std::numbers::pi_v<long double> * std::sqrt(2 * gap));
}

double reynoldsDistance(const Frequencies& x, const Frequencies& y)
{
    long double squares = 0;
    long double shared = 0;
    for (std::size_t i = 0; i < x.size(); ++i) {
        squares += (x[i] - y[i]) * (x[i] - y[i]);
        shared += x[i] * y[i];
    }
    const long double denominator = 2 * (1 - shared);
    if (!(denominator > 0)) return 0;
    return static_cast<double>(squares / denominator);
}

DistanceMatrix distanceMatrix(const std::vector<Frequencies>& populations,
                              const DistanceFunction& distance)
{
    const std::size_t n = populations.size();
    DistanceMatrix matrix(n, std::vector<double>(n, 0));
    for (std::size_t a = 0; a < n; ++a)
        for (std::size_t b = a + 1; b < n; ++b)
            matrix[a][b] = matrix[b][a] = distance(populations[a], populations[b]);
    return matrix;
}

Tree upgmaTree(const DistanceMatrix& distances)
{
    Tree tree;
    tree.leaves = static_cast<int>(distances.size());
    DistanceMatrix d = distances;
    std::vector<int> node(distances.size());
    std::vector<int> size(distances.size(), 1);
    for (std::size_t i = 0; i < node.size(); ++i)
        node[i] = static_cast<int>(i);
    std::vector<bool> alive(distances.size(), true);
    for (int join = 0; join + 1 < tree.leaves; ++join) {
        std::size_t a = 0;
        std::size_t b = 0;
        double closest = std::numeric_limits<double>::infinity();
        bool found = false;
        for (std::size_t i = 0; i < d.size(); ++i)
            for (std::size_t j = i + 1; j < d.size(); ++j)
                if (alive[i] && alive[j] && (!found || d[i][j] < closest)) {
                    a = i;
                    b = j;
                    closest = d[i][j];
                    found = true;
                }
        tree.joins.push_back({node[a], node[b], closest / 2});
        for (std::size_t k = 0; k < d.size(); ++k) {
            if (!alive[k] || k == a || k == b) continue;
            d[a][k] = d[k][a] = (size[a] * d[a][k] + size[b] * d[b][k]) / (size[a] + size[b]);
        }
        size[a] += size[b];
        alive[b] = false;
        node[a] = tree.leaves + join;
    }
    return tree;
}

BranchTree branchTree(const Tree& tree)
{
    BranchTree branches;
    branches.leaves = tree.leaves;
    for (const TreeJoin& join : tree.joins)
        branches.joins.push_back({{join.left, join.height - tree.heightOf(join.left)},
                                  {join.right, join.height - tree.heightOf(join.right)}});
    return branches;
}

std::string newickText(const Tree& tree, const std::vector<std::string>& names)
{
    return newickText(branchTree(tree), names);
}

std::string newickText(const BranchTree& tree, const std::vector<std::string>& names,
                       const std::vector<double>& support)
{
    if (tree.joins.empty()) return newickName(names.front()) + ";";
    return subtree(tree, names, support, tree.leaves + static_cast<int>(tree.joins.size()) - 1) +
           ";";
}

std::string newickName(const std::string& name)
{
    if (name.find_first_of(" ()[]':;,\t") == std::string::npos && !name.empty()) return name;
    std::string quoted = "'";
    for (const char c : name) {
        quoted += c;
        if (c == '\'') quoted += c;
    }
    return quoted + "'";
}
