#include "archive/task_labels.h"

#include "archive/archive_rules.h"
#include "tables/archive_schema.h"
#include "tables/table_error.h"

#include <algorithm>
#include <set>
#include <string_view>
#include <vector>

namespace {

// A text as a character field of this width reads back: cut to the width, trailing spaces
// removed. A task's NAME is held against a label's NAME so, whatever the two widths.
Cp1251Text asStoredIn(const FieldView& field, const Cp1251Text& text)
{
    std::string_view bytes = text.bytes();
    bytes = bytes.substr(0, static_cast<std::size_t>(field.definition().width));
    while (!bytes.empty() && bytes.back() == ' ')
        bytes.remove_suffix(1);
    return Cp1251Text::fromBytes(std::string(bytes));
}

bool belongsTo(const Table& labels, std::size_t row, const TaskMark& mark)
{
    const FieldView name = labels.fieldAt(row, taskNameField);
    return labels.fieldAt(row, taskKeyField).asInteger() == mark.key &&
           name.asString() == asStoredIn(name, mark.name) &&
           labels.fieldAt(row, savedDateField).asDate() == mark.date &&
           labels.fieldAt(row, savedTimeField).asString() ==
               asStoredIn(labels.fieldAt(row, savedTimeField), mark.time);
}

void showLiveRows(Table& labels)
{
    labels.setFilter(liveRowsFilter);
    labels.setFiltered(true);
}

// The live label rows of a key (positions under "ot=true"), in ascending NOMER.
std::vector<std::size_t> liveRowsOfKey(const Table& labels, int key)
{
    std::vector<std::size_t> rows;
    for (std::size_t row = firstRowFromKey(labels, key);
         row < labels.rowCount() && labels.fieldAt(row, taskKeyField).asInteger() == key; ++row)
        rows.push_back(row);
    std::stable_sort(rows.begin(), rows.end(), [&](std::size_t a, std::size_t b) {
        return labels.fieldAt(a, rowNumberField).asInteger() <
               labels.fieldAt(b, rowNumberField).asInteger();
    });
    return rows;
}

// The row in force among a task's live rows: its own of the highest NOMER.
std::optional<std::size_t> rowInForce(const Table& labels, const TaskMark& mark)
{
    std::optional<std::size_t> found;
    for (std::size_t row : liveRowsOfKey(labels, mark.key))
        if (belongsTo(labels, row, mark)) found = row;
    return found;
}

TaskLabels labelsAt(const Table& labels, std::size_t row)
{
    return {labels.fieldAt(row, populationField).asString(),
            labels.fieldAt(row, systemField).asString()};
}

// Frees rows given by record, one byte each, and flushes the table.
void freeRecords(Table& labels, const std::vector<std::uint32_t>& records)
{
    if (records.empty()) return;
    labels.setFiltered(false);
    for (std::uint32_t record : records) {
        labels.goToRecord(record);
        labels.edit();
        labels.fieldByName(liveRowField).setAsBoolean(false);
        labels.post();
    }
    labels.sync();
}

} // namespace

std::optional<std::string> labelProblem(const Cp1251Text& label, const std::string& what)
{
    if (label.size() <= labelWidth) return std::nullopt;
    return what + " длиннее " + std::to_string(labelWidth) + " знаков";
}

TaskMark taskMarkAt(const Table& spisok, std::size_t row)
{
    return {spisok.fieldAt(row, taskKeyField).asInteger(),
            spisok.fieldAt(row, taskNameField).asString(),
            spisok.fieldAt(row, savedDateField).asDate(),
            spisok.fieldAt(row, savedTimeField).asString()};
}

void fillLabelRow(Table& labels, const TaskMark& mark, const TaskLabels& text, int serial)
{
    labels.clearFields();
    labels.fieldByName(rowNumberField).setAsInteger(serial);
    labels.fieldByName(taskNameField).setAsString(mark.name);
    labels.fieldByName(savedDateField).setAsDate(mark.date);
    labels.fieldByName(savedTimeField).setAsString(mark.time);
    labels.fieldByName(populationField).setAsString(text.population);
    labels.fieldByName(systemField).setAsString(text.system);
}

