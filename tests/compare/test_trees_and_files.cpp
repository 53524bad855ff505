// Reynolds' distance, the neighbor-joining tree and the distance files, against hand
// calculations, a published example and a tree known in advance.
#include "compare/distance_files.h"
#include "compare/neighbor_joining.h"
#include "compare/tree_support.h"
#include "tests/support/near.h"
#include "tests/support/scratch_folder.h"

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

// The length of the path between every two leaves of a tree.
DistanceMatrix pathLengths(const BranchTree& tree)
{
    const auto n = static_cast<std::size_t>(tree.leaves);
    // depth[v][leaf]: the path from node v down to each leaf below it.
    std::vector<std::vector<double>> depth(n + tree.joins.size(), std::vector<double>(n, -1));
    for (std::size_t i = 0; i < n; ++i)
        depth[i][i] = 0;
    DistanceMatrix d(n, std::vector<double>(n, 0));
    for (std::size_t j = 0; j < tree.joins.size(); ++j) {
        const auto& join = tree.joins[j];
        for (std::size_t s = 0; s < join.size(); ++s)
            for (std::size_t t = s + 1; t < join.size(); ++t)
                for (std::size_t x = 0; x < n; ++x)
                    for (std::size_t y = 0; y < n; ++y) {
                        const double dx = depth[static_cast<std::size_t>(join[s].node)][x];
                        const double dy = depth[static_cast<std::size_t>(join[t].node)][y];
                        if (dx >= 0 && dy >= 0)
                            d[x][y] = d[y][x] = dx + join[s].length + dy + join[t].length;
                    }
        for (const TreeBranch& branch : join)
            for (std::size_t x = 0; x < n; ++x)
                if (depth[static_cast<std::size_t>(branch.node)][x] >= 0)
                    depth[n + j][x] =
                        depth[static_cast<std::size_t>(branch.node)][x] + branch.length;
    }
    return d;
}

// The splits of an unrooted tree, each as its side without population 1, sorted.
std::vector<LeafGroup> splits(const BranchTree& tree)
{
    std::vector<LeafGroup> groups = treeGroups(tree);
    for (LeafGroup& group : groups)
        if (group.front()) group.flip();
    std::sort(groups.begin(), groups.end());
    return groups;
}

} // namespace

TEST(GeneticDistance, ReynoldsDistanceAsComputedByHand)
{
    // Σ (x − y)² = 0.16 + 0.0625 + 0.0225 = 0.245; Σ xy = 0.45 + 0.015 + 0.01 = 0.475;
    // D = 0.245 / (2 · 0.525) = 0.2333333 (gendist writes 0.233333).
    EXPECT_TRUE(
        near(reynoldsDistance({0.5L, 0.3L, 0.2L}, {0.9L, 0.05L, 0.05L}), 0.245 / 1.05, 1e-15));
    EXPECT_TRUE(near(reynoldsDistance({1, 0}, {1, 0}), 0, 0)); // 0/0 of one fixed allele
    EXPECT_TRUE(near(reynoldsDistance({1, 0}, {0, 1}), 1, 1e-15));
}

TEST(NeighborJoining, PublishedExampleAndAnAdditiveTree)
{
    // The five-taxon example of Saitou and Nei's method in the literature: a and b join first
    // (2 and 3), then c (4, the pair 3 from the new node), d and e meet it at 2, 2 and 1.
    const DistanceMatrix example = {
        {0, 5, 9, 9, 8}, {5, 0, 10, 10, 9}, {9, 10, 0, 8, 7}, {9, 10, 8, 0, 3}, {8, 9, 7, 3, 0}};
    const std::optional<BranchTree> tree = neighborJoiningTree(example);
    ASSERT_TRUE(tree);
    EXPECT_EQ(newickText(*tree, {"a", "b", "c", "d", "e"}), "(((a:2,b:3):3,c:4):2,d:2,e:1);");

    // The distances along a tree of six leaves are additive: the same tree comes back.
    BranchTree known;
    known.leaves = 6;
    known.joins = {{{0, 1.0}, {1, 2.0}},            // 6 = (A, B)
                   {{3, 1.0}, {4, 3.0}},            // 7 = (D, E)
                   {{2, 0.5}, {7, 0.7}},            // 8 = (C, 7)
                   {{6, 1.5}, {8, 0.4}, {5, 2.0}}}; // the centre
    const DistanceMatrix additive = pathLengths(known);
    EXPECT_TRUE(near(additive[0][5], 1 + 1.5 + 2, 1e-15));             // A to F
    EXPECT_TRUE(near(additive[0][3], 1 + 1.5 + 0.4 + 0.7 + 1, 1e-15)); // A to D
    const std::optional<BranchTree> rebuilt = neighborJoiningTree(additive);
    ASSERT_TRUE(rebuilt);
    EXPECT_EQ(splits(*rebuilt), splits(known));
    const DistanceMatrix again = pathLengths(*rebuilt);
    for (std::size_t a = 0; a < 6; ++a)
        for (std::size_t b = 0; b < 6; ++b)
            EXPECT_TRUE(near(again[a][b], additive[a][b], 1e-12)) << a << " " << b;

    // Three populations (PHYLIP's neighbor gives the same lengths): a negative one stays.
    const DistanceMatrix three = {
        {0, 0.233333, 0.180556}, {0.233333, 0, 0.522436}, {0.180556, 0.522436, 0}};
    EXPECT_EQ(newickText(*neighborJoiningTree(three), {"A", "B", "C"}),
              "(A:-0.0542735,B:0.287606,C:0.234829);");
    EXPECT_FALSE(neighborJoiningTree({{0, INFINITY}, {INFINITY, 0}}));
}

