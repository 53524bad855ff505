// The archive's rules over its tables: the key of a new task, the reuse of free rows by
// every row a save writes, and the freeing of a deleted task's rows. A row is live when its
// OT is true and free when it is false; free rows stay in the tables and are reused.
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
