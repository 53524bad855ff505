// The archive tables as backup and restore use them: closed around the file copies, opened
// again under the resting filter, and a backup's table checked before it may replace ours.
#pragma once

#include "archive/backup_restore.h"

class TDataModule4;

ArchiveTablesControl archiveTablesControl(TDataModule4& tables);

// Throws TableError when the file is not a readable archive table of that name
// ("SPISOK.DBF", "ALLEL.DBF" or "FENOTIP.DBF"): a damaged header, records missing from the
// file, or fields other than the archive's. Reads the file only.
void checkArchiveTableFile(const std::string& path, const std::string& tableName);
