// Helper of the distance files' interoperation test (check_distance_interop.py): for seven
// populations of a four-allele system, writes into FOLDER
//   frequencies   their frequencies as PHYLIP's gendist reads them (all alleles)
//   reynolds.phy  Reynolds' distance as the PHYLIP square matrix
//   nj.tree       the neighbor-joining tree of that matrix, with the PHYLIP names
//   trees.nex     the NEXUS file with the UPGMA and neighbor-joining trees
//   names         each population's name and its PHYLIP name, tab-separated
#include "compare/distance_files.h"
#include "compare/neighbor_joining.h"
#include "compare/tree_support.h"

#include <cstdio>
#include <fstream>
#include <iostream>

namespace {

void write(const std::string& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

std::string trimmed(std::string text)
{
    while (!text.empty() && text.back() == ' ')
        text.pop_back();
    return text;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: distance_interop_helper FOLDER\n";
        return 2;
    }
    const std::string folder = argv[1];
    const std::vector<std::string> names = {"Стадо 1",  "Стадо 2",  "Стадо 3", "Порода А",
                                            "Порода Б", "Herd (7)", "Herd 8"};
    const std::vector<Frequencies> populations = {
        {0.40L, 0.30L, 0.20L, 0.10L}, {0.42L, 0.28L, 0.21L, 0.09L}, {0.30L, 0.35L, 0.25L, 0.10L},
        {0.10L, 0.20L, 0.30L, 0.40L}, {0.12L, 0.15L, 0.33L, 0.40L}, {0.25L, 0.25L, 0.25L, 0.25L},
        {0.05L, 0.60L, 0.05L, 0.30L}};
    const std::vector<std::string> shown = phylipNames(names);
    std::string frequencies = "    7    1\n4\n";
    std::string nameList;
    for (std::size_t i = 0; i < names.size(); ++i) {
        frequencies += shown[i];
        for (const long double p : populations[i]) {
            char text[16];
            std::snprintf(text, sizeof text, " %.2Lf", p);
            frequencies += text;
        }
        frequencies += "\n";
        nameList += names[i] + "\t" + trimmed(shown[i]) + "\n";
    }
    write(folder + "/frequencies", frequencies);
    write(folder + "/names", nameList);

    const DistanceMatrix d = distanceMatrix(populations, reynoldsDistance);
    write(folder + "/reynolds.phy", *phylipDistanceText(names, d));
    const BranchTree joined = *neighborJoiningTree(d);
    std::vector<std::string> trimmedNames;
    for (const std::string& name : shown)
        trimmedNames.push_back(trimmed(name));
    write(folder + "/nj.tree", newickText(joined, trimmedNames) + "\n");
    const BranchTree upgma = branchTree(upgmaTree(d));
    write(folder + "/trees.nex",
          *nexusText(names, d,
                     {{"UPGMA", upgma, splitSupport(upgma, {upgma}, true), true},
                      {"Neighbor-joining", joined, splitSupport(joined, {joined}, false), false}}));
    return 0;
}
