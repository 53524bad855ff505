// A task of the archive laid out for the calculation as opening it in the archive window lays
// it out: the allele rows in their positions checked, the phenotypes of its mode generated and
// its counts on their phenotypes. Entry points: taskFromRecord, currentArchivedTask,
// loadArchivedTask.
#pragma once

#include "archive/task_archive.h"
#include "task/counted_task.h"
#include "task/task_state.h"

#include <optional>
#include <string>
#include <string_view>

// A task of the archive, or the problem that stops it from being calculated.
struct ArchivedTask : CountedTask
{
    std::optional<std::string> problem; // Russian, UTF-8
    int criterion = 0;                  // KNOP2 as stored
};

// The task record laid out for the calculation: the allele check over its rows, phenotype
// generation in its mode (codominance unless KNOP1 says dominance), and its counts as the
// count cells of phenotypes 1..phenotypeCount, with their total. A failed allele check or a
// count outside 0..19999999, which only rows written by older versions or by other software
// can hold, is the problem, naming the phenotype.
ArchivedTask taskFromRecord(const TaskRecord& record, TaskState& task);

// The task of SPISOK's current row (loadTask) laid out by taskFromRecord; a problem when SPISOK
// shows no row. Throws TableError as loadTask does.
ArchivedTask currentArchivedTask(const ArchiveTables& tables, TaskState& task);

// Reads the live task whose name has the same key as nameUtf8 from SPISOK.DBF, ALLEL.DBF and
// FENOTIP.DBF of the folder, opened for reading only: nothing is written, the program may have
// the archive open meanwhile, and the rows read are those of one moment between its writes.
// A missing table, an unknown name, a damaged table or a restore left unfinished is the
// problem.
ArchivedTask loadArchivedTask(const std::string& folder, std::string_view nameUtf8,
                              TaskState& task);
