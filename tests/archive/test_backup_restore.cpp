// Backup and restore of the archive files over lettered drives in a temporary folder,
// with the tables' closing and reopening recorded.
#include "archive/backup_restore.h"
#include "platform/file_sync.h"
#include "tables/archive_schema.h"
#include "tests/archive/sample_archive.h"
#include "tests/support/scratch_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

class BackupRestore : public ::testing::Test
{
protected:
    void SetUp() override
    {
        work = base / "work";
        drives = base / "drives";
        fs::create_directories(work);
        fs::create_directories(drives / "E");
        setenv("VELIMOR_DRIVES", drives.c_str(), 1);
        tables.closeTables = [this] { events.push_back("close"); };
        tables.openTables = [this] { events.push_back("open"); };
    }
    void TearDown() override
    {
        unsetenv("VELIMOR_DRIVES");
        fs::permissions(base, fs::perms::owner_all, fs::perm_options::add);
    }
    static void write(const fs::path& path, const std::string& text)
    {
        std::ofstream(path, std::ios::binary) << text;
    }
    static std::string read(const fs::path& path)
    {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }
    // An empty table of the schema, with the tag after its end mark, where readers of the
    // table do not look, so that the copies of one archive can be told from another's.
    static std::string table(const TableSchema& schema, const std::string& tag)
    {
        const std::vector<std::uint8_t> bytes = newDbfFile(newTableFields(schema), {2026, 12, 8});
        return std::string(bytes.begin(), bytes.end()) + tag;
    }
    // The tag of a table written by writeArchive, or the whole text of another file.
    static std::string tag(const fs::path& path)
    {
        const std::string text = read(path);
        const std::size_t end = text.rfind('\x1a');
        return end == std::string::npos ? text : text.substr(end + 1);
    }
    void writeArchive(const fs::path& folder, const std::string& tag)
    {
        write(folder / "SPISOK.DBF", table(spisokSchema(), "spisok " + tag));
        write(folder / "ALLEL.DBF", table(allelSchema(), "allel " + tag));
        write(folder / "FENOTIP.DBF", table(fenotipSchema(), "fenotip " + tag));
        write(folder / "SPISOK.CDX", "index " + tag);
    }
    std::vector<std::string> backup(char letter)
    {
        return backupArchive(letter, work.string(), tables);
    }
    std::vector<std::string> restore(char letter)
    {
        return restoreArchive(letter, work.string(), tables);
    }

    ScratchFolder scratch;
    fs::path base = scratch.path(), work, drives;
    ArchiveTablesControl tables;
    std::vector<std::string> events;
};

using Messages = std::vector<std::string>;

} // namespace

TEST(DriveLetterField, LatinLettersOnly)
{
    EXPECT_EQ(readDriveLetter("e"), 'E');
    EXPECT_EQ(readDriveLetter(" F "), 'F');
    EXPECT_EQ(readDriveLetter(""), std::nullopt);
    EXPECT_EQ(readDriveLetter("   "), std::nullopt);
    EXPECT_EQ(readDriveLetter("Д"), std::nullopt);
    EXPECT_EQ(readDriveLetter("1"), std::nullopt);
    EXPECT_EQ(driveLetterMessage(), "Введите одну латинскую букву...");
}

TEST_F(BackupRestore, BackupCreatesTheFolderCopiesTablesButNotIndexesAndReopens)
{
    writeArchive(work, "1");
    write(work / "notes.dbf.old", "old");
    EXPECT_EQ(backup('E'), Messages{"Резервная копия создана!"});
    EXPECT_EQ(events, (std::vector<std::string>{"close", "open"}));
    const fs::path folder = drives / "E" / "arhivpog";
    EXPECT_EQ(tag(folder / "SPISOK.DBF"), "spisok 1");
    EXPECT_EQ(read(folder / "notes.dbf.old"), "old");
    EXPECT_FALSE(fs::exists(folder / "SPISOK.CDX"));
    std::size_t files = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(folder))
        ++files;
    EXPECT_EQ(files, 5u); // the four and their list; no temporary file left behind
}

TEST_F(BackupRestore, BackupReusesTheFolderReplacingSameNamesAndKeepingOthers)
{
    const fs::path folder = drives / "E" / "arhivpog";
    fs::create_directories(folder);
    write(folder / "SPISOK.DBF", "older");
    write(folder / "other.txt", "kept");
    writeArchive(work, "2");
    EXPECT_EQ(backup(*readDriveLetter("e")), Messages{"Резервная копия создана!"});
    EXPECT_EQ(tag(folder / "SPISOK.DBF"), "spisok 2");
    EXPECT_EQ(read(folder / "other.txt"), "kept");
}

