// Rows of the archive tables written and read through the table component, for tests.
#pragma once

#include "platform/cp1251.h"
#include "tables/table.h"

#include <string>
#include <string_view>
#include <vector>

// Appends an ALLEL.DBF row; name is UTF-8.
inline void appendAllel(Table& allel, int index, int nomer, std::string_view name, bool live)
{
    allel.append();
    allel.fieldByName("index").setAsInteger(index);
    allel.fieldByName("nomer").setAsInteger(nomer);
    allel.fieldByName("allel").setAsString(toCp1251(name));
    allel.fieldByName("ot").setAsBoolean(live);
    allel.post();
}

// Appends a SPISOK row with its key, its flags and a name (UTF-8).
inline void appendTask(Table& spisok, int index, bool live, std::string_view name = "",
                       bool selected = false)
{
    spisok.append();
    spisok.fieldByName("index").setAsInteger(index);
    spisok.fieldByName("ot").setAsBoolean(live);
    spisok.fieldByName("otbor").setAsBoolean(selected);
    spisok.fieldByName("name").setAsString(toCp1251(name));
    spisok.post();
}

// The values of one integer field over the visible rows, in walking order.
inline std::vector<int> column(Table& table, std::string_view field)
{
    std::vector<int> values;
    for (table.first(); !table.eof(); table.next())
        values.push_back(table.fieldByName(field).asInteger());
    return values;
}
