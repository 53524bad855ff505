// Task records over archive tables in a scratch folder: every task of a larger archive read
// back with exactly its own live rows, whatever keys the free rows carry, and tables changed
// by other software refused where they would put a row out of place.
#include "archive/archived_task.h"
#include "archive/task_archive.h"
#include "archive/task_list.h"
#include "tables/archive_schema.h"
#include "tables/table_error.h"
#include "tests/archive/sample_archive.h"
#include "tests/support/scratch_folder.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

// Task n: n + 2 allele rows at positions n, n + 1, ... (blank rows before them) and a count
// of 100 n + r on every second phenotype r.
TaskRecord taskNumber(int n)
{
    TaskRecord record;
    record.name = Cp1251Text::fromBytes("Task " + std::to_string(n));
    record.mode = 1 + n % 2;
    record.criterion = 1 + n % 3;
    record.phenotypeCount = 40;
    for (int k = n; k < n + n % 5 + 2; ++k)
        record.alleleRows[k - 1] = Cp1251Text::fromBytes("T" + std::to_string(k));
    for (int r = 1; r <= record.phenotypeCount; r += 2)
        record.counts.push_back({r, 100 * n + r});
    return record;
}

} // namespace

TEST(TaskArchive, EveryTaskReadsBackWithExactlyItsOwnRows)
{
    ScratchFolder folder;
    ArchiveFiles archive(folder.file(""));
    // Twelve tasks; deleting tasks 3, 7 and 12 and saving four more leaves free rows under
    // keys of live tasks and live rows of one task apart from each other.
    for (int n = 1; n <= 12; ++n)
        ASSERT_EQ(saveTask(archive.tables(), taskNumber(n)).outcome, SaveOutcome::saved);
    for (int n : {12, 7, 3}) {
        ASSERT_TRUE(
            findTaskByName(archive.spisok, Cp1251Text::fromBytes("task " + std::to_string(n))));
        ASSERT_TRUE(deleteCurrentTask(archive.tables()));
    }
    for (int n = 13; n <= 16; ++n)
        ASSERT_EQ(saveTask(archive.tables(), taskNumber(n)).outcome, SaveOutcome::saved);

    for (int n = 1; n <= 16; ++n) {
        const bool live = n != 3 && n != 7 && n != 12;
        ASSERT_EQ(findTaskByName(archive.spisok,
                                 Cp1251Text::fromBytes("  TASK " + std::to_string(n) + " ")),
                  live)
            << n;
        if (!live) continue;
        const std::optional<TaskRecord> loaded = loadTask(archive.tables());
        ASSERT_TRUE(loaded);
        const TaskRecord expected = taskNumber(n);
        EXPECT_EQ(loaded->name, expected.name);
        EXPECT_EQ(loaded->mode, expected.mode) << n;
        EXPECT_EQ(loaded->criterion, expected.criterion) << n;
        EXPECT_EQ(loaded->alleleRows, expected.alleleRows) << n;
        EXPECT_EQ(loaded->counts, expected.counts) << n;
    }
    // 12 was the newest: its key 9988 was handed out again, to task 13.
    ASSERT_TRUE(findTaskByName(archive.spisok, Cp1251Text::fromBytes("Task 13")));
    EXPECT_EQ(archive.spisok.fieldByName("index").asInteger(), 9988);
}

// The comparison window reads the ticked tasks this way: a list showing no task is a problem,
// not a record that is not there.
TEST(TaskArchive, TheCurrentTaskLaidOutForTheCalculation)
{
    ScratchFolder folder;
    ArchiveFiles archive(folder.file(""));
    auto task = std::make_unique<TaskState>();
    EXPECT_EQ(currentArchivedTask(archive.tables(), *task).problem,
              "в списке архива нет выбранной задачи");
    ASSERT_EQ(saveTask(archive.tables(), sampleTask("Herd", 3, 10)).outcome, SaveOutcome::saved);
    const ArchivedTask archived = currentArchivedTask(archive.tables(), *task);
    ASSERT_FALSE(archived.problem) << *archived.problem;
    EXPECT_EQ(archived.criterion, 2);
    EXPECT_EQ(task->phenotypeCount, 4);
    EXPECT_EQ(archived.countTexts.back().bytes(), "14");
    EXPECT_EQ(archived.totalText.bytes(), "50");
}

TEST(TaskArchive, ARowPositionOutsideItsRangeIsRefusedAsDamage)
{
    ScratchFolder folder;
    ArchiveFiles archive(folder.file(""));
    saveTask(archive.tables(), taskNumber(1));
    archive.fenotip.first();
    archive.fenotip.edit();
    archive.fenotip.fieldByName("nomer").setAsInteger(1501);
    archive.fenotip.post();
    try {
        loadTask(archive.tables());
        ADD_FAILURE() << "loaded";
    } catch (const TableError& e) {
        EXPECT_EQ(std::string(e.what()), "Ошибка таблицы FENOTIP.DBF: файл поврежден: номер "
                                         "строки задачи NOMER = 1501 вне границ 1..1500.");
    }

    archive.fenotip.first();
    archive.fenotip.edit();
    archive.fenotip.fieldByName("nomer").setAsInteger(1);
    archive.fenotip.post();
    archive.allel.first();
    archive.allel.edit();
    archive.allel.fieldByName("nomer").setAsInteger(0);
    archive.allel.post();
    EXPECT_THROW(loadTask(archive.tables()), TableError);
}
