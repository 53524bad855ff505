#include "archive/gui/archive_tables_control.h"

#include "archive/gui/TDataModule4.h"
#include "tables/archive_schema.h"

ArchiveTablesControl archiveTablesControl(TDataModule4& tables)
{
    ArchiveTablesControl control;
    control.closeTables = [&tables] {
        tables.spisok.close();
        tables.fenotip.close();
        tables.allel.close();
        tables.metki.close();
    };
    control.openTables = [&tables] {
        for (Table* table : {&tables.spisok, &tables.allel, &tables.fenotip, &tables.metki}) {
            table->setFilter(liveRowsFilter);
            table->setFiltered(true);
        }
        tables.openTables();
    };
    return control;
}
