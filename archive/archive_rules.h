// The archive's rules over its tables: the key of a new task, the reuse of free rows by every
// row a save writes, and the freeing of a deleted task's rows. A row is live when its OT is
// true and free when it is false; free rows stay in the tables and are reused.
//
// A row becomes live by one write of one byte, its OT, made after the rest of the row is on the
// disk. A save writes every row of the task whole with OT false (into free rows, then new rows
// at the end) and flushes the three tables; then it sets OT true on the task's allele and count
// rows and flushes those two tables; only then does it set OT true on the task row and flush
// SPISOK: that byte is the moment the task exists. A delete sets the task row's OT false and
// flushes SPISOK before it frees the task's rows, again one byte each.
//
// Why this holds when the power fails, not only when the program is killed: a disk may keep any
// part of the writes that were not flushed, whole 512-byte sectors or 4 KiB pages of them, in
// any order. A row written with OT false is free however much of it reached the disk, so a row
// torn that way is never read as a task's row; one byte is never torn, so OT holds its old value
// or its new one, and the rest of its row was on the disk before it. An allele or count row made
// live before its task row belongs to no task: opening the archive frees such rows, and a save
// frees any live row under its new key before writing (that key is below every live task's key,
// so no task can own them). An append cut short can leave a torn record, a header count of
// records not there or a zero-filled tail: opening the table mends it (tables/dbf_tail.h),
// cutting only rows never made live.
//
// A save flushes in three rounds (the rows, their OT, the task's OT; six flushes of files where
// writing the rows live at once took three), a delete in two. No round can go: without the
// first, a row made live could reach the disk before the rest of it; without the second, the
// task row could be live while an allele row is not yet. Setting all the OT bytes of one table
// in one round keeps the count of flushes independent of the number of rows.
//
// This keeps the three tables in the published DBF format at every moment, readable by other
// DBF programs with nothing to replay: a journal beside the tables would need replaying or
// rolling back by this program before the tables made sense, and another program reading them
// meanwhile would see the half-written state without knowing of the journal. Here another
// program sees at worst some live rows of no task, which it cannot join to any task. Rows are
// never marked deleted in the DBF sense: a free row keeps the live deletion byte with OT false,
// as the archive has always kept them, and a row written is written with the live byte. A free
// row rewritten in place that a power cut tore may mix, in a field that straddles two sectors,
// the old value with the new; the row stays free, and the next save rewrites it whole.
#pragma once

#include "tables/table.h"

#include <cstdint>
#include <functional>
#include <vector>

// The key of a new task: the smallest INDEX among the live rows of SPISOK minus 1, or 9999
// when no task is live, so the newest task has the smallest key. Walks every row of SPISOK
// with filtering switched off and leaves it off.
int newTaskKey(Table& spisok);

// The exclusive table locks of the tables for the life of an instance, taken in the order
// SPISOK, ALLEL.DBF, FENOTIP.DBF, METKI.DBF (when given) in which readers take their shared
// ones, so that a reader sees what the instance writes whole or not at all. The tables must be
// open.
class ArchiveWriting
{
public:
    ArchiveWriting(Table& spisok, Table& allel, Table& fenotip, Table* labels = nullptr);
    ~ArchiveWriting();
    ArchiveWriting(const ArchiveWriting&) = delete;
    ArchiveWriting& operator=(const ArchiveWriting&) = delete;

private:
    std::vector<Table*> held_;
};

// Writes count rows under the key by the free-row reuse rule, each whole and not yet live (OT
// false): into the free rows in ascending INDEX order, then into new rows at the end.
// fillFields sets the i-th row's own fields (clearing them first when it needs to). Returns the
// rows' records for makeRowsLive. The table is left under the filter "ot=false".
std::vector<std::uint32_t>
writeRowsNotLive(Table& table, int key, std::size_t count,
                 const std::function<void(Table&, std::size_t)>& fillFields);

// The same for rows of several keys written in one round: the i-th row under keys[i].
std::vector<std::uint32_t>
writeRowsNotLive(Table& table, const std::vector<int>& keys,
                 const std::function<void(Table&, std::size_t)>& fillFields);

// Makes written rows live, each by the one-byte write of its OT; the rows must already be on
// the disk (sync). The table is left under the filter "ot=false".
void makeRowsLive(Table& table, const std::vector<std::uint32_t>& records);

// One row by the free-row reuse rule, written, flushed, made live and flushed again: where a
// single row is written on its own.
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
