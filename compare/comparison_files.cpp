#include "compare/comparison_files.h"

#include "compare/distance_files.h"

#include <vector>

std::optional<std::string> distanceFileText(const ComparisonReport& report, DistanceFormat format)
{
    const PopulationStructure& structure = report.structure;
    const DistanceMatrix& d = structure.treeDistances;
    switch (format) {
    case DistanceFormat::phylip:
        return phylipDistanceText(report.names, d);
    case DistanceFormat::mega:
        return megaDistanceText(report.names, d,
                                "Расстояния " + treeDistanceCaption(structure.distance));
    case DistanceFormat::nexus:
        break;
    }
    std::vector<NexusTree> trees = {{"UPGMA", structure.upgma.tree, structure.upgma.support, true}};
    if (structure.neighborJoining)
        trees.push_back(
            {"NJ", structure.neighborJoining->tree, structure.neighborJoining->support, false});
    return nexusText(report.names, d, trees);
}

std::string infiniteDistanceMessage(const std::string& path)
{
    return "Файл «" + path +
           "» не записан: расстояние между задачами без общих аллелей бесконечно.";
}
