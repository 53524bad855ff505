// Tables written by other software: every accepted version and layout reads with the right
// values in INDEX order; damaged files and files with other fields are refused with a
// message that names the file and the fault, and are left exactly as they were.
#include "platform/cp1251.h"
#include "tables/archive_schema.h"
#include "tables/dbf_format.h"
#include "tables/table.h"
#include "tables/table_error.h"
#include "tests/support/scratch_folder.h"
#include "tests/tables/handmade_dbf.h"

#include <gtest/gtest.h>

namespace {

const std::vector<HandField> allelFields = {
    {"INDEX", 'N', 6}, {"NOMER", 'N', 6}, {"ALLEL", 'C', 254}, {"OT", 'L', 1}};

// Records 1 to 3; in INDEX order they come as 1, 3, 2.
std::vector<HandRow> allelRows()
{
    return {{{"9998", "2", toCp1251("Аб Вг").bytes(), "T"}},
            {{"9999", "1", "A B", "T"}},
            {{"9998", "1", "C", "F"}}};
}

const std::vector<std::string> allelRowsInOrder = {"9998 2 Аб Вг True", "9998 1 C False",
                                                   "9999 1 A B True"};

// Every visible row as "INDEX NOMER ALLEL OT" in UTF-8, in walking order.
std::vector<std::string> walk(Table& table)
{
    std::vector<std::string> rows;
    for (table.first(); !table.eof(); table.next())
        rows.push_back(std::to_string(table.fieldByName("index").asInteger()) + " " +
                       table.fieldByName("Nomer").asString().bytes() + " " +
                       cp1251ToUtf8(table.fieldByName("ALLEL").asString()) + " " +
                       table.fieldByName("ot").asString().bytes());
    return rows;
}

// Opening must fail with exactly this message and leave the file byte for byte as it was,
// with no index written beside it.
void expectRefused(const std::vector<std::uint8_t>& file, const std::string& message)
{
    ScratchFolder folder;
    folder.write("ALLEL.DBF", file);
    Table table(folder.file("ALLEL.DBF"), allelSchema());
    try {
        table.open();
        ADD_FAILURE() << "opened; expected: " << message;
    } catch (const TableError& e) {
        EXPECT_EQ(std::string(e.what()), "Ошибка таблицы ALLEL.DBF: " + message + ".");
    }
    EXPECT_FALSE(table.active());
    EXPECT_EQ(folder.read("ALLEL.DBF"), file);
    EXPECT_FALSE(folder.exists("ALLEL.CDX"));
}

} // namespace

TEST(DbfReading, EveryVersionAndLayoutGivesTheSameRowsInIndexOrder)
{
    using Offsets = HandLayout::Offsets;
    for (std::uint8_t version : {0x03, 0x30, 0x31, 0xF5, 0x83, 0x8B})
        for (Offsets offsets :
             {Offsets::Declared, Offsets::Zero, Offsets::Addresses, Offsets::Reversed})
            for (std::size_t after : {0, 1, 263})
                for (bool endOfFile : {true, false}) {
                    SCOPED_TRACE(testing::Message()
                                 << "version " << int(version) << ", offsets " << int(offsets)
                                 << ", bytes after 0x0D " << after << ", EOF " << endOfFile);
                    ScratchFolder folder;
                    HandLayout layout{version, 0xC9, after, offsets, endOfFile};
                    folder.write("ALLEL.DBF", handmadeDbf(allelFields, allelRows(), layout));
                    Table table(folder.file("ALLEL.DBF"), allelSchema());
                    table.open();
                    EXPECT_EQ(walk(table), allelRowsInOrder);
                }
}

TEST(DbfReading, OtherFieldOrderWidthsAndTypesAreReadAsTheyAre)
{
    // Fields in another order, other widths, NOMER as F with decimals, code page mark 0.
    const std::vector<HandField> fields = {
        {"OT", 'L', 1}, {"ALLEL", 'C', 20}, {"NOMER", 'F', 9, 2}, {"INDEX", 'N', 10}};
    const std::vector<HandRow> rows = {{{"t", toCp1251("Ёж").bytes(), "2.00", "-5"}},
                                       {{"?", "x", "1.50", "12"}},
                                       {{"F", "y", "", ""}}};
    ScratchFolder folder;
    folder.write("ALLEL.DBF", handmadeDbf(fields, rows, {0x03, 0x00}));
    Table table(folder.file("ALLEL.DBF"), allelSchema());
    table.open();
    // Empty INDEX counts as 0; NOMER 1.50 reads as the number 1.5 and rounds to 2.
    EXPECT_EQ(walk(table),
              (std::vector<std::string>{"-5 2 Ёж True", "0  y False", "12 1.5 x False"}));
    table.first();
    table.next();
    table.next();
    EXPECT_EQ(table.fieldByName("nomer").asInteger(), 2);
    EXPECT_EQ(table.fieldByName("nomer").asFloat(), 1.5);
    EXPECT_FALSE(table.fieldByName("ot").asBoolean()); // "?" is empty
}

