// The archive's rules over real table files: the key of a new task, free rows reused lowest
// INDEX first before any row is appended, and free rows never counted as a task's rows.
#include "archive/archive_rules.h"
#include "platform/cp1251.h"
#include "tables/archive_schema.h"
#include "tables/table.h"
#include "tests/support/scratch_folder.h"
#include "tests/tables/table_rows.h"

#include <gtest/gtest.h>

namespace {

struct Archive
{
    ScratchFolder folder;
    Table spisok{folder.file("SPISOK"), spisokSchema()};
    Table allel{folder.file("ALLEL.DBF"), allelSchema()};

    Archive()
    {
        spisok.open();
        allel.open();
    }

    // Saves a task as saving does: its key, its row, then one row per allele.
    int save(const std::string& name, const std::vector<std::string>& alleles)
    {
        const int key = newTaskKey(spisok);
        writeReusingFreeRow(spisok, key, [&](Table& t) {
            t.clearFields();
            t.fieldByName("name").setAsString(toCp1251(name));
        });
        spisok.setFilter("ot=true");
        int nomer = 0;
        for (const std::string& allele : alleles)
            writeReusingFreeRow(allel, key, [&](Table& t) {
                t.fieldByName("nomer").setAsInteger(++nomer);
                t.fieldByName("allel").setAsString(toCp1251(allele));
            });
        allel.setFilter("ot=true");
        return key;
    }

    // Deletes a task as deleting does: its SPISOK row, then its allele rows.
    void remove(int key)
    {
        spisok.setFiltered(false);
        for (spisok.first(); !spisok.eof(); spisok.next())
            if (spisok.fieldByName("index").asInteger() == key) {
                spisok.edit();
                spisok.fieldByName("ot").setAsBoolean(false);
                spisok.post();
            }
        freeTaskRows(allel, key);
    }

    // The alleles of a task as opening reads them: live rows with the task's key.
    std::vector<std::string> allelesOf(int key)
    {
        std::vector<std::string> names;
        allel.setFilter("(ot=true)");
        allel.setFiltered(true);
        for (allel.first(); !allel.eof(); allel.next())
            if (allel.fieldByName("index").asInteger() == key)
                names.push_back(cp1251ToUtf8(allel.fieldByName("allel").asString()));
        return names;
    }

    std::size_t records(Table& table)
    {
        table.setFiltered(false);
        return table.rowCount();
    }
};

} // namespace

TEST(ArchiveRules, TaskKeysCountDownFromTheSmallestLiveKey)
{
    Archive archive;
    EXPECT_EQ(newTaskKey(archive.spisok), 9999); // no row at all
    EXPECT_EQ(archive.save("A", {"a"}), 9999);
    EXPECT_EQ(archive.save("B", {"b"}), 9998);
    EXPECT_EQ(archive.save("C", {"c"}), 9997);
    archive.remove(9998);
    EXPECT_EQ(archive.save("D", {"d"}), 9996); // not 9998
    archive.remove(9996);
    EXPECT_EQ(archive.save("E", {"e"}), 9996); // the newest task's key is given again
    for (int key : {9999, 9997, 9996})
        archive.remove(key);
    EXPECT_EQ(newTaskKey(archive.spisok), 9999); // only free rows left
    EXPECT_FALSE(archive.spisok.filtered());     // the walk leaves filtering off
}

TEST(ArchiveRules, FreeRowsAreReusedLowestKeyFirstBeforeAnyAppend)
{
    Archive archive;
    archive.save("A", {"a1", "a2"});       // 9999
    archive.save("B", {"b1", "b2", "b3"}); // 9998
    archive.save("C", {"c1"});             // 9997
    for (int key : {9999, 9998, 9997})
        archive.remove(key);
    ASSERT_EQ(archive.records(archive.allel), 6u);

    // Four alleles reuse the free rows of 9997 (c1, record 6), then of 9998 (b1 to b3,
    // records 3 to 5), in INDEX order; a1 and a2 (9999) stay free.
    EXPECT_EQ(archive.save("D", {"d1", "d2", "d3", "d4"}), 9999);
    EXPECT_EQ(archive.records(archive.spisok), 3u);
    EXPECT_EQ(archive.records(archive.allel), 6u);
    std::vector<std::string> rows;
    for (archive.allel.first(); !archive.allel.eof(); archive.allel.next())
        rows.push_back(archive.allel.fieldByName("index").asString().bytes() + " " +
                       archive.allel.fieldByName("ot").asString().bytes() + " " +
                       archive.allel.fieldByName("allel").asString().bytes());
    EXPECT_EQ(rows, (std::vector<std::string>{"9999 False a1", "9999 False a2", "9999 True d2",
                                              "9999 True d3", "9999 True d4", "9999 True d1"}));

    // Three more alleles take the last two free rows, then one row is appended.
    EXPECT_EQ(archive.save("E", {"e1", "e2", "e3"}), 9998);
    EXPECT_EQ(archive.records(archive.allel), 7u);
    EXPECT_EQ(archive.allelesOf(9998), (std::vector<std::string>{"e1", "e2", "e3"}));
}

TEST(ArchiveRules, AFreeRowWithALiveTasksKeyIsNeverShownInThatTask)
{
    Archive archive;
    archive.save("A", {"a1", "a2", "a3"}); // 9999
    archive.remove(9999);
    // The new task gets 9999 again but has two alleles: one free row keeps INDEX 9999.
    EXPECT_EQ(archive.save("Б", {"б1", "б2"}), 9999);
    EXPECT_EQ(archive.allelesOf(9999), (std::vector<std::string>{"б1", "б2"}));
    archive.allel.setFiltered(false);
    int rowsWithKey = 0;
    for (archive.allel.first(); !archive.allel.eof(); archive.allel.next())
        rowsWithKey += archive.allel.fieldByName("index").asInteger() == 9999;
    EXPECT_EQ(rowsWithKey, 3);
}

TEST(ArchiveRules, AReusedTaskRowHasItsOldFieldsCleared)
{
    Archive archive;
    archive.save("A", {});
    archive.spisok.setFiltered(false);
    archive.spisok.first();
    archive.spisok.edit();
    archive.spisok.fieldByName("knop1").setAsInteger(2);
    archive.spisok.fieldByName("otbor").setAsBoolean(true);
    archive.spisok.post();
    archive.remove(9999);
    archive.save("B", {});
    archive.spisok.setFiltered(false);
    archive.spisok.first();
    EXPECT_EQ(archive.spisok.rowCount(), 1u);
    EXPECT_EQ(archive.spisok.fieldByName("name").asString().bytes(), "B");
    EXPECT_TRUE(archive.spisok.fieldByName("knop1").isNull());
    EXPECT_TRUE(archive.spisok.fieldByName("otbor").isNull());
    EXPECT_TRUE(archive.spisok.fieldByName("ot").asBoolean());
}
