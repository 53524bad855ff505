#include "archive/backup_restore.h"

#include "archive/archive_table_check.h"
#include "archive/file_sums.h"
#include "platform/clock.h"
#include "platform/drives.h"
#include "platform/file_sync.h"
#include "tables/dbf_format.h"
#include "tables/table_error.h"
#include "tables/table_file.h"

#include <algorithm>
#include <exception>
#include <filesystem>

namespace {

const char* const backupFolderName = "arhivpog";
const char* const manifestName = ".velimor-manifest";
const char* const restoreRecordName = ".velimor-restore";
const char* const copyPrefix = ".velimor-copy-";
const char* const restoreFailed = "Даные НЕ ВОССТАНОВЛЕНЫ!!";

std::string temporaryName(const std::string& name)
{
    return copyPrefix + name;
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

// Copies files of one folder into another under temporary names, each flushed, and sums the
// copies as they stand on the target; a file that fails is named in the messages (messageOf)
// and the copies made so far are removed.
struct Copies
{
    std::vector<FileSum> sums; // by target name
    bool complete = true;
};

Copies copyUnderTemporaryNames(const std::string& from, const std::string& to,
                               const std::vector<std::pair<std::string, std::string>>& names,
                               const std::function<std::string(const std::string&)>& messageOf,
                               std::vector<std::string>& messages)
{
    Copies copies;
    for (const auto& [source, target] : names) {
        const std::string temporary = temporaryName(target);
        fileStep(to + "/" + temporary);
        std::optional<FileSum> sum;
        if (copyFile(from + "/" + source, to + "/" + temporary)) sum = sumOfFile(to, temporary);
        if (sum) {
            sum->name = target;
            copies.sums.push_back(*sum);
        } else {
            removeFile(to + "/" + temporary);
            messages.push_back(messageOf(source));
            copies.complete = false;
        }
    }
    if (!copies.complete)
        for (const FileSum& sum : copies.sums)
            removeFile(to + "/" + temporaryName(sum.name));
    return copies;
}

// An empty label table under the temporary name of the target in the working folder, written
// whole and flushed, with its sum; nothing when it cannot be written. A backup without labels
// restores so, and the labels of the archive it replaces go with it.
std::optional<FileSum> emptyLabelTable(const std::string& workingFolder, const std::string& target)
{
    const LocalDateTime now = currentDateTime();
    const std::vector<std::uint8_t> bytes =
        newDbfFile(newTableFields(labelTableFile().schema()), {now.year, now.month, now.day});
    const std::string temporary = temporaryName(target);
    if (!writeFileWhole(workingFolder + "/" + temporary, bytes)) return std::nullopt;
    std::optional<FileSum> sum = sumOfFile(workingFolder, temporary);
    if (sum) sum->name = target;
    return sum;
}

// Renames every copy over its file; the names of those that fail (the others are still
// renamed).
std::vector<std::string> putCopiesInPlace(const std::string& folder,
                                          const std::vector<FileSum>& sums)
{
    std::vector<std::string> failed;
    for (const FileSum& sum : sums)
        if (!renameFile(folder + "/" + temporaryName(sum.name), folder + "/" + sum.name))
            failed.push_back(sum.name);
    return failed;
}

// The working folder's tables under their writer lock and exclusive table lock, for the
// moment their files are replaced; throws TableError when another program holds them.
std::vector<TableFile> holdTables(const std::string& workingFolder)
{
    std::vector<ArchiveTableFile> tables(archiveTableFiles().begin(), archiveTableFiles().end());
    tables.push_back(labelTableFile());
    std::vector<TableFile> held;
    for (const ArchiveTableFile& table : tables) {
        const auto name = findFileNoCase(workingFolder, table.name);
        if (!name) continue;
        held.push_back(
            TableFile::open(workingFolder + "/" + *name, table.name, {}, TableAccess::write));
        held.back().lockForWriting();
    }
    return held;
}

// The first file of a backup that disagrees with the others: one that does not match the
// manifest, or, without a manifest, a task whose rows do not fit it.
std::optional<std::string> disagreement(const std::string& folder)
{
    const auto incomplete = [](const std::string& name) {
        return "Резервная копия неполна: файл " + name +
               " не совпадает со списком файлов копии (копирование на носитель было прервано "
               "или файлы взяты из разных копий). Архив не изменен.";
    };
    if (const auto manifest = readFileSums(folder + "/" + manifestName)) {
        for (const FileSum& sum : *manifest)
            if (!matchesSum(folder, sum)) return incomplete(sum.name);
        for (const ArchiveTableFile& table : archiveTableFiles()) {
            const auto listed = [&](const FileSum& sum) {
                return findFileNoCase(folder, table.name) == sum.name;
            };
            if (std::none_of(manifest->begin(), manifest->end(), listed))
                return incomplete(table.name);
        }
        return std::nullopt;
    }
    if (std::filesystem::exists(folder + "/" + manifestName))
        return std::string("Резервная копия повреждена: список ее файлов (") + manifestName +
               ") не читается. Архив не изменен.";
    try {
        if (const auto problem = taskNotFittingItsRows(folder))
            return *problem + " Архив не изменен.";
    } catch (const TableError& e) {
        return std::string(e.what()) + " Архив не изменен.";
    }
    return std::nullopt;
}

// The name of the label table a backup gives: the one it holds, listed in its manifest when it
// has one. Nothing for a backup made before labels, whose archive is restored without them.
std::optional<std::string> backupLabelTable(const std::string& folder)
{
    const auto name = findFileNoCase(folder, labelTableFile().name);
    if (!name) return std::nullopt;
    if (const auto manifest = readFileSums(folder + "/" + manifestName))
        if (std::none_of(manifest->begin(), manifest->end(),
                         [&](const FileSum& sum) { return sum.name == *name; }))
            return std::nullopt;
    return name;
}

// Why the backup of a folder cannot be restored, or nothing when it can: every table that is
// missing or damaged, or else the first file that disagrees with the others.
std::vector<std::string> backupProblems(const std::string& folder)
{
    std::vector<std::string> damaged;
    for (const ArchiveTableFile& table : archiveTableFiles()) {
        const auto name = findFileNoCase(folder, table.name);
        try {
            if (!name) throw tableError(table.name, "файла нет");
            checkArchiveTableFile(folder + "/" + *name, table);
        } catch (const std::exception&) {
            damaged.push_back(name.value_or(table.name) + " не скопирован");
        }
    }
    if (const auto labels = backupLabelTable(folder)) {
        try {
            checkArchiveTableFile(folder + "/" + *labels, labelTableFile());
        } catch (const std::exception&) {
            damaged.push_back(*labels + " не скопирован");
        }
    }
    if (!damaged.empty()) return damaged;
    if (auto problem = disagreement(folder)) return {*problem};
    return {};
}

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
    std::vector<std::pair<std::string, std::string>> names;
    for (const std::string& name : findFiles(workingFolder, "*.dbf*"))
        names.emplace_back(name, name);
    const Copies copies = copyUnderTemporaryNames(
        workingFolder, folder, names,
        [](const std::string& name) { return "Копия " + name + " не создана"; }, messages);
    // The manifest of the new copies goes in first: from then on, until every copy is in
    // place, the folder's files do not match it, and a restore refuses them.
    bool success = !names.empty() && copies.complete;
    if (success && writeFileSums(folder + "/" + manifestName, copies.sums)) {
        for (const std::string& name : putCopiesInPlace(folder, copies.sums)) {
            removeFile(folder + "/" + temporaryName(name));
            messages.push_back("Копия " + name + " не создана");
            success = false;
        }
        success = syncFolder(folder) && success;
    } else if (success) {
        for (const FileSum& sum : copies.sums)
            removeFile(folder + "/" + temporaryName(sum.name));
        success = false;
    }
    messages.push_back(success ? "Резервная копия создана!" : "Резервная копия НЕ создана!!");
    return messages;
}

std::vector<std::string> restoreArchive(char letter, const std::string& workingFolder,
                                        const ArchiveTablesControl& tables)
{
    const std::string mediumMessage =
        "Резервный носитель не установлен или не исправен или не содержит резервной копии...";
    const auto root = driveRoot(letter);
    const auto folderName = root ? findFolderNoCase(*root, backupFolderName) : std::nullopt;
    const std::string folder = folderName ? *root + "/" + *folderName : std::string();
    if (!folderName || !findFileNoCase(folder, "SPISOK.DBF")) return {mediumMessage};
    if (std::vector<std::string> problems = backupProblems(folder); !problems.empty()) {
        problems.push_back(restoreFailed);
        return problems;
    }

    std::vector<std::string> messages;
    TablesClosed closed(tables);
    const std::optional<std::string> labelTable = backupLabelTable(folder);
    std::vector<std::pair<std::string, std::string>> names;
    for (const std::string& name : findFiles(folder, "*.*")) {
        if (wildcardMatch(labelTableFile().name, name) && name != labelTable) continue;
        // A table restored as "spisok.DBF" replaces the working folder's "SPISOK.DBF".
        names.emplace_back(name, findFileNoCase(workingFolder, name).value_or(name));
    }
    Copies copies = copyUnderTemporaryNames(
        folder, workingFolder, names,
        [](const std::string& name) { return name + " не скопирован"; }, messages);
    if (copies.complete && !labelTable) {
        const std::string target =
            findFileNoCase(workingFolder, labelTableFile().name).value_or(labelTableFile().name);
        if (const auto empty = emptyLabelTable(workingFolder, target)) {
            copies.sums.push_back(*empty);
        } else {
            messages.push_back(target + " не скопирован");
            copies.complete = false;
        }
    }
    if (names.empty() || !copies.complete || !syncFolder(workingFolder)) {
        for (const FileSum& sum : copies.sums)
            removeFile(workingFolder + "/" + temporaryName(sum.name));
        messages.push_back(restoreFailed);
        return messages;
    }
    try {
        const std::vector<TableFile> held = holdTables(workingFolder);
        const std::string record = workingFolder + "/" + restoreRecordName;
        if (!writeFileSums(record, copies.sums)) {
            for (const FileSum& sum : copies.sums)
                removeFile(workingFolder + "/" + temporaryName(sum.name));
            messages.push_back(restoreFailed);
            return messages;
        }
        // From here the restore happens: what a crash leaves, the next start finishes.
        if (!putCopiesInPlace(workingFolder, copies.sums).empty() || !syncFolder(workingFolder) ||
            !removeFile(record) || !syncFolder(workingFolder)) {
            messages.push_back("Восстановление не закончено; его закончит следующий запуск "
                               "программы.");
            messages.push_back(restoreFailed);
            return messages;
        }
    } catch (const TableError& e) {
        for (const FileSum& sum : copies.sums)
            removeFile(workingFolder + "/" + temporaryName(sum.name));
        messages.push_back(e.what());
        messages.push_back(restoreFailed);
        return messages;
    }
    messages.push_back("Данные восстановлены!");
    return messages;
}

std::optional<std::string> finishInterruptedRestore(const std::string& workingFolder)
{
    // Only the one program that may write the tables touches the folder; readers wait.
    std::vector<TableFile> held;
    try {
        held = holdTables(workingFolder);
    } catch (const TableError&) {
        return std::nullopt;
    }
    const std::string record = workingFolder + "/" + restoreRecordName;
    std::optional<std::string> message;
    if (const auto sums = readFileSums(record)) {
        for (const FileSum& sum : *sums) {
            const std::string copy = temporaryName(sum.name);
            if (matchesSum(workingFolder, sum)) continue;
            if (!matchesSum(workingFolder, {copy, sum.size, sum.crc}) ||
                !renameFile(workingFolder + "/" + copy, workingFolder + "/" + sum.name))
                return "Восстановление архива из резервной копии было прервано, и закончить его "
                       "не удалось: файл " +
                       sum.name + " не совпадает с копией. Повторите восстановление.";
        }
        if (!syncFolder(workingFolder))
            return std::string("Восстановление архива из резервной копии было прервано, и "
                               "закончить его не удалось: папка архива не записывается.");
        message = "Восстановление архива из резервной копии было прервано; оно закончено при "
                  "запуске программы.";
    }
    // A record that is not whole was never in place: its restore had not begun.
    std::error_code ignored;
    if (std::filesystem::exists(record, ignored)) removeFile(record);
    for (std::filesystem::directory_iterator it(workingFolder, ignored), end; !ignored && it != end;
         it.increment(ignored)) {
        const std::string name = it->path().filename().string();
        if (name.rfind(copyPrefix, 0) == 0 || name == std::string(restoreRecordName) + ".new")
            removeFile(it->path().string());
    }
    syncFolder(workingFolder);
    return message;
}

bool restoreUnfinished(const std::string& workingFolder)
{
    return std::filesystem::exists(workingFolder + "/" + restoreRecordName);
}
