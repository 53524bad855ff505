#include "archive/archive_rules.h"

#include "tables/archive_schema.h"
#include "tables/table_error.h"

#include <algorithm>
#include <set>
#include <vector>

namespace {

constexpr int noTaskKey = 10000; // the first task saved into an empty archive gets 9999

} // namespace

int newTaskKey(Table& spisok)
{
    int smallest = noTaskKey;
    spisok.setFiltered(false);
    for (spisok.first(); !spisok.eof(); spisok.next())
        if (spisok.fieldByName(liveRowField).asBoolean())
            smallest = std::min(smallest, spisok.fieldByName(taskKeyField).asInteger());
    return smallest - 1;
}

ArchiveWriting::ArchiveWriting(Table& spisok, Table& allel, Table& fenotip, Table* labels)
{
    try {
        for (Table* table : {&spisok, &allel, &fenotip, labels}) {
            if (!table) continue;
            table->beginWriting();
            held_.push_back(table);
        }
    } catch (const TableError&) {
        for (Table* table : held_)
            table->endWriting();
        throw;
    }
}

ArchiveWriting::~ArchiveWriting()
{
    for (Table* table : held_)
        table->endWriting();
}

std::vector<std::uint32_t>
writeRowsNotLive(Table& table, int key, std::size_t count,
                 const std::function<void(Table&, std::size_t)>& fillFields)
{
    return writeRowsNotLive(table, std::vector<int>(count, key), fillFields);
}

std::vector<std::uint32_t>
writeRowsNotLive(Table& table, const std::vector<int>& keys,
                 const std::function<void(Table&, std::size_t)>& fillFields)
{
    const std::size_t count = keys.size();
    table.setFilter(freeRowsFilter);
    table.setFiltered(true);
    std::vector<std::uint32_t> free; // taken now: a row written stays in the view
    for (std::size_t row = 0; row < table.rowCount() && free.size() < count; ++row)
        free.push_back(table.recordAt(row));
    std::vector<std::uint32_t> written;
    for (std::size_t i = 0; i < count; ++i) {
        if (i < free.size()) {
            table.goToRecord(free[i]);
            table.edit();
        } else {
            table.append();
        }
        fillFields(table, i);
        table.fieldByName(taskKeyField).setAsInteger(keys[i]);
        table.fieldByName(liveRowField).setAsBoolean(false);
        table.post();
        written.push_back(i < free.size() ? free[i] : table.currentRecord());
    }
    return written;
}

void makeRowsLive(Table& table, const std::vector<std::uint32_t>& records)
{
    // Filtering is off meanwhile: under "ot=false" every row made live would leave the view, a
    // move of the rest of the view each time.
    table.setFiltered(false);
    for (std::uint32_t record : records) {
        table.goToRecord(record);
        table.edit();
        table.fieldByName(liveRowField).setAsBoolean(true);
        table.post();
    }
    table.setFilter(freeRowsFilter);
    table.setFiltered(true);
}

void writeReusingFreeRow(Table& table, int key, const std::function<void(Table&)>& fillFields)
{
    const std::vector<std::uint32_t> written =
        writeRowsNotLive(table, key, 1, [&](Table& row, std::size_t) { fillFields(row); });
    table.sync();
    makeRowsLive(table, written);
    table.sync();
}

void freeTaskRows(Table& table, int key)
{
    table.setFiltered(false);
    for (table.first(); !table.eof(); table.next()) {
        if (table.fieldByName(taskKeyField).asInteger() != key) continue;
        table.edit();
        table.fieldByName(liveRowField).setAsBoolean(false);
        table.post();
    }
    table.setFilter(liveRowsFilter);
    table.setFiltered(true);
}

std::size_t firstRowFromKey(const Table& table, int key)
{
    std::size_t low = 0;
    std::size_t high = table.rowCount();
    while (low < high) {
        const std::size_t middle = low + (high - low) / 2;
        if (table.fieldAt(middle, taskKeyField).asInteger() < key)
            low = middle + 1;
        else
            high = middle;
    }
    return low;
}

void freeLiveRowsOfKey(Table& table, int key)
{
    table.setFilter(liveRowsFilter);
    table.setFiltered(true);
    // A freed row leaves the view, so the next row of the key takes its position.
    for (std::size_t row = firstRowFromKey(table, key);
         row < table.rowCount() && table.fieldAt(row, taskKeyField).asInteger() == key;) {
        table.moveTo(row);
        table.edit();
        table.fieldByName(liveRowField).setAsBoolean(false);
        table.post();
    }
}

void freeRowsWithoutTask(Table& spisok, Table& allel, Table& fenotip)
{
    const ArchiveWriting writing(spisok, allel, fenotip);
    const bool spisokFiltered = spisok.filtered();
    spisok.setFiltered(false);
    std::set<int> taskKeys;
    for (std::size_t row = 0; row < spisok.rowCount(); ++row)
        if (spisok.fieldAt(row, liveRowField).asBoolean())
            taskKeys.insert(spisok.fieldAt(row, taskKeyField).asInteger());
    spisok.setFiltered(spisokFiltered);

    for (Table* rows : {&allel, &fenotip}) {
        const std::string filter = rows->filter();
        const bool filtered = rows->filtered();
        rows->setFilter(liveRowsFilter);
        rows->setFiltered(true);
        std::vector<int> keys; // ascending, as the rows stand
        for (std::size_t row = 0; row < rows->rowCount(); ++row) {
            const int key = rows->fieldAt(row, taskKeyField).asInteger();
            if (!taskKeys.contains(key) && (keys.empty() || keys.back() != key))
                keys.push_back(key);
        }
        for (int key : keys)
            freeLiveRowsOfKey(*rows, key);
        rows->sync();
        rows->setFilter(filter);
        rows->setFiltered(filtered);
    }
}
