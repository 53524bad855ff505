// Backup of the archive tables to the folder arhivpog at the root of a lettered drive, and
// restore from it. The routines do the file work and return the messages to show, in
// order (UTF-8); the tables are closed around the copies through the given callbacks.
//
// Both are all or nothing, whenever the program or the power stops:
// - A backup copies every file under a temporary name, flushed; then writes the list of the
//   files with their sizes and checksums (the manifest, ".velimor-manifest", written whole and
//   flushed); only then renames the copies into place. A restore takes a backup with a manifest
//   only when every file matches it, so a backup cut short, with old and new tables side by
//   side, is refused, never taken for a whole one.
// - A restore copies every file under a temporary name in the working folder, flushed; then
//   writes the record of the restore (".velimor-restore": the files with their sizes and
//   checksums, written whole and flushed); then renames the copies over the tables and
//   removes the record. The record is the moment the restore happens: the next start finishes
//   a restore whose record it finds (finishInterruptedRestore), and drops the copies of one
//   that had none yet.
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

// Copies the files of the working folder matching *.dbf* into L:\arhivpog (see above). Every
// copy is attempted and a failed one reported; when any failed, none is put in place and the
// backup already there stays as it was. Everything is on the medium before "Резервная копия
// создана!"; a failed flush is a failed copy.
std::vector<std::string> backupArchive(char letter, const std::string& workingFolder,
                                       const ArchiveTablesControl& tables);

// Replaces the archive by the backup as a whole or not at all (see above). The backup is
// checked first: against its manifest, or, made by a version without one, each table against
// its fields and every task against its rows; a backup that fails is refused with a message
// saying why, and nothing is changed. The label table METKI.DBF is restored with the others
// when the backup holds it (listed in its manifest when it has one); a backup made before
// labels gives an empty one in its place, so no label outlives the archive it belonged to. While
// the copies are renamed into place the working tables are held under their writer and exclusive
// locks, so that a reader meanwhile sees the old archive or the restored one.
std::vector<std::string> restoreArchive(char letter, const std::string& workingFolder,
                                        const ArchiveTablesControl& tables);

// Run before the tables are opened: finishes a restore whose record the working folder holds
// (each table is the restored copy or still its temporary copy, which is renamed into place)
// and removes temporary copies left by a backup or restore cut short. Does nothing while
// another program holds the tables for writing. Returns the message to show when a restore was
// finished, or could not be.
std::optional<std::string> finishInterruptedRestore(const std::string& workingFolder);

// Whether the working folder holds the record of a restore not yet finished: its tables may be
// part old, part restored, until the program starts.
bool restoreUnfinished(const std::string& workingFolder);
