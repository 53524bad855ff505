// velimor-calc --compare --archive FOLDER --population P --population P …: the populations
// compared over every system they share (compare/population_study.h), reported as text
// sections or one JSON object {"systems": [{"system", …the comparison's object, each
// population with its "forensic"…}], "combined": {"populations", "neiDistance",
// "homogeneity", "tree", "neighborJoiningTree", "forensic"}}, with the workbook written by
// --xlsx FILE and the trees' support from --replicates B. Entry points: studyRequested,
// runStudyCalculator.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

// Whether the arguments after the program name ask for a comparison by population labels.
bool studyRequested(const std::vector<std::string>& arguments);

// The usage line, for messages and the help.
std::string studyUsage();

// The whole run. Returns the exit code: 0 on success, 2 on bad input, 1 when the workbook
// cannot be written.
int runStudyCalculator(const std::vector<std::string>& arguments, std::ostream& out,
                       std::ostream& err);
