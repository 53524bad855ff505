// The labels of tasks in METKI.DBF: saved, read, changed and freed with their tasks, never
// taken by another task under a reused key, kept whole when a flush fails, and carried by
// backup and restore (an older backup without them restores none).
#include "archive/backup_restore.h"
#include "archive/file_sums.h"
#include "archive/task_labels.h"
#include "archive/task_list.h"
#include "platform/cp1251.h"
#include "platform/file_sync.h"
#include "tables/table_error.h"
#include "tests/archive/sample_archive.h"
#include "tests/support/scratch_folder.h"

#include <gtest/gtest.h>

#include <cerrno>

namespace {

TaskLabels labels(const char* population, const char* system)
{
    return {toCp1251(population), toCp1251(system)};
}

TaskRecord labelled(const std::string& name, const TaskLabels& text)
{
    TaskRecord task = sampleTask(name, 3, 10);
    task.labels = text;
    return task;
}

std::size_t liveLabelRows(Table& table)
{
    table.setFilter("ot=true");
    table.setFiltered(true);
    return table.rowCount();
}

using Labels = std::map<int, TaskLabels>;

} // namespace

TEST(TaskLabels, SavedReadChangedAndFreedWithTheirTask)
{
    ScratchFolder folder;
    ArchiveFiles archive(folder.file(""));
    const int herd = saveTask(archive.tables(), labelled("Herd", labels("Стадо 1", "ABO"))).key;
    const int plain = saveTask(archive.tables(), sampleTask("Plain", 3, 20)).key;
    EXPECT_EQ(readTaskLabels(archive.spisok, archive.labels),
              (Labels{{herd, labels("Стадо 1", "ABO")}}));
    ASSERT_TRUE(findTaskByName(archive.spisok, toCp1251("herd")));
    EXPECT_EQ(loadTask(archive.tables())->labels, labels("Стадо 1", "ABO"));

    setTaskLabels(archive.spisok, archive.labels,
                  {{herd, labels("Стадо 2", "ABO")}, {plain, labels("", "MNSs")}, {1, {}}});
    EXPECT_EQ(readTaskLabels(archive.spisok, archive.labels),
              (Labels{{herd, labels("Стадо 2", "ABO")}, {plain, labels("", "MNSs")}}));
    EXPECT_EQ(liveLabelRows(archive.labels), 2u); // the old row of Herd freed

    setTaskLabels(archive.spisok, archive.labels, {{plain, {}}});
    ASSERT_TRUE(findTaskByName(archive.spisok, toCp1251("Herd")));
    ASSERT_TRUE(deleteCurrentTask(archive.tables()));
    EXPECT_EQ(liveLabelRows(archive.labels), 0u);
    EXPECT_EQ(labelProblem(Cp1251Text::fromBytes(std::string(41, 'x')), "название системы"),
              "название системы длиннее 40 знаков");
}

TEST(TaskLabels, AReusedKeyNeverTakesTheLabelOfTheTaskThatHadIt)
{
    ScratchFolder folder;
    ArchiveFiles archive(folder.file(""));
    saveTask(archive.tables(), sampleTask("First", 3, 10));
    const int key = saveTask(archive.tables(), labelled("Old", labels("Стадо", "ABO"))).key;
    // A program that does not know METKI.DBF deletes the task and saves another: same key.
    const ArchiveTables unaware{archive.spisok, archive.allel, archive.fenotip};
    ASSERT_TRUE(findTaskByName(archive.spisok, toCp1251("Old")));
    ASSERT_TRUE(deleteCurrentTask(unaware));
    ASSERT_EQ(saveTask(unaware, sampleTask("New", 3, 10)).key, key);
    EXPECT_TRUE(readTaskLabels(archive.spisok, archive.labels).empty());
    EXPECT_EQ(liveLabelRows(archive.labels), 1u);
    freeStaleLabels(archive.spisok, archive.labels);
    EXPECT_EQ(liveLabelRows(archive.labels), 0u);

    // A save of this program frees a live row left under its new key before writing its own.
    setTaskLabels(archive.spisok, archive.labels, {{key, labels("Стадо", "MN")}});
    ASSERT_TRUE(findTaskByName(archive.spisok, toCp1251("New")));
    ASSERT_TRUE(deleteCurrentTask(unaware));
    ASSERT_EQ(saveTask(archive.tables(), labelled("Newer", labels("", "Kell"))).key, key);
    EXPECT_EQ(readTaskLabels(archive.spisok, archive.labels), (Labels{{key, labels("", "Kell")}}));
    EXPECT_EQ(liveLabelRows(archive.labels), 1u);
}

