// The distance matrix and the trees as files other programs read: a PHYLIP square distance
// matrix, a MEGA distance file and a NEXUS file with TAXA, DISTANCES and TREES blocks, as
// texts (UTF-8), and their saving. Entry points: phylipNames, phylipDistanceText,
// megaDistanceText, nexusText, saveDistanceFile, distanceFileFailureMessage.
#pragma once

#include "compare/genetic_distance.h"
#include "export/workbook_file.h"

#include <optional>
#include <string>
#include <vector>

// The names as PHYLIP's fixed ten-byte name field holds them: cut to whole characters within
// ten bytes (five Cyrillic letters in UTF-8), with ()[]:;, and control characters, which
// PHYLIP's programs refuse in names, as "_"; a name met before is cut shorter and ends in the
// first number from 2 that makes it unique. Each is padded with blanks to ten bytes.
std::vector<std::string> phylipNames(const std::vector<std::string>& names);

// "    3\n" and one row per population: its PHYLIP name and the distances with 8 decimals.
// Nothing when a distance is not finite, as none of the three formats has a place for it.
std::optional<std::string> phylipDistanceText(const std::vector<std::string>& names,
                                              const DistanceMatrix& distances);

// The MEGA distance file: its title (";" left out), the names with blanks as "_" and the lower
// triangle, 8 decimals.
std::optional<std::string> megaDistanceText(const std::vector<std::string>& names,
                                            const DistanceMatrix& distances,
                                            const std::string& title);

struct NexusTree
{
    std::string name;
    BranchTree tree;
    std::vector<double> support; // as newickText takes it
    bool rooted = true;
};

// TAXA, DISTANCES (the lower triangle with the diagonal, 8 decimals) and TREES blocks; names
// that hold a blank or NEXUS punctuation are quoted, and the trees name the populations by
// their numbers in a TRANSLATE table.
std::optional<std::string> nexusText(const std::vector<std::string>& names,
                                     const DistanceMatrix& distances,
                                     const std::vector<NexusTree>& trees);

// Writes the text to path, replacing a file of that name only once the new one is whole on
// the disk, as the results workbook is written.
WorkbookFileResult saveDistanceFile(const std::string& path, const std::string& text);

// "Не удалось сохранить файл «path»: <reason>." (UTF-8).
std::string distanceFileFailureMessage(const WorkbookFileResult& result);
