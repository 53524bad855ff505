// The checks a backup passes before a restore may put it in place of our archive: each table
// file is read whole, and its header and fields are held against the table it is meant to be;
// and, for a backup that came without the list of its files, every task against its rows.
#pragma once

#include "tables/table_schema.h"

#include <array>
#include <optional>
#include <string>

// One of the archive's three tables as a file: its name in the folder and its fields.
struct ArchiveTableFile
{
    const char* name; // "SPISOK.DBF"
    const TableSchema& (*schema)();
};

// SPISOK.DBF, ALLEL.DBF and FENOTIP.DBF, in the order a restore checks them.
const std::array<ArchiveTableFile, 3>& archiveTableFiles();

// METKI.DBF, the labels: an archive or a backup made before labels has none.
const ArchiveTableFile& labelTableFile();

// Throws TableError naming the table when the file is not readable as that table: a damaged
// header, records missing from the file, or fields other than its schema's. Reads the file
// only.
void checkArchiveTableFile(const std::string& path, const ArchiveTableFile& table);

// The first live task of the archive tables of a folder whose rows do not fit its task row:
// live allele rows other in number than its KOLALL or with a position twice, or live count rows
// with a position twice or beyond its KOLFEN. That is what tables of two archives put together
// give. A message naming the task (Russian, UTF-8), or nothing when every task fits. Opens the
// tables for reading only; a table that does not open throws TableError.
std::optional<std::string> taskNotFittingItsRows(const std::string& folder);
