#include "archive/archive_rules.h"

#include <algorithm>

namespace {

constexpr int noTaskKey = 10000; // the first task saved into an empty archive gets 9999

} // namespace

int newTaskKey(Table& spisok)
{
    int smallest = noTaskKey;
    spisok.setFiltered(false);
    for (spisok.first(); !spisok.eof(); spisok.next())
        if (spisok.fieldByName("ot").asBoolean())
            smallest = std::min(smallest, spisok.fieldByName("index").asInteger());
    return smallest - 1;
}

void writeReusingFreeRow(Table& table, int key, const std::function<void(Table&)>& fillFields)
{
    table.setFilter("ot=false");
    table.setFiltered(true);
    table.first();
    if (table.isEmpty()) table.append();
    table.edit();
    fillFields(table);
    table.fieldByName("index").setAsInteger(key);
    table.fieldByName("ot").setAsBoolean(true);
    table.post();
}

void freeTaskRows(Table& table, int key)
{
    table.setFiltered(false);
    for (table.first(); !table.eof(); table.next()) {
        if (table.fieldByName("index").asInteger() != key) continue;
        table.edit();
        table.fieldByName("ot").setAsBoolean(false);
        table.post();
    }
    table.setFilter("ot=true");
    table.setFiltered(true);
}
