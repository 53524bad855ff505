// Backup of the archive tables to the folder arhivpog at the root of a lettered drive, and
// restore from it. The routines do the file work and return the messages to show, in
// order (UTF-8); the tables are closed around the copies through the given callbacks.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

// The drive letter typed in the letter field: spaces stripped, Latin letters made upper
// case, the first character taken; nothing when it is not A to Z.
std::optional<char> readDriveLetter(const std::string& fieldText);

// "Введите одну латинскую букву..."
std::string driveLetterMessage();

struct ArchiveTablesControl
{
    std::function<void()> closeTables; // SPISOK, FENOTIP.DBF, ALLEL.DBF are released
    std::function<void()> openTables;  // opened again under the resting filter
};

// Copies the files of the working folder matching *.dbf* into L:\arhivpog, each under a
// temporary name first, so that an interrupted copy never spoils an earlier good one. Every
// copy and the folder are flushed to the medium before "Резервная копия создана!"; a failed
// flush is a failed copy.
std::vector<std::string> backupArchive(char letter, const std::string& workingFolder,
                                       const ArchiveTablesControl& tables);

// Replaces the archive by the backup as a whole or not at all: the backup's three tables
// are checked first, every file is copied under a temporary name, and only when every copy
// succeeded, and was flushed to the disk, are they renamed over the working folder's files;
// the folder is flushed before "Данные восстановлены!".
std::vector<std::string> restoreArchive(char letter, const std::string& workingFolder,
                                        const ArchiveTablesControl& tables);