TEST(DistanceFiles, PhylipReadBackMegaNexusAndSaving)
{
    const std::vector<std::string> names = {"Стадо 1", "Стадо 2", "Herd (A)", "A", "A"};
    // "Стадо" fills ten bytes; the second gives a byte to the number; ( ) are not allowed.
    EXPECT_EQ(phylipNames(names), (std::vector<std::string>{"Стадо", "Стад2 ", "Herd _A_  ",
                                                            "A         ", "A2        "}));
    DistanceMatrix d(5, std::vector<double>(5, 0));
    for (std::size_t a = 0; a < 5; ++a)
        for (std::size_t b = 0; b < 5; ++b)
            if (a != b) d[a][b] = 0.01 * static_cast<double>((a + 1) * (b + 1)) + 1e-9;
    const std::optional<std::string> phylip = phylipDistanceText(names, d);
    ASSERT_TRUE(phylip);
    std::istringstream in(*phylip);
    std::string line;
    std::getline(in, line);
    EXPECT_EQ(std::stoi(line), 5);
    for (std::size_t a = 0; a < 5; ++a) {
        ASSERT_TRUE(std::getline(in, line));
        EXPECT_EQ(line.substr(0, 10), phylipNames(names)[a]);
        std::istringstream row(line.substr(10));
        for (std::size_t b = 0; b < 5; ++b) {
            double value = -1;
            row >> value;
            EXPECT_TRUE(near(value, d[a][b], 5e-9)) << a << " " << b;
        }
    }
    d[0][1] = d[1][0] = INFINITY;
    EXPECT_FALSE(phylipDistanceText(names, d));
    EXPECT_FALSE(nexusText(names, d, {}));

    const DistanceMatrix small = {{0, 0.2, 0.6}, {0.2, 0, 0.8}, {0.6, 0.8, 0}};
    const std::string mega = *megaDistanceText({"Стадо 1", "B", "C"}, small, "Нея; УПГМА");
    EXPECT_NE(mega.find("!Title: Нея УПГМА;\n"), std::string::npos);
    EXPECT_NE(mega.find("#Стадо_1\n#B\n#C\n\n[1]\n[2] 0.20000000\n[3] 0.60000000 0.80000000\n"),
              std::string::npos);
    const std::string nexus = *nexusText(
        {"Стадо 1", "B-2", "C"}, small, {{"UPGMA", branchTree(upgmaTree(small)), {90, 100}, true}});
    EXPECT_NE(nexus.find("TAXLABELS 'Стадо 1' 'B-2' C;"), std::string::npos);
    EXPECT_NE(nexus.find("TREE UPGMA = [&R] ((1:0.1,2:0.1)90:0.25,3:0.35);"), std::string::npos);

    const ScratchFolder scratch;
    const std::filesystem::path& folder = scratch.path();
    const std::string path = (folder / "nei.phy").string();
    ASSERT_TRUE(saveDistanceFile(path, *phylip).ok());
    std::ifstream saved(path, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(saved), {}), *phylip);
    const WorkbookFileResult failed = saveDistanceFile((folder / "нет" / "x.phy").string(), "x");
    EXPECT_FALSE(failed.ok());
    EXPECT_EQ(distanceFileFailureMessage(failed), "Не удалось сохранить файл «" +
                                                      (folder / "нет" / "x.phy").string() +
                                                      "»: папка не найдена.");
}
