// The check a backup's table passes before a restore may put it in place of ours: the file
// is read whole, and its header and fields are held against the table it is meant to be.
#pragma once

#include "tables/table_schema.h"

#include <array>
#include <string>

// One of the archive's three tables as a file: its name in the folder and its fields.
struct ArchiveTableFile
{
    const char* name; // "SPISOK.DBF"
    const TableSchema& (*schema)();
};

// SPISOK.DBF, ALLEL.DBF and FENOTIP.DBF, in the order a restore checks them.
const std::array<ArchiveTableFile, 3>& archiveTableFiles();

// Throws TableError naming the table when the file is not readable as that table: a damaged
// header, records missing from the file, or fields other than its schema's. Reads the file
// only.
void checkArchiveTableFile(const std::string& path, const ArchiveTableFile& table);
