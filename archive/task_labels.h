// The population and system names of archived tasks, kept in METKI.DBF beside the three task
// tables, which stay as they are. A label row carries its task's INDEX and, copied from the task
// row, its NAME, DATA and TIME: it belongs to the live task that has all four, so a task saved
// later under a reused key never takes an old label, even when a program that does not know
// this table deleted the old task. NOMER orders the rows of one task: a task has one live label
// row, and where two are live (a relabelling cut short) the higher NOMER is in force.
//
// Rows follow the archive's rules (archive_rules.h): written whole with OT false, flushed, then
// made live by the one-byte write of OT. A save writes a task's label row with its allele rows
// (saveTask), a delete frees it with them (deleteCurrentTask); setTaskLabels relabels tasks
// already saved, freeStaleLabels tidies the table when the archive is opened.
#pragma once

#include "platform/cp1251_text.h"
#include "platform/short_date.h"
#include "tables/table.h"

#include <cstddef>
#include <map>
#include <optional>
#include <string>

// The widths of POPUL and SISTEMA: the longest label.
inline constexpr std::size_t labelWidth = 40;

struct TaskLabels
{
    Cp1251Text population; // trimmed; empty when not given
    Cp1251Text system;     // trimmed; empty when not given
    bool empty() const { return population.empty() && system.empty(); }
    bool operator==(const TaskLabels&) const = default;
};

// What ties a label row to its task: the task row's INDEX, NAME, DATA and TIME.
struct TaskMark
{
    int key = 0;
    Cp1251Text name;
    CalendarDate date;
    Cp1251Text time;
};

// Why a label (already trimmed) cannot be stored, in Russian (UTF-8): it is longer than
// labelWidth; what names the label ("название популяции"). Nothing when it can.
std::optional<std::string> labelProblem(const Cp1251Text& label, const std::string& what);

// The mark of a visible row of SPISOK.
TaskMark taskMarkAt(const Table& spisok, std::size_t row);

// Fills the fields of the label row being written (all but INDEX and OT, which the free-row rule
// sets): the task's NAME, DATA and TIME, the labels and NOMER.
void fillLabelRow(Table& labels, const TaskMark& mark, const TaskLabels& text, int serial);

// The labels of the live tasks among SPISOK's visible rows, by key; a task without labels is
// left out. SPISOK's filter and current row stay as they are; METKI.DBF is read under the filter
// "ot=true", which it keeps. Both tables must be open, for writing or for reading.
std::map<int, TaskLabels> readTaskLabels(const Table& spisok, Table& labels);

// The labels of one task; empty when it has none.
TaskLabels labelsOfTask(const TaskMark& mark, Table& labels);

// Sets the labels of the live tasks of SPISOK's visible rows with the given keys (a key of no
// such row is skipped); empty labels take a task's labels away. Under METKI.DBF's exclusive lock,
// in three rounds each flushed: the new rows written not live, then made live (each the moment
// its task's labels change, the new row outranking the old by NOMER), then the old rows freed in
// ascending NOMER. A power cut leaves each task with its old labels or its new ones. A table
// error before the second round ends frees the new rows again and throws TableError with its text
// and "Метки задач не изменены."; once every new row is live and flushed, the labels have
// changed, and an error freeing the old rows is not one: the next open frees them.
void setTaskLabels(const Table& spisok, Table& labels, const std::map<int, TaskLabels>& changes);

// Frees the live label rows that no live task owns (a save or delete cut short, a task deleted
// by a program that does not know METKI.DBF) and those a higher NOMER of the same task outranks,
// and flushes the table. Run when the archive is opened, after freeRowsWithoutTask. SPISOK keeps
// its filter text and filtering state; METKI.DBF ends under "ot=true".
void freeStaleLabels(Table& spisok, Table& labels);
