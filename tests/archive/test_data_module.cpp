// The data module over real files in the working folder the window tests run in: the tables
// created at start-up, the opening order, the current task's codes, the index rewritten when
// the program is idle, and a damaged table stopping the module's creation.
#include "archive/gui/TDataModule4.h"
#include "tables/cdx_format.h"
#include "tables/table_error.h"
#include "tests/support/scratch_folder.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

std::vector<std::uint8_t> fileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace

TEST(DataModule, CreationOpensAllelAndFenotipAndActivationOpensSpisok)
{
    EXPECT_TRUE(DataModule4->allel.active());
    EXPECT_TRUE(DataModule4->fenotip.active());
    EXPECT_TRUE(std::filesystem::exists("ALLEL.DBF"));
    EXPECT_TRUE(std::filesystem::exists("FENOTIP.DBF"));
    EXPECT_EQ(DataModule4->currentTaskCode("KNOP1"), 0); // SPISOK not open yet

    DataModule4->openTables();
    EXPECT_TRUE(DataModule4->spisok.active());
    EXPECT_TRUE(std::filesystem::exists("SPISOK.DBF"));
    DataModule4->openTables(); // opening open tables changes nothing
    EXPECT_TRUE(DataModule4->spisok.active());
    EXPECT_EQ(&DataModule4->dsspisok.dataSet(), &DataModule4->spisok);
}

TEST(DataModule, TheCurrentTaskGivesItsCodes)
{
    DataModule4->openTables();
    Table& spisok = DataModule4->spisok;
    EXPECT_EQ(DataModule4->currentTaskCode("KNOP1"), 0); // no row
    spisok.append();
    spisok.fieldByName("index").setAsInteger(9999);
    spisok.fieldByName("knop1").setAsInteger(2);
    spisok.fieldByName("knop2").setAsInteger(3);
    spisok.fieldByName("ot").setAsBoolean(true);
    spisok.post();
    EXPECT_EQ(DataModule4->currentTaskCode("KNOP1"), 2);
    EXPECT_EQ(DataModule4->currentTaskCode("knop2"), 3);
}

TEST(DataModule, TheIndexIsRewrittenWhenTheProgramIsIdleAgain)
{
    DataModule4->openTables();
    Table& fenotip = DataModule4->fenotip;
    for (int nomer = 1; nomer <= 3; ++nomer) {
        fenotip.append();
        fenotip.fieldByName("index").setAsInteger(9990 - nomer);
        fenotip.fieldByName("nomer").setAsInteger(nomer);
        fenotip.post();
    }
    EXPECT_TRUE(fenotip.indexPending()); // the handler has not returned yet
    QCoreApplication::processEvents();
    EXPECT_FALSE(fenotip.indexPending());
    const std::optional<std::vector<CdxEntry>> entries = readCdxIndexTag(fileBytes("FENOTIP.CDX"));
    ASSERT_TRUE(entries);
    std::vector<std::uint32_t> records;
    for (const CdxEntry& e : *entries)
        records.push_back(e.record);
    EXPECT_EQ(records, (std::vector<std::uint32_t>{3, 2, 1})); // keys 9987, 9988, 9989
}

TEST(DataModule, ADamagedTableStopsTheCreationAndIsLeftAsItWas)
{
    ScratchFolder folder;
    const std::vector<std::uint8_t> damaged(20, 0x03);
    folder.write("ALLEL.DBF", damaged);
    const std::filesystem::path working = std::filesystem::current_path();
    std::filesystem::current_path(folder.file(""));
    try {
        TDataModule4 module;
        ADD_FAILURE() << "created";
    } catch (const TableError& e) {
        EXPECT_EQ(std::string(e.what()),
                  "Ошибка таблицы ALLEL.DBF: файл поврежден: заголовок обрезан (20 байт из 32).");
    }
    std::filesystem::current_path(working);
    EXPECT_EQ(folder.read("ALLEL.DBF"), damaged);
    EXPECT_FALSE(folder.exists("FENOTIP.DBF")); // ALLEL.DBF is opened first
}