TEST_F(BackupRestore, BackupFailures)
{
    writeArchive(work, "1");
    EXPECT_EQ(backup('F'), Messages{"Резервный носитель не установлен или не исправен..."});
    EXPECT_TRUE(events.empty());

    fs::remove_all(work);
    fs::create_directories(work);
    EXPECT_EQ(backup('E'), Messages{"Резервная копия НЕ создана!!"});
    EXPECT_EQ(events, (std::vector<std::string>{"close", "open"}));

    if (::geteuid() != 0) {
        writeArchive(work, "1");
        fs::permissions(drives / "E", fs::perms::owner_read | fs::perms::owner_exec);
        EXPECT_EQ(backup('E'), (Messages{"Папка резервной копии не создается...",
                                         "Резервная копия НЕ создана!!"}));
    }
}

TEST_F(BackupRestore, ACopyThatFailsIsReportedPerFileAndTheBackupIsNotTakenForAWholeOne)
{
    writeArchive(work, "1");
    const fs::path folder = drives / "E" / "arhivpog";
    fs::create_directories(folder / "ALLEL.DBF"); // a folder where the table should go
    const Messages messages = backup('E');
    EXPECT_EQ(messages, (Messages{"Копия ALLEL.DBF не создана", "Резервная копия НЕ создана!!"}));
    EXPECT_EQ(tag(folder / "FENOTIP.DBF"), "fenotip 1");
    fs::remove(folder / "ALLEL.DBF");
    write(folder / "ALLEL.DBF", table(allelSchema(), "allel old"));
    writeArchive(work, "old");
    EXPECT_EQ(restore('E'), (Messages{"Резервная копия неполна: файл ALLEL.DBF не совпадает со "
                                      "списком файлов копии (копирование на носитель было "
                                      "прервано или файлы взяты из разных копий). Архив не "
                                      "изменен.",
                                      "Даные НЕ ВОССТАНОВЛЕНЫ!!"}));
    EXPECT_EQ(tag(work / "FENOTIP.DBF"), "fenotip old");
}

TEST_F(BackupRestore, RestoreReplacesTheArchiveWithEveryFileOfTheBackup)
{
    writeArchive(work, "old");
    const fs::path folder = drives / "E" / "ARHIVpog";
    fs::create_directories(folder);
    write(folder / "spisok.DBF", table(spisokSchema(), "spisok new"));
    write(folder / "ALLEL.DBF", table(allelSchema(), "allel new"));
    write(folder / "FENOTIP.DBF", table(fenotipSchema(), "fenotip new"));
    write(folder / "readme.txt", "any file");
    EXPECT_EQ(restore('E'), Messages{"Данные восстановлены!"});
    EXPECT_EQ(events, (std::vector<std::string>{"close", "open"}));
    EXPECT_EQ(tag(work / "SPISOK.DBF"), "spisok new");
    EXPECT_FALSE(fs::exists(work / "spisok.DBF"));
    EXPECT_EQ(tag(work / "ALLEL.DBF"), "allel new");
    EXPECT_EQ(read(work / "readme.txt"), "any file");
    for (const auto& entry : fs::directory_iterator(work))
        EXPECT_NE(entry.path().filename().string().rfind(".velimor", 0), 0u);
}

TEST_F(BackupRestore, RestoreWithoutABackupLeavesEverythingUntouched)
{
    writeArchive(work, "old");
    EXPECT_EQ(restore('E'), Messages{"Резервный носитель не установлен или не исправен или не "
                                     "содержит резервной копии..."});
    EXPECT_EQ(restore('Q').size(), 1u);
    fs::create_directories(drives / "E" / "arhivpog");
    write(drives / "E" / "arhivpog" / "ALLEL.DBF", "allel");
    EXPECT_EQ(restore('E').size(), 1u);
    EXPECT_TRUE(events.empty());
    EXPECT_EQ(tag(work / "SPISOK.DBF"), "spisok old");
}

TEST_F(BackupRestore, ADamagedBackupTableIsRefusedAndTheArchiveStaysAsItWas)
{
    writeArchive(work, "old");
    const fs::path folder = drives / "E" / "arhivpog";
    fs::create_directories(folder);
    write(folder / "SPISOK.DBF", "damaged");
    write(folder / "ALLEL.DBF", table(allelSchema(), "allel new"));
    EXPECT_EQ(restore('E'), (Messages{"SPISOK.DBF не скопирован", "FENOTIP.DBF не скопирован",
                                      "Даные НЕ ВОССТАНОВЛЕНЫ!!"}));
    EXPECT_EQ(tag(work / "SPISOK.DBF"), "spisok old");
    EXPECT_EQ(tag(work / "ALLEL.DBF"), "allel old");
    EXPECT_EQ(std::count(events.begin(), events.end(), "close"), 0);
}