TEST(TaskLabels, AFailedFlushLeavesEachTaskWithItsOldLabelsOrItsNewOnes)
{
    ScratchFolder folder;
    ArchiveFiles archive(folder.file(""));
    const int key = saveTask(archive.tables(), labelled("Herd", labels("Стадо", "ABO"))).key;
    const auto failingFlush = [](int which) {
        setSyncHook([which, count = 0](const std::string& path) mutable {
            return path.ends_with("METKI.DBF") && ++count == which ? EIO : 0;
        });
    };
    // The first flush (the new row not yet live): nothing changes.
    failingFlush(1);
    try {
        setTaskLabels(archive.spisok, archive.labels, {{key, labels("Стадо", "MN")}});
        ADD_FAILURE() << "no error";
    } catch (const TableError& error) {
        EXPECT_TRUE(std::string(error.what()).ends_with("Метки задач не изменены."));
    }
    EXPECT_EQ(readTaskLabels(archive.spisok, archive.labels),
              (Labels{{key, labels("Стадо", "ABO")}}));
    // The third (freeing the old row, which the new one outranks): the new labels are in force,
    // and no error is reported.
    failingFlush(3);
    setTaskLabels(archive.spisok, archive.labels, {{key, labels("Стадо", "MN")}});
    setSyncHook({});
    EXPECT_EQ(readTaskLabels(archive.spisok, archive.labels),
              (Labels{{key, labels("Стадо", "MN")}}));
    freeStaleLabels(archive.spisok, archive.labels);
    EXPECT_EQ(liveLabelRows(archive.labels), 1u);
    EXPECT_EQ(readTaskLabels(archive.spisok, archive.labels),
              (Labels{{key, labels("Стадо", "MN")}}));
}

TEST(TaskLabels, BackupAndRestoreCarryThemAndAnOlderBackupRestoresNone)
{
    ScratchFolder folder;
    const std::filesystem::path work = folder.file("work");
    const std::filesystem::path backup = folder.file("E/arhivpog");
    std::filesystem::create_directories(work);
    std::filesystem::create_directories(folder.file("E"));
    setenv("VELIMOR_DRIVES", folder.file("").c_str(), 1);
    auto archive = std::make_unique<ArchiveFiles>(work);
    const ArchiveTablesControl control{[&] { archive.reset(); },
                                       [&] { archive = std::make_unique<ArchiveFiles>(work); }};
    const int key = saveTask(archive->tables(), labelled("Herd", labels("Стадо", "ABO"))).key;
    ASSERT_EQ(backupArchive('E', work.string(), control).back(), "Резервная копия создана!");
    ASSERT_TRUE(std::filesystem::exists(backup / "METKI.DBF"));

    setTaskLabels(archive->spisok, archive->labels, {{key, labels("Другое", "MN")}});
    ASSERT_EQ(restoreArchive('E', work.string(), control).back(), "Данные восстановлены!");
    EXPECT_EQ(readTaskLabels(archive->spisok, archive->labels),
              (Labels{{key, labels("Стадо", "ABO")}}));

    // A backup of a version before labels: no METKI.DBF, nor in its list of files.
    std::filesystem::remove(backup / "METKI.DBF");
    std::vector<FileSum> listed = *readFileSums((backup / ".velimor-manifest").string());
    std::erase_if(listed, [](const FileSum& sum) { return sum.name == "METKI.DBF"; });
    ASSERT_TRUE(writeFileSums((backup / ".velimor-manifest").string(), listed));
    ASSERT_EQ(restoreArchive('E', work.string(), control).back(), "Данные восстановлены!");
    EXPECT_TRUE(readTaskLabels(archive->spisok, archive->labels).empty());
    EXPECT_EQ(liveLabelRows(archive->labels), 0u);
    ASSERT_TRUE(findTaskByName(archive->spisok, toCp1251("Herd")));
    unsetenv("VELIMOR_DRIVES");
}
