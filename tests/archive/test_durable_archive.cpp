// Saves, deletes and selections that are on the disk before they return, and a task written
// whole or not at all: the order of the table files' writes and flushes seen through the
// file layer's seams, a failed flush or a full disk taking a save back, and rows that an
// interrupted save or delete left without their task row freed on open.
#include "archive/archive_rules.h"
#include "archive/task_list.h"
#include "platform/file_sync.h"
#include "tables/table_error.h"
#include "tests/archive/sample_archive.h"
#include "tests/archive/stored_rows.h"
#include "tests/support/scratch_folder.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// The writes (a rename counts as a write of its target) and flushes of the table files while
// an instance lives, by file name ("folder" for the archive's folder), repeats in a row
// dropped.
class FileSteps
{
public:
    explicit FileSteps(fs::path folder) : folder_(std::move(folder))
    {
        setFileStepHook([this](const std::string& path) { add("write", path); });
        setSyncHook([this](const std::string& path) {
            add("sync", path);
            return 0;
        });
    }
    ~FileSteps()
    {
        setFileStepHook({});
        setSyncHook({});
    }
    std::vector<std::string> take() { return std::exchange(steps_, {}); }

private:
    void add(const std::string& what, const fs::path& path)
    {
        const std::string step =
            what + " " + (path == folder_ ? "folder" : path.filename().string());
        if (steps_.empty() || steps_.back() != step) steps_.push_back(step);
    }

    fs::path folder_;
    std::vector<std::string> steps_;
};

using Steps = std::vector<std::string>;

// The live rows of the three tables as stored in the files.
std::vector<std::vector<StoredRow>> liveContents(const ScratchFolder& folder)
{
    return {liveRows(folder.file("SPISOK.DBF")), liveRows(folder.file("ALLEL.DBF")),
            liveRows(folder.file("FENOTIP.DBF"))};
}

void expectWhole(ArchiveFiles& archive, const TaskRecord& saved)
{
    ASSERT_TRUE(findTaskByName(archive.spisok, saved.name)) << saved.name.bytes();
    const std::optional<TaskRecord> loaded = loadTask(archive.tables());
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->alleleRows, saved.alleleRows) << saved.name.bytes();
    EXPECT_EQ(loaded->counts, saved.counts) << saved.name.bytes();
}

} // namespace

TEST(DurableArchive, EveryOperationFlushesItsFilesInOrderBeforeItReturns)
{
    ScratchFolder folder;
    ArchiveFiles archive(fs::path(folder.file("")));
    saveTask(archive.tables(), sampleTask("First", 3, 10));
    FileSteps steps(fs::path(folder.file("SPISOK.DBF")).parent_path());

    // Every row is on the disk, not yet live, before the allele and count rows are made live,
    // and they are on the disk before the task row is.
    ASSERT_EQ(saveTask(archive.tables(), sampleTask("Second", 3, 20)).outcome, SaveOutcome::saved);
    EXPECT_EQ(steps.take(),
              (Steps{"write ALLEL.DBF", "write FENOTIP.DBF", "write SPISOK.DBF", "sync ALLEL.DBF",
                     "sync FENOTIP.DBF", "sync SPISOK.DBF", "write ALLEL.DBF", "write FENOTIP.DBF",
                     "sync ALLEL.DBF", "sync FENOTIP.DBF", "write SPISOK.DBF", "sync SPISOK.DBF"}));

    // The task row is freed on the disk before its rows.
    ASSERT_TRUE(findTaskByName(archive.spisok, Cp1251Text::fromBytes("First")));
    deleteCurrentTask(archive.tables());
    EXPECT_EQ(steps.take(), (Steps{"write SPISOK.DBF", "sync SPISOK.DBF", "write ALLEL.DBF",
                                   "sync ALLEL.DBF", "write FENOTIP.DBF", "sync FENOTIP.DBF"}));

    DataSource list(archive.spisok);
    EXPECT_EQ(selectTasksByKey(archive.spisok, list, Cp1251Text::fromBytes("SEC")), 1);
    EXPECT_EQ(steps.take(), (Steps{"write SPISOK.DBF", "sync SPISOK.DBF"}));

    // The index: a whole new file flushed, renamed over the old one, and the folder flushed.
    archive.allel.flushIndex();
    EXPECT_EQ(steps.take(), (Steps{"write ALLEL.CDX.new", "sync ALLEL.CDX.new", "write ALLEL.CDX",
                                   "sync folder"}));
}

TEST(DurableArchive, AFailedFlushTakesTheSaveBackWithItsMessage)
{
    ScratchFolder folder;
    ArchiveFiles archive(fs::path(folder.file("")));
    const TaskRecord first = sampleTask("First", 3, 10);
    saveTask(archive.tables(), first);
    const auto before = liveContents(folder);

    const TaskRecord second = sampleTask("Second", 3, 20);
    for (const std::string failing : {"ALLEL.DBF", "FENOTIP.DBF", "SPISOK.DBF"}) {
        setSyncHook([&](const std::string& path) {
            return fs::path(path).filename() == failing ? EIO : 0;
        });
        try {
            saveTask(archive.tables(), second);
            ADD_FAILURE() << "saved while " << failing << " failed";
        } catch (const TableError& e) {
            EXPECT_EQ(std::string(e.what()), "Ошибка таблицы " + failing +
                                                 ": запись на диск не удалась (ошибка "
                                                 "ввода-вывода). Задача не записана в архив.");
        }
        setSyncHook({});
        EXPECT_EQ(liveContents(folder), before) << failing;
        EXPECT_FALSE(findTaskByName(archive.spisok, second.name)) << failing;
        EXPECT_EQ(archive.allel.filter(), "ot=true");
    }
    ASSERT_EQ(saveTask(archive.tables(), second).key, 9998);
    expectWhole(archive, second);
    expectWhole(archive, first);
}

