// The import of a table of counts into the archive: every population of the table becomes a
// task of one system, named "population (system)" and labelled with both names. The file is
// read (import/cell_table.h) and the whole table checked (count_table_check.h) before anything
// is written; then all the tasks are saved together (saveTasks). Entry point: importCountTable.
#pragma once

#include "archive/count_table_check.h"
#include "archive/task_archive.h"

#include <optional>
#include <string>
#include <vector>

struct CountTableImport
{
    std::optional<TableProblem> problem; // nothing was written then
    std::vector<int> keys;               // the new tasks' keys, in the table's order
};

// Imports the table of the file at path. base is the record every task shares: the allele
// rows, mode, criterion, the counts of alleles, tests and phenotypes of task (checked and
// generated), the date and time; its name, counts and labels are each population's own.
// tables.labels must be given. An unreadable file or a table the check refuses is the problem,
// and the archive's files are not touched. A table error while saving throws TableError after
// every row written is freed again, so that no task of the import stays in the archive (the
// freed rows remain in the tables for later saves, as after a delete); only a power cut in the
// last round of the save can leave some of the tasks, each whole with its labels. The list's
// data source, when given, does not follow SPISOK while the import reads and writes it.
CountTableImport importCountTable(const ArchiveTables& tables, const std::string& path,
                                  const TaskState& task, const TaskRecord& base,
                                  const Cp1251Text& system, DataSource* listSource = nullptr);
