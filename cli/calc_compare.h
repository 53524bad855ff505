// velimor-calc --compare: several tasks of one locus compared without windows, read from
// the archive tables of a folder (--archive FOLDER --task NAME --task NAME …) or from task
// files (--compare FILE FILE …), reported as text sections or one JSON object, with the
// comparison workbook written by --xlsx FILE and the distance matrix by --phylip, --mega and
// --nexus FILE; --replicates B adds the bootstrap intervals and tree support, --distance the
// trees' distance. Entry points: comparisonRequested, runCompareCalculator.
#pragma once

#include "cli/calc_output.h"
#include "compare/comparison_report.h"

#include <iosfwd>
#include <string>
#include <vector>

// Whether the arguments after the program name ask for a comparison.
bool comparisonRequested(const std::vector<std::string>& arguments);

// The whole comparison run. Returns the exit code: 0 on success, 2 on bad input, 1 when the
// workbook or a distance file cannot be written.
int runCompareCalculator(const std::vector<std::string>& arguments, std::ostream& out,
                         std::ostream& err);

// The sections of one comparison's text: [populations], [homogeneity], [neiDistance],
// [chordDistance], [tree]; each a heading line, tab-separated rows and an empty line.
std::string comparisonText(const ComparisonReport& report, const ComparisonTables& tables);
void appendSection(std::string& text, const std::string& title, const TextTable& table);

// One comparison's JSON object: {"alleles", "populations", "pooled", "homogeneity",
// "neiDistance", "chordDistance", "tree"}.
ReportJson comparisonObject(const ComparisonReport& report);

// A population's estimate {"total", "alleleFrequencies", "standardErrors"}, and a distance
// matrix as rows of numbers (null where infinite).
ReportJson estimateJson(const PopulationEstimate& estimate);
ReportJson matrixJson(const DistanceMatrix& matrix);
