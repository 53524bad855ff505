#include "archive/task_archive.h"

#include "archive/archive_rules.h"
#include "tables/archive_schema.h"
#include "tables/table_error.h"

#include <algorithm>
#include <functional>

namespace {

void filterTo(Table& table, std::string_view text)
{
    table.setFilter(text);
    table.setFiltered(true);
}

// The key of a name as NAME holds it: cut to the field's width.
Cp1251Text storedNameKey(const Table& spisok, const Cp1251Text& name)
{
    const auto width = static_cast<std::size_t>(spisok.fieldByName("name").definition().width);
    return taskNameKey(Cp1251Text::fromBytes(name.bytes().substr(0, width)));
}

// Whether a live row of SPISOK bears a name with this key. Walks every row with filtering
// switched off.
bool liveTaskNamed(Table& spisok, const Cp1251Text& nameKey)
{
    spisok.setFiltered(false);
    for (spisok.first(); !spisok.eof(); spisok.next())
        if (spisok.fieldByName("ot").asBoolean() &&
            taskNameKey(spisok.fieldByName("name").asString()) == nameKey)
            return true;
    return false;
}

void fillTaskRow(Table& row, const TaskRecord& record)
{
    row.clearFields();
    row.fieldByName("data").setAsDate(record.date);
    row.fieldByName("time").setAsString(record.time);
    row.fieldByName("name").setAsString(record.name);
    row.fieldByName("kolall").setAsInteger(record.alleleCount);
    row.fieldByName("koltest").setAsInteger(record.testCount);
    row.fieldByName("kolfen").setAsInteger(record.phenotypeCount);
    if (record.mode != 0) row.fieldByName("knop1").setAsInteger(record.mode);
    if (record.criterion != 0) row.fieldByName("knop2").setAsInteger(record.criterion);
}

// Writes the task under its key (see archive_rules.h): every row whole and not yet live,
// flushed; then its allele and count rows made live, flushed; then its task row made live,
// which is the moment the task exists. Live rows left under the key by an interrupted save are
// freed first: the key is below every live task's key, so they belong to no task.
void writeTask(const ArchiveTables& tables, const TaskRecord& record, int key)
{
    Table& spisok = tables.spisok;
    Table& allel = tables.allel;
    Table& fenotip = tables.fenotip;
    freeLiveRowsOfKey(allel, key);
    freeLiveRowsOfKey(fenotip, key);

    std::vector<int> positions;
    for (int k = 1; k <= maxAlleles; ++k)
        if (!record.alleleRows[k - 1].trimmed().empty()) positions.push_back(k);
    const std::vector<std::uint32_t> alleleRows =
        writeRowsNotLive(allel, key, positions.size(), [&](Table& row, std::size_t i) {
            row.fieldByName("nomer").setAsInteger(positions[i]);
            row.fieldByName("allel").setAsString(record.alleleRows[positions[i] - 1].trimmed());
        });
    std::vector<PhenotypeCount> counts;
    for (const PhenotypeCount& count : record.counts)
        if (count.number >= 1 && count.number <= record.phenotypeCount) counts.push_back(count);
    const std::vector<std::uint32_t> countRows =
        writeRowsNotLive(fenotip, key, counts.size(), [&](Table& row, std::size_t i) {
            row.fieldByName("nomer").setAsInteger(counts[i].number);
            row.fieldByName("golov").setAsInteger(counts[i].count);
        });
    const std::vector<std::uint32_t> taskRow = writeRowsNotLive(
        spisok, key, 1, [&](Table& row, std::size_t) { fillTaskRow(row, record); });
    for (Table* table : {&allel, &fenotip, &spisok})
        table->sync();

    makeRowsLive(allel, alleleRows);
    makeRowsLive(fenotip, countRows);
    allel.sync();
    fenotip.sync();
    filterTo(allel, liveRowsFilter);
    filterTo(fenotip, liveRowsFilter);
    makeRowsLive(spisok, taskRow);
}

// Takes back a save that failed part-way: every live row under its key is freed again, the
// task row first, so the archive holds what it held before the save. The save's own error is
// the one reported, and a table that fails here does not stop the others; rows it leaves
// live under the key have no task row (or, when SPISOK itself failed, a task row the list
// shows), and the next open or save of that key frees them.
void undoSave(const ArchiveTables& tables, int key)
{
    for (Table* table : {&tables.spisok, &tables.allel, &tables.fenotip}) {
        try {
            table->cancel();
            freeLiveRowsOfKey(*table, key);
            table->sync();
        } catch (const TableError&) {
        }
    }
}

// The visible rows whose INDEX equals the key, by position. The rows are in ascending INDEX
// order, so the task's rows stand together from firstRowFromKey on, and the archive's other
// tasks are never read.
void forEachRowOfTask(const Table& table, int key, const std::function<void(std::size_t)>& visit)
{
    for (std::size_t row = firstRowFromKey(table, key);
         row < table.rowCount() && table.fieldAt(row, "index").asInteger() == key; ++row)
        visit(row);
}

int positionOf(const Table& table, std::size_t row, int last)
{
    const int number = table.fieldAt(row, "nomer").asInteger();
    if (number < 1 || number > last)
        throw tableError(table.fileName(),
                         "файл поврежден: номер строки задачи NOMER = " + std::to_string(number) +
                             " вне границ 1.." + std::to_string(last));
    return number;
}

} // namespace

