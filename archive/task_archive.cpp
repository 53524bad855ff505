#include "archive/task_archive.h"

#include "archive/archive_rules.h"
#include "tables/archive_schema.h"
#include "tables/table_error.h"

#include <algorithm>
#include <functional>
#include <span>

namespace {

void filterTo(Table& table, std::string_view text)
{
    table.setFilter(text);
    table.setFiltered(true);
}

// Whether a live row of SPISOK bears a name with this key. Walks every row with filtering
// switched off.
bool liveTaskNamed(Table& spisok, const Cp1251Text& nameKey)
{
    spisok.setFiltered(false);
    for (spisok.first(); !spisok.eof(); spisok.next())
        if (spisok.fieldByName(liveRowField).asBoolean() &&
            taskNameKey(spisok.fieldByName(taskNameField).asString()) == nameKey)
            return true;
    return false;
}

void fillTaskRow(Table& row, const TaskRecord& record)
{
    row.clearFields();
    row.fieldByName(savedDateField).setAsDate(record.date);
    row.fieldByName(savedTimeField).setAsString(record.time);
    row.fieldByName(taskNameField).setAsString(record.name);
    row.fieldByName(alleleCountField).setAsInteger(record.alleleCount);
    row.fieldByName(testCountField).setAsInteger(record.testCount);
    row.fieldByName(phenotypeCountField).setAsInteger(record.phenotypeCount);
    if (record.mode != 0) row.fieldByName(inheritanceModeField).setAsInteger(record.mode);
    if (record.criterion != 0) row.fieldByName(fitCriterionField).setAsInteger(record.criterion);
}

// The list's data source stops following SPISOK for the life of an instance, and follows it
// again afterwards.
class ListPaused
{
public:
    explicit ListPaused(DataSource* source) : source_(source)
    {
        if (source_) source_->setEnabled(false);
    }
    ~ListPaused()
    {
        if (source_) source_->setEnabled(true);
    }
    ListPaused(const ListPaused&) = delete;
    ListPaused& operator=(const ListPaused&) = delete;

private:
    DataSource* source_;
};

// The rows one table gets from a set of tasks: the key of each and what fills it.
struct RowsToWrite
{
    std::vector<int> keys;
    std::vector<std::function<void(Table&)>> fills;
    void add(int key, std::function<void(Table&)> fill)
    {
        keys.push_back(key);
        fills.push_back(std::move(fill));
    }
    std::vector<std::uint32_t> writeNotLive(Table& table) const
    {
        return writeRowsNotLive(table, keys, [&](Table& row, std::size_t i) { fills[i](row); });
    }
};

// Writes the tasks, task i under keys[i] (see archive_rules.h): every row whole and not yet
// live, flushed; then their allele, count and label rows made live, flushed; then their task
// rows made live, which is the moment each task exists. Live rows left under the keys by an
// interrupted save are freed first: the keys are below every live task's key, so they belong
// to no task.
void writeTasks(const ArchiveTables& tables, std::span<const TaskRecord> records,
                const std::vector<int>& keys)
{
    Table& spisok = tables.spisok;
    Table& allel = tables.allel;
    Table& fenotip = tables.fenotip;
    std::vector<Table*> rowTables = {&allel, &fenotip};
    if (tables.labels) rowTables.push_back(tables.labels);
    for (Table* table : rowTables)
        for (int key : keys)
            freeLiveRowsOfKey(*table, key);

    RowsToWrite alleleRows, countRows, labelRows;
    for (std::size_t t = 0; t < records.size(); ++t) {
        const TaskRecord& record = records[t];
        for (int k = 1; k <= maxAlleles; ++k) {
            const Cp1251Text name = record.alleleRows[k - 1].trimmed();
            if (name.empty()) continue;
            alleleRows.add(keys[t], [k, name](Table& row) {
                row.fieldByName(rowNumberField).setAsInteger(k);
                row.fieldByName(alleleNameField).setAsString(name);
            });
        }
        for (const PhenotypeCount& count : record.counts) {
            if (count.number < 1 || count.number > record.phenotypeCount) continue;
            countRows.add(keys[t], [count](Table& row) {
                row.fieldByName(rowNumberField).setAsInteger(count.number);
                row.fieldByName(headCountField).setAsInteger(count.count);
            });
        }
        if (tables.labels && !record.labels.empty())
            labelRows.add(keys[t], [&record, key = keys[t]](Table& row) {
                fillLabelRow(row, {key, record.name, record.date, record.time}, record.labels, 1);
            });
    }
    const std::vector<std::uint32_t> allelLive = alleleRows.writeNotLive(allel);
    const std::vector<std::uint32_t> fenotipLive = countRows.writeNotLive(fenotip);
    std::vector<std::uint32_t> labelsLive;
    if (tables.labels) labelsLive = labelRows.writeNotLive(*tables.labels);
    const std::vector<std::uint32_t> taskRows = writeRowsNotLive(
        spisok, keys, [&](Table& row, std::size_t i) { fillTaskRow(row, records[i]); });
    for (Table* table : rowTables)
        table->sync();
    spisok.sync();

    makeRowsLive(allel, allelLive);
    makeRowsLive(fenotip, fenotipLive);
    if (tables.labels) makeRowsLive(*tables.labels, labelsLive);
    for (Table* table : rowTables) {
        table->sync();
        filterTo(*table, liveRowsFilter);
    }
    makeRowsLive(spisok, taskRows);
}

// Takes back a save that failed part-way: every live row under its keys is freed again, the
// task rows first, so the archive holds what it held before the save. The save's own error is
// the one reported, and a table that fails here does not stop the others; rows it leaves
// live under a key have no task row (or, when SPISOK itself failed, a task row the list
// shows), and the next open or save of that key frees them.
void undoSave(const ArchiveTables& tables, const std::vector<int>& keys)
{
    for (Table* table : {&tables.spisok, &tables.allel, &tables.fenotip, tables.labels}) {
        if (!table) continue;
        try {
            table->cancel();
            for (int key : keys)
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
         row < table.rowCount() && table.fieldAt(row, taskKeyField).asInteger() == key; ++row)
        visit(row);
}

int positionOf(const Table& table, std::size_t row, int last)
{
    const int number = table.fieldAt(row, rowNumberField).asInteger();
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

Cp1251Text storedNameKey(const Table& spisok, const Cp1251Text& name)
{
    const auto width =
        static_cast<std::size_t>(spisok.fieldByName(taskNameField).definition().width);
    return taskNameKey(Cp1251Text::fromBytes(name.bytes().substr(0, width)));
}

std::set<Cp1251Text> liveTaskNameKeys(Table& spisok)
{
    std::set<Cp1251Text> keys;
    spisok.setFiltered(false);
    for (std::size_t row = 0; row < spisok.rowCount(); ++row)
        if (spisok.fieldAt(row, liveRowField).asBoolean())
            keys.insert(taskNameKey(spisok.fieldAt(row, taskNameField).asString()));
    filterTo(spisok, liveRowsFilter);
    return keys;
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
        const ArchiveWriting writing(spisok, tables.allel, tables.fenotip, tables.labels);
        writeTasks(tables, std::span(&record, 1), {key});
        showList();
        spisok.sync();
    } catch (const TableError& error) {
        undoSave(tables, {key});
        showList();
        throw TableError(std::string(error.what()) + " Задача не записана в архив.");
    }
    return {SaveOutcome::saved, key};
}

SaveTasksResult saveTasks(const ArchiveTables& tables, const std::vector<TaskRecord>& records,
                          DataSource* listSource)
{
    Table& spisok = tables.spisok;
    const ListPaused paused(listSource);
    std::set<Cp1251Text> names = liveTaskNameKeys(spisok);
    for (std::size_t i = 0; i < records.size(); ++i) {
        const Cp1251Text nameKey = storedNameKey(spisok, records[i].name);
        if (nameKey.empty()) return {SaveOutcome::blankName, i, {}};
        if (!names.insert(nameKey).second) return {SaveOutcome::duplicateName, i, {}};
    }
    SaveTasksResult result{SaveOutcome::saved, 0, {}};
    if (records.empty()) return result;
    const int newest = newTaskKey(spisok);
    const int count = static_cast<int>(records.size());
    for (int i = 0; i < count; ++i)
        result.keys.push_back(newest - (count - 1) + i);
    try {
        tables.fenotip.open();
        const ArchiveWriting writing(spisok, tables.allel, tables.fenotip, tables.labels);
        writeTasks(tables, records, result.keys);
        filterTo(spisok, liveRowsFilter);
        spisok.sync();
    } catch (const TableError& error) {
        undoSave(tables, result.keys);
        filterTo(spisok, liveRowsFilter);
        throw TableError(std::string(error.what()) + " Задачи не записаны в архив.");
    }
    return result;
}

std::optional<TaskRecord> loadTask(const ArchiveTables& tables)
{
    const Table& spisok = tables.spisok;
    if (!spisok.currentRow()) return std::nullopt;
    TaskRecord record;
    record.key = spisok.fieldByName(taskKeyField).asInteger();
    record.name = spisok.fieldByName(taskNameField).asString();
    record.mode = spisok.fieldByName(inheritanceModeField).asInteger();
    record.criterion = spisok.fieldByName(fitCriterionField).asInteger();
    record.alleleCount = spisok.fieldByName(alleleCountField).asInteger();
    record.testCount = spisok.fieldByName(testCountField).asInteger();
    record.phenotypeCount = spisok.fieldByName(phenotypeCountField).asInteger();
    record.date = spisok.fieldByName(savedDateField).asDate();
    record.time = spisok.fieldByName(savedTimeField).asString();

    Table& allel = tables.allel;
    filterTo(allel, openingFilter);
    forEachRowOfTask(allel, record.key, [&](std::size_t row) {
        record.alleleRows[positionOf(allel, row, maxAlleles) - 1] =
            allel.fieldAt(row, alleleNameField).asString();
    });

    Table& fenotip = tables.fenotip;
    fenotip.open();
    filterTo(fenotip, openingFilter);
    forEachRowOfTask(fenotip, record.key, [&](std::size_t row) {
        record.counts.push_back({positionOf(fenotip, row, maxPhenotypes),
                                 fenotip.fieldAt(row, headCountField).asInteger()});
    });
    std::sort(record.counts.begin(), record.counts.end(),
              [](const PhenotypeCount& a, const PhenotypeCount& b) { return a.number < b.number; });
    if (tables.labels)
        record.labels =
            labelsOfTask({record.key, record.name, record.date, record.time}, *tables.labels);
    return record;
}

bool findTaskByName(Table& spisok, const Cp1251Text& name)
{
    const Cp1251Text nameKey = storedNameKey(spisok, name);
    filterTo(spisok, liveRowsFilter);
    for (spisok.first(); !spisok.eof(); spisok.next())
        if (taskNameKey(spisok.fieldByName(taskNameField).asString()) == nameKey) return true;
    return false;
}