TEST(DurableArchive, AFullDiskDuringASaveLeavesTheArchiveAsBefore)
{
    ScratchFolder folder;
    const fs::path path(folder.file(""));
    const TaskRecord first = sampleTask("First", 3, 10);
    const TaskRecord largest = sampleTask("Largest", 50, 1000);
    {
        ArchiveFiles archive(path);
        saveTask(archive.tables(), first);
    }
    const auto before = liveContents(folder);

    // A child limited to files of 16 KiB: ALLEL.DBF takes the 50 allele rows (14.4 KB), and
    // FENOTIP.DBF runs out of room among its 1275 count rows (24 bytes each), as on a full
    // disk. SIGXFSZ is ignored, so the write fails with EFBIG instead of ending the process.
    int pipeEnds[2];
    ASSERT_EQ(pipe(pipeEnds), 0);
    const pid_t child = fork();
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{16384, 16384};
        setrlimit(RLIMIT_FSIZE, &limit);
        std::string message = "saved";
        try {
            ArchiveFiles archive(path);
            saveTask(archive.tables(), largest);
        } catch (const TableError& e) {
            message = e.what();
        }
        (void)!write(pipeEnds[1], message.data(), message.size());
        _exit(0);
    }
    close(pipeEnds[1]);
    std::string message;
    char buffer[512];
    for (ssize_t n; (n = read(pipeEnds[0], buffer, sizeof buffer)) > 0;)
        message.append(buffer, static_cast<std::size_t>(n));
    close(pipeEnds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));

    EXPECT_EQ(message, "Ошибка таблицы FENOTIP.DBF: запись в файл не удалась (нет места для "
                       "файла: превышен допустимый размер). Задача не записана в архив.");
    EXPECT_EQ(liveContents(folder), before);
    // The failed append was cut back: the file ends with its last row and the end mark.
    const std::vector<std::uint8_t> fenotip = folder.read("FENOTIP.DBF");
    const DbfHeader header = parseDbfHeader(fenotip, fenotip.size(), "FENOTIP.DBF");
    EXPECT_EQ(fenotip.size(), header.headerLength + header.recordCount * header.recordLength + 1);
    EXPECT_EQ(fenotip.back(), dbfEndOfFile);

    ArchiveFiles archive(path);
    freeRowsWithoutTask(archive.spisok, archive.allel, archive.fenotip);
    EXPECT_EQ(liveContents(folder), before);
    ASSERT_EQ(saveTask(archive.tables(), largest).outcome, SaveOutcome::saved);
    expectWhole(archive, largest);
    expectWhole(archive, first);
}

TEST(DurableArchive, RowsLeftWithoutTheirTaskRowAreFreedOnOpenAndNoOtherRowIsTouched)
{
    ScratchFolder folder;
    const fs::path path(folder.file(""));
    const TaskRecord kept = sampleTask("Second", 3, 20);
    {
        ArchiveFiles archive(path);
        saveTask(archive.tables(), sampleTask("First", 3, 10)); // 9999
        saveTask(archive.tables(), kept);                       // 9998
        // A save of 9997 stopped before its task row, and a delete of 9999 stopped after its
        // task row was freed.
        writeReusingFreeRow(archive.allel, 9997, [](Table& row) {
            row.fieldByName("nomer").setAsInteger(1);
            row.fieldByName("allel").setAsString(Cp1251Text::fromBytes("X"));
        });
        writeReusingFreeRow(archive.fenotip, 9997, [](Table& row) {
            row.fieldByName("nomer").setAsInteger(1);
            row.fieldByName("golov").setAsInteger(5);
        });
        ASSERT_TRUE(findTaskByName(archive.spisok, Cp1251Text::fromBytes("First")));
        archive.spisok.edit();
        archive.spisok.fieldByName("ot").setAsBoolean(false);
        archive.spisok.post();
        // A free row carrying the live key 9998 stays free.
        archive.allel.append();
        archive.allel.fieldByName("index").setAsInteger(9998);
        archive.allel.fieldByName("allel").setAsString(Cp1251Text::fromBytes("Y"));
        archive.allel.fieldByName("ot").setAsBoolean(false);
        archive.allel.post();
    }
    const auto rowsOf9998 = [&](const char* table) {
        std::vector<StoredRow> rows;
        for (StoredRow& row : storedRows(folder.file(table)))
            if (row["INDEX"] == "9998") rows.push_back(row);
        return rows;
    };
    const std::vector<StoredRow> alleles = rowsOf9998("ALLEL.DBF");
    const std::vector<StoredRow> counts = rowsOf9998("FENOTIP.DBF");

    ArchiveFiles archive(path);
    archive.fenotip.setFilter("ot=false");
    freeRowsWithoutTask(archive.spisok, archive.allel, archive.fenotip);
    for (const char* table : {"ALLEL.DBF", "FENOTIP.DBF"})
        for (const StoredRow& row : liveRows(folder.file(table)))
            EXPECT_EQ(row.at("INDEX"), "9998") << table;
    EXPECT_EQ(rowsOf9998("ALLEL.DBF"), alleles);
    EXPECT_EQ(rowsOf9998("FENOTIP.DBF"), counts);
    EXPECT_EQ(liveRows(folder.file("ALLEL.DBF")).size(), 3u);
    EXPECT_EQ(archive.fenotip.filter(), "ot=false"); // each table keeps its filter
    EXPECT_FALSE(archive.fenotip.filtered());

    const TaskRecord next = sampleTask("Third", 3, 30);
    ASSERT_EQ(saveTask(archive.tables(), next).key, 9997);
    expectWhole(archive, next);
    expectWhole(archive, kept);
}