TEST_F(BackupRestore, ABackupTableWithAnotherTablesFieldsIsRefused)
{
    writeArchive(work, "old");
    const fs::path folder = drives / "E" / "arhivpog";
    fs::create_directories(folder);
    writeArchive(folder, "new");
    write(folder / "FENOTIP.DBF", table(allelSchema(), "allel"));
    EXPECT_EQ(restore('E'), (Messages{"FENOTIP.DBF не скопирован", "Даные НЕ ВОССТАНОВЛЕНЫ!!"}));
    EXPECT_EQ(tag(work / "FENOTIP.DBF"), "fenotip old");
}

TEST_F(BackupRestore, AFailedCopyDuringRestoreChangesNothing)
{
    writeArchive(work, "old");
    const fs::path folder = drives / "E" / "arhivpog";
    fs::create_directories(folder);
    writeArchive(folder, "new");
    fs::remove(folder / "SPISOK.CDX");
    write(folder / "extra.dbf", "x");
    if (::geteuid() == 0) {
        // Root reads every file: make one copy fail by a folder standing in the target's way.
        fs::create_directories(work / ".velimor-copy-extra.dbf");
    } else {
        fs::permissions(folder / "extra.dbf", fs::perms::none);
    }
    EXPECT_EQ(restore('E'), (Messages{"extra.dbf не скопирован", "Даные НЕ ВОССТАНОВЛЕНЫ!!"}));
    EXPECT_EQ(tag(work / "SPISOK.DBF"), "spisok old");
    EXPECT_EQ(tag(work / "FENOTIP.DBF"), "fenotip old");
    EXPECT_FALSE(fs::exists(work / ".velimor-copy-SPISOK.DBF"));
    EXPECT_EQ(events.back(), "open");
}

TEST_F(BackupRestore, EveryCopyAndItsFolderAreFlushedBeforeSuccessAndAFailedFlushIsAFailure)
{
    writeArchive(work, "1");
    const fs::path folder = drives / "E" / "arhivpog";
    std::vector<std::string> flushed;
    setSyncHook([&](const std::string& path) {
        flushed.push_back(fs::path(path).lexically_relative(base).string());
        return 0;
    });
    EXPECT_EQ(backup('E'), Messages{"Резервная копия создана!"});
    // The new folder's entry on the drive, each copy before its rename, then the folder.
    EXPECT_EQ(flushed,
              (std::vector<std::string>{"drives/E", "drives/E/arhivpog/.velimor-copy-ALLEL.DBF",
                                        "drives/E/arhivpog/.velimor-copy-FENOTIP.DBF",
                                        "drives/E/arhivpog/.velimor-copy-SPISOK.DBF",
                                        "drives/E/arhivpog/.velimor-manifest.new",
                                        "drives/E/arhivpog", "drives/E/arhivpog"}));

    setSyncHook([](const std::string& path) {
        return fs::path(path).filename() == ".velimor-copy-FENOTIP.DBF" ? EIO : 0;
    });
    writeArchive(work, "2");
    EXPECT_EQ(backup('E'),
              (Messages{"Копия FENOTIP.DBF не создана", "Резервная копия НЕ создана!!"}));
    EXPECT_EQ(tag(folder / "FENOTIP.DBF"), "fenotip 1");

    setSyncHook([&](const std::string& path) { return path == folder.string() ? EIO : 0; });
    EXPECT_EQ(backup('E'), Messages{"Резервная копия НЕ создана!!"});
    setSyncHook({});
    EXPECT_EQ(backup('E'), Messages{"Резервная копия создана!"});

    // Restore: a copy that cannot be flushed replaces nothing; a folder that cannot be flushed
    // after the renames is reported as a failure.
    writeArchive(work, "old");
    setSyncHook([](const std::string& path) {
        return fs::path(path).filename() == ".velimor-copy-ALLEL.DBF" ? EIO : 0;
    });
    EXPECT_EQ(restore('E'), (Messages{"ALLEL.DBF не скопирован", "Даные НЕ ВОССТАНОВЛЕНЫ!!"}));
    EXPECT_EQ(tag(work / "SPISOK.DBF"), "spisok old");
    EXPECT_FALSE(fs::exists(work / ".velimor-copy-SPISOK.DBF"));
    setSyncHook([&](const std::string& path) { return path == work.string() ? EIO : 0; });
    EXPECT_EQ(restore('E').back(), "Даные НЕ ВОССТАНОВЛЕНЫ!!");
    flushed.clear();
    setSyncHook([&](const std::string& path) {
        flushed.push_back(fs::path(path).lexically_relative(base).string());
        return 0;
    });
    EXPECT_EQ(restore('E'), Messages{"Данные восстановлены!"});
    setSyncHook({});
    // The copies (and an empty label table, which this backup lacks) and their names before
    // the record of the restore, the renames before the record is removed.
    EXPECT_EQ(flushed, (std::vector<std::string>{
                           "work/.velimor-copy-ALLEL.DBF", "work/.velimor-copy-FENOTIP.DBF",
                           "work/.velimor-copy-SPISOK.DBF", "work/.velimor-copy-METKI.DBF.new",
                           "work", "work", "work/.velimor-restore.new", "work", "work", "work"}));
}