std::map<int, TaskLabels> readTaskLabels(const Table& spisok, Table& labels)
{
    showLiveRows(labels);
    std::map<int, TaskLabels> found;
    for (std::size_t row = 0; row < spisok.rowCount(); ++row) {
        if (!spisok.fieldAt(row, liveRowField).asBoolean()) continue;
        const TaskMark mark = taskMarkAt(spisok, row);
        if (const auto own = rowInForce(labels, mark)) found[mark.key] = labelsAt(labels, *own);
    }
    return found;
}

TaskLabels labelsOfTask(const TaskMark& mark, Table& labels)
{
    showLiveRows(labels);
    const auto own = rowInForce(labels, mark);
    return own ? labelsAt(labels, *own) : TaskLabels{};
}

void setTaskLabels(const Table& spisok, Table& labels, const std::map<int, TaskLabels>& changes)
{
    const TableWriting writing(labels);
    showLiveRows(labels);
    std::vector<int> keys;
    std::vector<TaskMark> marks;
    std::vector<TaskLabels> texts;
    std::vector<int> serials;
    std::vector<std::uint32_t> old;
    for (const auto& [key, text] : changes) {
        const std::size_t row = firstRowFromKey(spisok, key);
        if (row == spisok.rowCount() || spisok.fieldAt(row, taskKeyField).asInteger() != key ||
            !spisok.fieldAt(row, liveRowField).asBoolean())
            continue;
        int serial = 0;
        for (std::size_t labelRow : liveRowsOfKey(labels, key)) {
            serial = std::max(serial, labels.fieldAt(labelRow, rowNumberField).asInteger());
            old.push_back(labels.recordAt(labelRow));
        }
        if (text.empty()) continue;
        keys.push_back(key);
        marks.push_back(taskMarkAt(spisok, row));
        texts.push_back(text);
        serials.push_back(serial + 1);
    }

    std::vector<std::uint32_t> written;
    try {
        if (!keys.empty()) {
            written = writeRowsNotLive(labels, keys, [&](Table& row, std::size_t i) {
                fillLabelRow(row, marks[i], texts[i], serials[i]);
            });
            labels.sync();
            makeRowsLive(labels, written);
            labels.sync();
        }
    } catch (const TableError& error) {
        try {
            labels.cancel();
            freeRecords(labels, written);
        } catch (const TableError&) {
            // Rows left live are outranked by none and carry their task's mark; the error
            // reported is the first one.
        }
        showLiveRows(labels);
        throw TableError(std::string(error.what()) + " Метки задач не изменены.");
    }
    try {
        freeRecords(labels, old);
    } catch (const TableError&) {
        // The new labels are in force; the old rows they outrank are freed at the next open.
        labels.cancel();
    }
    showLiveRows(labels);
}

void freeStaleLabels(Table& spisok, Table& labels)
{
    const TableWriting writing(labels);
    const bool spisokFiltered = spisok.filtered();
    spisok.setFiltered(false);
    std::map<int, TaskMark> tasks;
    for (std::size_t row = 0; row < spisok.rowCount(); ++row)
        if (spisok.fieldAt(row, liveRowField).asBoolean())
            tasks.emplace(spisok.fieldAt(row, taskKeyField).asInteger(), taskMarkAt(spisok, row));
    spisok.setFiltered(spisokFiltered);

    showLiveRows(labels);
    std::vector<std::uint32_t> stale;
    std::set<int> keys;
    for (std::size_t row = 0; row < labels.rowCount(); ++row)
        keys.insert(labels.fieldAt(row, taskKeyField).asInteger());
    for (int key : keys) {
        const auto task = tasks.find(key);
        const std::optional<std::size_t> kept =
            task == tasks.end() ? std::nullopt : rowInForce(labels, task->second);
        for (std::size_t row : liveRowsOfKey(labels, key))
            if (row != kept) stale.push_back(labels.recordAt(row));
    }
    freeRecords(labels, stale);
    showLiveRows(labels);
}
