// The archive list's operations over SPISOK and the task rows: deleting the task of the
// current row, and narrowing the list to the tasks whose names contain a key (OTBOR marks
// them).
#pragma once

#include "archive/task_archive.h"

// Frees the task of SPISOK's current row: its SPISOK row (it leaves the list at once), flushed
// to the disk, then every row of ALLEL.DBF and FENOTIP.DBF (and METKI.DBF when given) with its
// key, which are flushed and end under the resting filter "ot=true". A crash between the two leaves
// rows with no task row, which the next open frees (archive_rules.h). Returns false, changing
// nothing, when SPISOK shows no row.
bool deleteCurrentTask(const ArchiveTables& tables);

// Whether a name contains the selection key: the key (already in upper case and trimmed) as a
// byte substring of the name in upper case.
bool nameMatchesKey(const Cp1251Text& name, const Cp1251Text& key);

// Rewrites OTBOR of every live task (true for a match of the key, false otherwise) while the
// list does not follow SPISOK, goes to the first row, and shows the list again: under
// "otbor=true and ot=true" when a task matched, under "ot=true" otherwise. SPISOK is flushed
// to the disk before the call returns. Returns the number of matches.
int selectTasksByKey(Table& spisok, DataSource& listSource, const Cp1251Text& key);
