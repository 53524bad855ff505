// Saving a task into the archive tables and reading one back, over plain data. saveTask
// writes one row into SPISOK, one row per non-blank allele row into ALLEL.DBF, one row per
// typed count into FENOTIP.DBF and, when the task has labels, one row into METKI.DBF, every row
// by the free-row reuse rule; saveTasks writes several tasks so; loadTask reads the task of
// SPISOK's current row; findTaskByName places SPISOK on a live task by its name.
#pragma once

#include "archive/task_labels.h"
#include "platform/cp1251_text.h"
#include "platform/short_date.h"
#include "tables/data_source.h"
#include "tables/table.h"
#include "task/task_state.h"

#include <array>
#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

struct ArchiveTables
{
    Table& spisok;
    Table& allel;
    Table& fenotip;
    // METKI.DBF, open: when given, saves write a task's labels, loads read them and deletes
    // free them; without it tasks are saved and read without labels.
    Table* labels = nullptr;
};

// The observed count of phenotype number (1-based).
struct PhenotypeCount
{
    int number = 0;
    std::int32_t count = 0;
    bool operator==(const PhenotypeCount&) const = default;
};

// The input of one task as the archive keeps it.
struct TaskRecord
{
    int key = 0;            // INDEX, given by saveTask
    Cp1251Text name;        // as typed: case and surrounding spaces kept
    int mode = 0;           // KNOP1: 1 codominance, 2 dominance, 0 none (the field stays empty)
    int criterion = 0;      // KNOP2: 1 МП, 2 МНК, 3 МННК, 0 none (the field stays empty)
    int alleleCount = 0;    // KOLALL
    int testCount = 0;      // KOLTEST
    int phenotypeCount = 0; // KOLFEN
    CalendarDate date;      // DATA
    Cp1251Text time;        // TIME: "9.5" for 09:05
    // Allele row k (1..50: rows 1 to 25 of the first allele grid, then of the second) at
    // index k − 1, with leading and trailing blanks removed; an empty text is a blank row.
    std::array<Cp1251Text, maxAlleles> alleleRows;
    // The typed counts, in ascending phenotype number; a phenotype without a count has none.
    std::vector<PhenotypeCount> counts;
    TaskLabels labels; // in METKI.DBF
};

// The key two task names are compared by: upper case (Cyrillic included), then leading and
// trailing bytes of codes 0 to 32 removed.
Cp1251Text taskNameKey(const Cp1251Text& name);

// The time of saving as TIME holds it: hour and minute in decimal without leading zeros,
// joined by a full stop (09:05 gives "9.5", 23:59 gives "23.59").
Cp1251Text savingTimeText(int hour, int minute);

enum class SaveOutcome
{
    saved,
    blankName,    // nothing written
    duplicateName // a live task has a name with the same key; nothing written
};

struct SaveResult
{
    SaveOutcome outcome = SaveOutcome::blankName;
    int key = 0; // the new task's key when saved
};

// Writes the task under a new key (the smallest live key minus 1, 9999 in an empty archive):
// every row of it whole but not yet live, then its allele, count and label rows made live, then
// its task row made live, each step flushed to the disk before the next, so that a crash or a
// power cut at any point leaves the task whole or absent (see archive_rules.h); the tables are
// under their exclusive locks meanwhile. The label row is written when the task has labels and
// METKI.DBF is given. The name is compared as NAME will hold it (cut to the
// field's width), so no two live tasks carry the same stored name. The list's data source,
// when given, stops following SPISOK while its rows are walked and written, and follows it
// again from the task row on, or at once on a duplicate. ALLEL.DBF and FENOTIP.DBF, then
// SPISOK end under the resting filter "ot=true", SPISOK on its first row, the new task.
// SPISOK must be open; FENOTIP.DBF is opened when it is not. A table error (a full disk, a
// failed flush, a reader holding a table too long) frees again the rows already written and
// throws TableError with its text followed by "Задача не записана в архив.": the archive holds
// what it held before.
SaveResult saveTask(const ArchiveTables& tables, const TaskRecord& record,
                    DataSource* listSource = nullptr);

struct SaveTasksResult
{
    SaveOutcome outcome = SaveOutcome::blankName;
    std::size_t record = 0; // the first record with a blank or duplicate name
    std::vector<int> keys;  // the record's keys when saved, in the records' order
};

// Saves several tasks as saveTask saves one, in the same three rounds for all of them, so that
// the flushes do not grow with their number: every row of every task written not live, then the
// allele, count and label rows made live, then the task rows. The tasks take the keys below
// every live one, the first record the lowest, so the archive list shows them in the records'
// order. A blank name, or a name with the key of a live task's or of an earlier record's, writes
// nothing. A table error frees again every row written, the task rows first, and throws
// TableError with its text and "Задачи не записаны в архив.". A power cut in the last round can
// leave some of the tasks saved, each whole with its labels; before it, none. The list's data
// source, when given, does not follow SPISOK meanwhile; SPISOK ends under "ot=true".
SaveTasksResult saveTasks(const ArchiveTables& tables, const std::vector<TaskRecord>& records,
                          DataSource* listSource = nullptr);

// The name key of every live task (as taskNameKey gives it). Walks every row of SPISOK with
// filtering switched off, then puts SPISOK under its resting filter "ot=true".
std::set<Cp1251Text> liveTaskNameKeys(Table& spisok);

// The key of a name as SPISOK's NAME holds it: cut to the field's width, then taskNameKey.
Cp1251Text storedNameKey(const Table& spisok, const Cp1251Text& name);

// The task of SPISOK's current row: its fields, its live allele and count rows, read under
// the filter "(ot=true)" which ALLEL.DBF and FENOTIP.DBF keep afterwards, and its labels when
// METKI.DBF is given. Nothing when
// SPISOK shows no row. Throws TableError when a row's position NOMER is outside 1..50 (allele)
// or 1..maxPhenotypes (count), which only a table changed by other software can hold.
std::optional<TaskRecord> loadTask(const ArchiveTables& tables);

// Places SPISOK, under its resting filter "ot=true", on the live task whose name has the
// same key as the given one, cut as NAME cuts it, and returns true; false when there is none.
bool findTaskByName(Table& spisok, const Cp1251Text& name);
