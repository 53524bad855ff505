// The archive's rules over its tables: the key of a new task, the reuse of free rows by
// every row a save writes, and the freeing of a deleted task's rows. A row is live when its
// OT is true and free when it is false; free rows stay in the tables and are reused.
//
// A task is whole or absent after any crash. A save writes the task's allele and count rows
// first, flushes ALLEL.DBF and FENOTIP.DBF to the disk, and only then posts the live task row
// into SPISOK, which is the moment the task exists; a delete frees the task row first and
// flushes it before it frees the rows. An interrupted save or delete can therefore leave only
// live allele or count rows whose key no live task row carries, never a task row without its
// rows. Such rows belong to no task: opening the archive frees them, and a save frees any
// live row under its new key before writing (that key is below every live task's key, so no
// task can own them). Only rows under a key with no live task row are ever freed, so the rows
// of another live task are never touched.
//
// This keeps the three tables in the published DBF format at every moment, readable by other
// DBF programs with nothing to replay: a journal beside the tables would need replaying or
// rolling back by this program before the tables made sense, and another program reading
// them meanwhile would see the half-written state without knowing of the journal. Here
// another program sees at worst some live rows of no task, which it cannot join to any task.
// Each row is one write in place or one append; OT is the last field of each table as this
// program creates it, so even a record cut short keeps its old OT.
#pragma once

#include "tables/table.h"

#include <functional>

// The key of a new task: the smallest INDEX among the live rows of SPISOK minus 1, or 9999
// when no task is live, so the newest task has the smallest key. Walks every row of SPISOK
// with filtering switched off and leaves it off.
int newTaskKey(Table& spisok);

// Writes one row by the free-row reuse rule: the filter "ot=false" (filtering on), the first
// visible row or, when no row is free, a new row at the end; edit mode; fillFields sets the
// row's own fields (clearing them first when it needs to); then INDEX = key, OT true; post.
// The posted row is live and leaves the "ot=false" view, so the free rows are taken in
// ascending INDEX order before any row is appended.
void writeReusingFreeRow(Table& table, int key, const std::function<void(Table&)>& fillFields);

// Frees every row whose INDEX equals the key (filtering switched off while walking every
// row), then sets the resting filter "ot=true" with filtering on.
void freeTaskRows(Table& table, int key);

// The position of the first visible row whose INDEX is not below the key (the visible rows
// stand in ascending INDEX order), found by a binary search; rowCount() when there is none.
std::size_t firstRowFromKey(const Table& table, int key);

// Frees the live rows whose INDEX equals the key, found by firstRowFromKey under the resting
// filter "ot=true", which the table keeps afterwards; the other rows are not read.
void freeLiveRowsOfKey(Table& table, int key);

// Frees the live rows of ALLEL.DBF and FENOTIP.DBF whose key no live row of SPISOK carries
// (left by an interrupted save or delete) and flushes them to the disk. The three tables
// must be open; each keeps its filter text and filtering state.
void freeRowsWithoutTask(Table& spisok, Table& allel, Table& fenotip);