Cp1251Text taskNameKey(const Cp1251Text& name)
{
    return name.upper().trimmed();
}

Cp1251Text savingTimeText(int hour, int minute)
{
    return Cp1251Text::fromBytes(std::to_string(hour) + "." + std::to_string(minute));
}

SaveResult saveTask(const ArchiveTables& tables, const TaskRecord& record, DataSource* listSource)
{
    Table& spisok = tables.spisok;
    const Cp1251Text nameKey = storedNameKey(spisok, record.name);
    if (nameKey.empty()) return {SaveOutcome::blankName, 0};

    if (listSource) listSource->setEnabled(false);
    if (liveTaskNamed(spisok, nameKey)) {
        filterTo(spisok, liveRowsFilter);
        if (listSource) listSource->setEnabled(true);
        return {SaveOutcome::duplicateName, 0};
    }
    const int key = newTaskKey(spisok);

    const auto showList = [&] {
        filterTo(spisok, liveRowsFilter);
        if (listSource) listSource->setEnabled(true);
    };
    // The task row comes last and is the moment the task exists (see archive_rules.h).
    try {
        tables.fenotip.open();
        const ArchiveWriting writing(spisok, tables.allel, tables.fenotip);
        writeTask(tables, record, key);
        showList();
        spisok.sync();
    } catch (const TableError& error) {
        undoSave(tables, key);
        showList();
        throw TableError(std::string(error.what()) + " Задача не записана в архив.");
    }
    return {SaveOutcome::saved, key};
}

std::optional<TaskRecord> loadTask(const ArchiveTables& tables)
{
    const Table& spisok = tables.spisok;
    if (!spisok.currentRow()) return std::nullopt;
    TaskRecord record;
    record.key = spisok.fieldByName("index").asInteger();
    record.name = spisok.fieldByName("name").asString();
    record.mode = spisok.fieldByName("knop1").asInteger();
    record.criterion = spisok.fieldByName("knop2").asInteger();
    record.alleleCount = spisok.fieldByName("kolall").asInteger();
    record.testCount = spisok.fieldByName("koltest").asInteger();
    record.phenotypeCount = spisok.fieldByName("kolfen").asInteger();
    record.date = spisok.fieldByName("data").asDate();
    record.time = spisok.fieldByName("time").asString();

    Table& allel = tables.allel;
    filterTo(allel, openingFilter);
    forEachRowOfTask(allel, record.key, [&](std::size_t row) {
        record.alleleRows[positionOf(allel, row, maxAlleles) - 1] =
            allel.fieldAt(row, "allel").asString();
    });

    Table& fenotip = tables.fenotip;
    fenotip.open();
    filterTo(fenotip, openingFilter);
    forEachRowOfTask(fenotip, record.key, [&](std::size_t row) {
        record.counts.push_back(
            {positionOf(fenotip, row, maxPhenotypes), fenotip.fieldAt(row, "golov").asInteger()});
    });
    std::sort(record.counts.begin(), record.counts.end(),
              [](const PhenotypeCount& a, const PhenotypeCount& b) { return a.number < b.number; });
    return record;
}

bool findTaskByName(Table& spisok, const Cp1251Text& name)
{
    const Cp1251Text nameKey = storedNameKey(spisok, name);
    filterTo(spisok, liveRowsFilter);
    for (spisok.first(); !spisok.eof(); spisok.next())
        if (taskNameKey(spisok.fieldByName("name").asString()) == nameKey) return true;
    return false;
}
