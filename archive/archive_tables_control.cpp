#include "archive/archive_tables_control.h"

#include "archive/TDataModule4.h"
#include "archive/archive_rules.h"
#include "tables/archive_schema.h"
#include "tables/table_error.h"

#include <fstream>
#include <iterator>

ArchiveTablesControl archiveTablesControl(TDataModule4& tables)
{
    ArchiveTablesControl control;
    control.closeTables = [&tables] {
        tables.spisok.close();
        tables.fenotip.close();
        tables.allel.close();
    };
    control.openTables = [&tables] {
        for (Table* table : {&tables.spisok, &tables.allel, &tables.fenotip}) {
            table->setFilter(liveRowsFilter);
            table->setFiltered(true);
            table->open();
        }
        freeRowsWithoutTask(tables.spisok, tables.allel, tables.fenotip);
    };
    control.checkTable = checkArchiveTableFile;
    return control;
}

void checkArchiveTableFile(const std::string& path, const std::string& tableName)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) throw tableError(tableName, "файл не читается");
    const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                          std::istreambuf_iterator<char>());
    const DbfHeader header = parseDbfHeader(bytes, bytes.size(), tableName);
    const TableSchema& schema = tableName == "SPISOK.DBF"  ? spisokSchema()
                                : tableName == "ALLEL.DBF" ? allelSchema()
                                                           : fenotipSchema();
    checkFields(header.fields, schema, tableName);
}
