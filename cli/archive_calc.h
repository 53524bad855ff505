// velimor-calc's road for a task of the archive: the task is read from the archive tables of
// a folder (loadArchivedTask) and calculated as a task file is. Entry point:
// runArchiveCalculator.
#pragma once

#include "cli/calc_options.h"

#include <iosfwd>

// velimor-calc --archive FOLDER --task NAME: the archived task calculated by the stored
// criterion (or by --criterion when given) and reported as for a task file. Returns the exit
// code: 0 on success, 2 on bad input.
int runArchiveCalculator(const CalcOptions& options, std::ostream& out, std::ostream& err);
