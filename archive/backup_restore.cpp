#include "archive/backup_restore.h"

#include "archive/archive_table_check.h"
#include "platform/drives.h"
#include "platform/file_sync.h"

#include <cstdio>
#include <exception>

namespace {

const char* const backupFolderName = "arhivpog";

std::string temporaryName(const std::string& name)
{
    return ".velimor-copy-" + name;
}

bool renameFile(const std::string& from, const std::string& to)
{
    return std::rename(from.c_str(), to.c_str()) == 0;
}

// Closes the tables for the duration of the copies and opens them again afterwards,
// however the copies end.
class TablesClosed
{
public:
    explicit TablesClosed(const ArchiveTablesControl& tables) : tables_(tables)
    {
        tables_.closeTables();
    }
    ~TablesClosed() noexcept(false)
    {
        if (std::uncaught_exceptions() == 0) tables_.openTables();
    }
    TablesClosed(const TablesClosed&) = delete;
    TablesClosed& operator=(const TablesClosed&) = delete;

private:
    const ArchiveTablesControl& tables_;
};

} // namespace

std::optional<char> readDriveLetter(const std::string& fieldText)
{
    std::size_t first = fieldText.find_first_not_of(' ');
    if (first == std::string::npos) return std::nullopt;
    char c = fieldText[first];
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (c < 'A' || c > 'Z') return std::nullopt;
    return c;
}

std::string driveLetterMessage()
{
    return "Введите одну латинскую букву...";
}

std::vector<std::string> backupArchive(char letter, const std::string& workingFolder,
                                       const ArchiveTablesControl& tables)
{
    if (driveFreeSpace(letter) == -1)
        return {"Резервный носитель не установлен или не исправен..."};
    const std::string root = *driveRoot(letter);
    std::vector<std::string> messages;
    TablesClosed closed(tables);
    const std::string folder = root + "/" + backupFolderName;
    if (!folderExists(folder) && (!createFolder(folder) || !syncFolder(root))) {
        messages.push_back("Папка резервной копии не создается...");
        messages.push_back("Резервная копия НЕ создана!!");
        return messages;
    }
    const std::vector<std::string> names = findFiles(workingFolder, "*.dbf*");
    bool success = !names.empty();
    for (const std::string& name : names) {
        const std::string target = folder + "/" + name;
        const std::string temporary = folder + "/" + temporaryName(name);
        if (!copyFile(workingFolder + "/" + name, temporary) || !renameFile(temporary, target)) {
            std::remove(temporary.c_str());
            messages.push_back("Копия " + name + " не создана");
            success = false;
        }
    }
    // Every copy is on the medium (copyFile flushes it) before its rename; flushing the folder
    // puts the new names there too, before the user is told to take the medium away.
    if (!names.empty() && !syncFolder(folder)) success = false;
    messages.push_back(success ? "Резервная копия создана!" : "Резервная копия НЕ создана!!");
    return messages;
}

std::vector<std::string> restoreArchive(char letter, const std::string& workingFolder,
                                        const ArchiveTablesControl& tables)
{
    const std::string mediumMessage =
        "Резервный носитель не установлен или не исправен или не содержит резервной копии...";
    const std::string failed = "Даные НЕ ВОССТАНОВЛЕНЫ!!";
    const auto root = driveRoot(letter);
    const auto folderName = root ? findFolderNoCase(*root, backupFolderName) : std::nullopt;
    const std::string folder = folderName ? *root + "/" + *folderName : std::string();
    if (!folderName || !findFileNoCase(folder, "SPISOK.DBF")) return {mediumMessage};

    std::vector<std::string> messages;
    for (const ArchiveTableFile& table : archiveTableFiles()) {
        const auto name = findFileNoCase(folder, table.name);
        bool usable = name.has_value();
        if (usable) {
            try {
                checkArchiveTableFile(folder + "/" + *name, table);
            } catch (const std::exception&) {
                usable = false;
            }
        }
        if (!usable) messages.push_back(name.value_or(table.name) + " не скопирован");
    }
    if (!messages.empty()) {
        messages.push_back(failed);
        return messages;
    }

    TablesClosed closed(tables);
    const std::vector<std::string> names = findFiles(folder, "*.*");
    struct Copied
    {
        std::string temporary;
        std::string target;
    };
    std::vector<Copied> copied;
    bool success = !names.empty();
    for (const std::string& name : names) {
        // A table restored as "spisok.DBF" replaces the working folder's "SPISOK.DBF".
        const std::string target =
            workingFolder + "/" + findFileNoCase(workingFolder, name).value_or(name);
        const std::string temporary = workingFolder + "/" + temporaryName(name);
        if (copyFile(folder + "/" + name, temporary)) {
            copied.push_back({temporary, target});
        } else {
            messages.push_back(name + " не скопирован");
            success = false;
        }
    }
    // The copies are flushed before any of them replaces a table, so a failed flush keeps the
    // old archive; the folder is flushed after the renames, before the success is reported.
    if (success) {
        for (const Copied& c : copied)
            success = renameFile(c.temporary, c.target) && success;
        success = syncFolder(workingFolder) && success;
    }
    for (const Copied& c : copied)
        std::remove(c.temporary.c_str());
    messages.push_back(success ? "Данные восстановлены!" : failed);
    return messages;
}
