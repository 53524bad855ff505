// The command-line calculator's road for a task of the archive: the task is read from the
// archive tables of a folder, laid out as opening it in the archive window does (allele rows
// in their positions, the mode, the counts on their phenotypes, the stored criterion), and
// calculated as a task file is. Entry points: loadArchivedTask, runArchiveCalculator.
#pragma once

#include "archive/task_archive.h"
#include "estimate/calc_options.h"
#include "estimate/task_file.h"

#include <iosfwd>
#include <string>
#include <string_view>

// The task record laid out for the calculation: the allele check over its rows, phenotype
// generation in its mode (codominance unless KNOP1 says dominance), and its counts as the
// count cells of phenotypes 1..phenotypeCount, with their total. A failed allele check or a
// count outside 0..19999999, which only rows written by older versions or by other software
// can hold, is the problem, naming the phenotype.
LoadedTask taskFromRecord(const TaskRecord& record, TaskState& task);

// A task read from the archive tables of a folder.
struct ArchivedTask
{
    LoadedTask loaded;
    int criterion = 0; // KNOP2 as stored
};

// Reads the live task whose name has the same key as nameUtf8 from SPISOK.DBF, ALLEL.DBF and
// FENOTIP.DBF of the folder, opened for reading only: nothing is written, the program may have
// the archive open meanwhile, and the rows read are those of one moment between its writes.
// A missing table, an unknown name, a damaged table or a restore left unfinished is the
// problem (Russian, UTF-8).
ArchivedTask loadArchivedTask(const std::string& folder, std::string_view nameUtf8,
                              TaskState& task);

// velimor-calc --archive FOLDER --task NAME: the archived task calculated by the stored
// criterion (or by --criterion when given) and reported as for a task file. Returns the exit
// code: 0 on success, 2 on bad input.
int runArchiveCalculator(const CalcOptions& options, std::ostream& out, std::ostream& err);
