// velimor-calc --parentage CASEFILE: a parentage case over one or more systems judged without
// windows. The case file is UTF-8 text, one statement a line, "#" starting a comment:
//   system PATH        starts a system's block: its task file (cli/task_file.h), relative to
//                      the case file's folder, calculated by maximum likelihood
//   mother TESTS…      the mother's phenotype, optional
//   child TESTS…       the child's phenotype
//   father TESTS…      the alleged father's phenotype
// Tests are separated by blanks, in any order, "-" for no reaction. The verdict is written
// as [parentage] and [verdict] text sections or as one JSON object. Entry points:
// parentageRequested, runParentageCalculator.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

// Whether the arguments after the program name ask for a parentage case.
bool parentageRequested(const std::vector<std::string>& arguments);

// "velimor-calc --parentage CASEFILE [--seed N] [--json]".
std::string parentageUsage();

// The whole run. Returns the exit code: 0 on success, 2 on bad input (one line naming the
// case file and its line).
int runParentageCalculator(const std::vector<std::string>& arguments, std::ostream& out,
                           std::ostream& err);