TEST(DbfReading, DeletedRecordsAreNeverShown)
{
    std::vector<HandRow> rows = allelRows();
    rows[0].deleted = true;
    ScratchFolder folder;
    folder.write("ALLEL.DBF", handmadeDbf(allelFields, rows));
    Table table(folder.file("ALLEL.DBF"), allelSchema());
    table.open();
    EXPECT_EQ(walk(table), (std::vector<std::string>{"9998 1 C False", "9999 1 A B True"}));
}

TEST(DbfReading, DamagedFilesAreRefusedWithAClearMessage)
{
    const std::vector<std::uint8_t> good = handmadeDbf(allelFields, allelRows());
    const std::size_t end = 32 + 32 * allelFields.size(); // the 0x0D

    expectRefused({good.begin(), good.begin() + 20},
                  "файл поврежден: заголовок обрезан (20 байт из 32)");
    expectRefused({good.begin(), good.begin() + 100},
                  "файл поврежден: заголовок обрезан (100 байт из 161)");

    // A spoilt record before a live row: not what an interrupted append leaves.
    std::vector<std::uint8_t> file = good;
    std::fill_n(file.begin() + 161, 268, 0);
    expectRefused(file, "файл поврежден: запись 1 испорчена, а после нее есть действующие записи");

    file = good;
    file[32 + 32 + 11] = 'X'; // NOMER's type
    expectRefused(file, "поле «NOMER» имеет неизвестный тип «X»");

    file = good;
    file[end] = 0x00;
    expectRefused(file, "файл поврежден: нет признака конца описаний полей (0x0D)");

    file = good;
    file[0] = 0x04;
    expectRefused(file, "неизвестный формат таблицы (версия 0x04)");

    file = good;
    file[29] = 0x65;
    expectRefused(file, "кодовая страница 0x65 не поддерживается (нужна Windows-1251, 0xC9)");

    file = good;
    file[32 + 16] = 0; // INDEX of width 0
    expectRefused(file, "файл поврежден: недопустимая ширина поля «INDEX» (0)");

    std::vector<HandRow> rows = allelRows();
    rows[1].values[0] = "99x9";
    expectRefused(handmadeDbf(allelFields, rows),
                  "файл поврежден: в записи 2 поле INDEX содержит не число");
}

TEST(DbfReading, FieldsOtherThanTheTablesAreRefused)
{
    const auto rowsFor = [](std::size_t fields) {
        return std::vector<HandRow>{{std::vector<std::string>(fields, "1")}};
    };
    expectRefused(
        handmadeDbf({{"INDEX", 'N', 6}, {"NOMER", 'N', 6}, {"ALLEL", 'C', 254}}, rowsFor(3)),
        "поля таблицы не те, что нужны: нет поля OT");
    expectRefused(
        handmadeDbf({{"INDEX", 'C', 6}, {"NOMER", 'N', 6}, {"ALLEL", 'C', 254}, {"OT", 'L', 1}},
                    rowsFor(4)),
        "поля таблицы не те, что нужны: поле INDEX должно быть числовым (N или F), а "
        "не типа C");
    expectRefused(handmadeDbf({{"INDEX", 'N', 6},
                               {"NOMER", 'N', 6},
                               {"ALLEL", 'C', 254},
                               {"OT", 'L', 1},
                               {"EXTRA", 'C', 3}},
                              rowsFor(5)),
                  "поля таблицы не те, что нужны: лишнее поле «EXTRA»");
    expectRefused(
        handmadeDbf({{"INDEX", 'N', 6}, {"INDEX", 'N', 6}, {"ALLEL", 'C', 254}, {"OT", 'L', 1}},
                    rowsFor(4)),
        "поле «INDEX» описано дважды");
}

TEST(DbfReading, NewTablesStoreEachFieldsOffsetInItsDescriptor)
{
    // Bytes 12–15 of a descriptor: the field's place in the record, after the deletion byte.
    const std::vector<std::uint8_t> file = newDbfFile(newTableFields(allelSchema()), {2026, 12, 8});
    std::uint32_t expected = 1;
    for (std::size_t i = 0; i < allelFields.size(); ++i) {
        const std::uint8_t* d = file.data() + 32 + 32 * i;
        EXPECT_EQ(d[12] | d[13] << 8 | d[14] << 16 | d[15] << 24, expected) << i;
        expected += static_cast<std::uint32_t>(d[16]);
    }
    EXPECT_EQ(expected, 1u + 6 + 6 + 254 + 1);
}
