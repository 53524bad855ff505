// The archive tables as backup and restore use them: closed around the file copies and
// opened again under the resting filter.
#pragma once

#include "archive/backup_restore.h"

class TDataModule4;

ArchiveTablesControl archiveTablesControl(TDataModule4& tables);
