// velimor-calc's roads that write into the archive tables of a folder: a table of counts
// imported as labelled tasks of one system (--import TABLE --alleles TASKFILE --system NAME
// --archive FOLDER), and one task file saved as a task (--save --archive FOLDER --task NAME
// [--population P] [--system S] TASKFILE). The tables are opened for writing as the program
// opens them (rows an interrupted save left are freed first); a missing table is created
// empty. Entry points: archiveWriteRequested, runArchiveWrite.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

// Whether the arguments after the program name ask for --import or --save.
bool archiveWriteRequested(const std::vector<std::string>& arguments);

// The usage lines of the two roads, for messages and the help.
std::string archiveWriteUsage();

// The whole run. Returns the exit code: 0 when written; 2 on bad input (a table or task file
// refused, one line naming its row and column or line; a name already in the archive), with
// nothing written; 1 when the archive tables cannot be written (held by the program, a table
// error), the archive then holding what it held before.
int runArchiveWrite(const std::vector<std::string>& arguments, std::ostream& out,
                    std::ostream& err);
