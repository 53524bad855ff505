#include "archive/task_list.h"

#include "archive/archive_rules.h"
#include "tables/archive_schema.h"

bool deleteCurrentTask(const ArchiveTables& tables)
{
    Table& spisok = tables.spisok;
    if (!spisok.currentRow()) return false;
    const int key = spisok.fieldByName(taskKeyField).asInteger();
    tables.allel.open();
    tables.fenotip.open();
    const ArchiveWriting writing(spisok, tables.allel, tables.fenotip, tables.labels);
    spisok.edit();
    spisok.fieldByName(liveRowField).setAsBoolean(false);
    spisok.post();
    spisok.sync();
    for (Table* rows : {&tables.allel, &tables.fenotip, tables.labels}) {
        if (!rows) continue;
        freeTaskRows(*rows, key);
        rows->sync();
    }
    return true;
}

bool nameMatchesKey(const Cp1251Text& name, const Cp1251Text& key)
{
    return name.upper().contains(key);
}

int selectTasksByKey(Table& spisok, DataSource& listSource, const Cp1251Text& key)
{
    listSource.setEnabled(false);
    spisok.setFilter(liveRowsFilter);
    spisok.setFiltered(true);
    int matches = 0;
    for (spisok.first(); !spisok.eof(); spisok.next()) {
        spisok.edit();
        const bool match = nameMatchesKey(spisok.fieldByName(taskNameField).asString(), key);
        spisok.fieldByName(selectionField).setAsBoolean(match);
        spisok.post();
        if (match) ++matches;
    }
    spisok.first();
    if (matches != 0) spisok.setFilter(selectedTasksFilter);
    listSource.setEnabled(true);
    spisok.sync();
    return matches;
}