TEST_F(BackupRestore, TablesOfTwoBackupsAreRefusedWithOrWithoutTheirListAndNothingChanges)
{
    const fs::path folder = drives / "E" / "arhivpog";
    writeArchive(work, "1");
    EXPECT_EQ(backup('E'), Messages{"Резервная копия создана!"});
    write(folder / "ALLEL.DBF", table(allelSchema(), "allel 2")); // a copy cut short
    writeArchive(work, "now");
    EXPECT_EQ(restore('E').front(), "Резервная копия неполна: файл ALLEL.DBF не совпадает со "
                                    "списком файлов копии (копирование на носитель было прервано "
                                    "или файлы взяты из разных копий). Архив не изменен.");
    EXPECT_EQ(tag(work / "ALLEL.DBF"), "allel now");

    // A backup of an older version has no list: it restores when its tasks fit their rows.
    fs::remove(folder / ".velimor-manifest");
    EXPECT_EQ(restore('E'), Messages{"Данные восстановлены!"});
    EXPECT_EQ(tag(work / "ALLEL.DBF"), "allel 2");
    {
        ArchiveFiles archive(folder);
        saveTask(archive.tables(), sampleTask("First", 3, 10));
    }
    {
        ArchiveFiles other(work);
        saveTask(other.tables(), sampleTask("Other", 50, 10));
    }
    fs::copy_file(work / "ALLEL.DBF", folder / "ALLEL.DBF", fs::copy_options::overwrite_existing);
    events.clear();
    EXPECT_EQ(restore('E'),
              (Messages{"Таблицы резервной копии не подходят друг к другу: у задачи «First» в "
                        "ALLEL.DBF строк аллелей 50, а в SPISOK.DBF указано 3. Вероятно, таблицы "
                        "взяты из разных копий архива. Архив не изменен.",
                        "Даные НЕ ВОССТАНОВЛЕНЫ!!"}));
    EXPECT_TRUE(events.empty());
}

TEST_F(BackupRestore, ARestoreCutShortIsFinishedAtTheNextStartOnceItsRecordIsWritten)
{
    const fs::path folder = drives / "E" / "arhivpog";
    fs::create_directories(folder);
    writeArchive(folder, "new");
    for (const bool recordWritten : {false, true}) {
        writeArchive(work, "old");
        // The process stops at the first table renamed into place, or just before the record.
        setFileStepHook([&](const std::string& path) {
            if (path == (work / (recordWritten ? "ALLEL.DBF" : ".velimor-restore.new")).string())
                throw std::runtime_error("stopped");
        });
        EXPECT_THROW(restore('E'), std::runtime_error);
        setFileStepHook({});
        EXPECT_EQ(restoreUnfinished(work.string()), recordWritten);
        const auto message = finishInterruptedRestore(work.string());
        EXPECT_EQ(message.has_value(), recordWritten);
        EXPECT_EQ(tag(work / "FENOTIP.DBF"), recordWritten ? "fenotip new" : "fenotip old");
        EXPECT_EQ(tag(work / "ALLEL.DBF"), recordWritten ? "allel new" : "allel old");
        EXPECT_FALSE(restoreUnfinished(work.string()));
        for (const auto& entry : fs::directory_iterator(work))
            EXPECT_NE(entry.path().filename().string().rfind(".velimor", 0), 0u);
    }
    EXPECT_EQ(finishInterruptedRestore(work.string()), std::nullopt);
}
