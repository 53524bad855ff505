// The operations of the table component on the archive tables: opening creates a missing
// table empty, rows are walked in INDEX order, append/edit/clear/post, fields in every type,
// the writes in the file, mending an interrupted append, locking, and the bound list's data
// source.
#include "platform/clock.h"
#include "platform/cp1251.h"
#include "tables/archive_schema.h"
#include "tables/cdx_format.h"
#include "tables/data_source.h"
#include "tables/dbf_format.h"
#include "tables/table.h"
#include "tables/table_error.h"
#include "tests/support/scratch_folder.h"
#include "tests/tables/handmade_dbf.h"
#include "tests/tables/table_rows.h"

#include <gtest/gtest.h>

#include <functional>
#include <sys/wait.h>
#include <unistd.h>

namespace {

std::string describeFields(const std::vector<DbfField>& fields)
{
    std::string text;
    for (const DbfField& f : fields)
        text += f.name + " " + f.type + std::to_string(f.width) + "," + std::to_string(f.decimals) +
                " ";
    return text;
}

DbfHeader headerOf(const std::vector<std::uint8_t>& file)
{
    return parseDbfHeader(file, file.size(), "T.DBF");
}

std::string errorOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const TableError& e) {
        return e.what();
    }
    return "no error";
}

} // namespace

TEST(Table, OpeningCreatesAMissingTableEmptyWithItsFields)
{
    setClockForTests([] { return LocalDateTime{2031, 7, 9, 12, 0, 0}; });
    ScratchFolder folder;
    struct Expected
    {
        std::string file;
        const TableSchema& schema;
        std::string fields;
    };
    const std::vector<Expected> tables = {
        {"SPISOK", spisokSchema(),
         "OTBOR L1,0 TIME C5,0 DATA D8,0 NAME C40,0 KOLALL N6,0 KOLTEST N6,0 GOLOV C10,0 "
         "KOLFEN N6,0 KNOP1 N6,0 KNOP2 N6,0 INDEX N6,0 OT L1,0 "},
        {"ALLEL.DBF", allelSchema(), "INDEX N6,0 NOMER N6,0 ALLEL C254,0 OT L1,0 "},
        {"FENOTIP.DBF", fenotipSchema(), "INDEX N6,0 NOMER N6,0 GOLOV N10,0 OT L1,0 "},
    };
    for (const Expected& expected : tables) {
        Table table(folder.file(expected.file), expected.schema);
        table.open();
        table.open(); // no effect
        EXPECT_TRUE(table.active());
        EXPECT_TRUE(table.isEmpty());
        EXPECT_TRUE(table.eof());
        table.close();
        table.close(); // no effect
        EXPECT_FALSE(table.active());

        const std::string dbf = table.fileName();
        const std::vector<std::uint8_t> file = folder.read(dbf);
        const DbfHeader header = headerOf(file);
        EXPECT_EQ(describeFields(header.fields), expected.fields) << dbf;
        EXPECT_EQ(header.version, 0x03);
        EXPECT_EQ(header.flags, 0x01);
        EXPECT_EQ(header.codePage, 0xC9);
        EXPECT_EQ(header.recordCount, 0u);
        EXPECT_EQ(file[1], 131); // 2031 - 1900
        EXPECT_EQ(file.back(), 0x1A);
        const std::string cdx = dbf.substr(0, dbf.size() - 3) + "CDX";
        EXPECT_EQ(readCdxIndexTag(folder.read(cdx)), std::vector<CdxEntry>{}) << cdx;
    }
    EXPECT_TRUE(folder.exists("SPISOK.DBF")); // the engine adds the extension
    setClockForTests({});
}

TEST(Table, RowsAreWalkedInIndexOrderEqualKeysByRecordNumber)
{
    ScratchFolder folder;
    Table allel(folder.file("ALLEL.DBF"), allelSchema());
    allel.open();
    const int keys[] = {5, 3, 5, 1, 3};
    for (int record = 1; record <= 5; ++record)
        appendAllel(allel, keys[record - 1], record, "", true);
    EXPECT_EQ(column(allel, "index"), (std::vector<int>{1, 3, 3, 5, 5}));
    EXPECT_EQ(column(allel, "nomer"), (std::vector<int>{4, 2, 5, 1, 3}));

    allel.first();
    EXPECT_FALSE(allel.eof());
    for (int step = 0; step < 4; ++step)
        allel.next();
    EXPECT_FALSE(allel.eof()); // on the last row
    EXPECT_EQ(allel.fieldByName("nomer").asInteger(), 3);
    allel.next();
    EXPECT_TRUE(allel.eof()); // stepped past it
    allel.next();
    EXPECT_TRUE(allel.eof());

    // A changed key moves the row; the order holds after closing and opening again.
    allel.first(); // INDEX 1
    allel.edit();
    allel.fieldByName("index").setAsInteger(4);
    allel.post();
    EXPECT_EQ(allel.fieldByName("nomer").asInteger(), 4); // the current row follows it
    EXPECT_EQ(column(allel, "nomer"), (std::vector<int>{2, 5, 4, 1, 3}));
    allel.close();
    allel.open();
    EXPECT_EQ(column(allel, "nomer"), (std::vector<int>{2, 5, 4, 1, 3}));
}

TEST(Table, EditAppendClearAndPost)
{
    ScratchFolder folder;
    Table spisok(folder.file("SPISOK"), spisokSchema());
    spisok.open();
    appendTask(spisok, 9999, true, "первая");
    appendTask(spisok, 9998, true, "вторая");
    appendTask(spisok, 9997, true, "третья");

    // Edit on a view with no row inserts a new blank row; edit keeps insert mode.
    spisok.setFilter("ot=false");
    spisok.setFiltered(true);
    EXPECT_TRUE(spisok.isEmpty());
    spisok.edit();
    EXPECT_EQ(spisok.state(), TableState::Insert);
    spisok.edit();
    EXPECT_EQ(spisok.state(), TableState::Insert);
    spisok.fieldByName("ot").setAsBoolean(false);
    spisok.post();
    EXPECT_EQ(spisok.state(), TableState::Browse);
    EXPECT_EQ(column(spisok, "index"), (std::vector<int>{0})); // the blank free row
    spisok.setFiltered(false);
    EXPECT_EQ(spisok.rowCount(), 4u);

    // A post that takes the row out of the filter moves to the next visible row.
    spisok.setFilter("ot=true");
    spisok.setFiltered(true);
    spisok.first();
    spisok.next(); // 9998
    spisok.edit();
    spisok.fieldByName("ot").setAsBoolean(false);
    spisok.post();
    EXPECT_EQ(spisok.fieldByName("index").asInteger(), 9999);
    EXPECT_EQ(column(spisok, "index"), (std::vector<int>{9997, 9999}));
    // ... or to the last one when none follows.
    spisok.first();
    spisok.next(); // 9999, the last
    spisok.edit();
    spisok.fieldByName("ot").setAsBoolean(false);
    spisok.post();
    EXPECT_EQ(spisok.fieldByName("index").asInteger(), 9997);
    EXPECT_FALSE(spisok.eof());

    // Clear fields empties every field of the row being edited.
    spisok.first();
    spisok.edit();
    spisok.clearFields();
    spisok.fieldByName("index").setAsInteger(9997);
    spisok.fieldByName("ot").setAsBoolean(true);
    spisok.post();
    EXPECT_EQ(spisok.fieldByName("name").asString().bytes(), "");
    EXPECT_TRUE(spisok.fieldByName("name").isNull());
    EXPECT_TRUE(spisok.fieldByName("otbor").isNull());

    // Moving off a changed row posts it; moving off an unchanged new row drops it.
    spisok.edit();
    spisok.fieldByName("knop1").setAsInteger(2);
    spisok.first();
    EXPECT_EQ(spisok.state(), TableState::Browse);
    EXPECT_EQ(spisok.fieldByName("knop1").asInteger(), 2);
    spisok.append();
    spisok.first();
    spisok.setFiltered(false);
    EXPECT_EQ(spisok.rowCount(), 4u);

    EXPECT_EQ(errorOf([&] { spisok.fieldByName("ot").setAsBoolean(true); }),
              "Ошибка таблицы SPISOK.DBF: строка не в режиме правки или вставки.");
    EXPECT_EQ(errorOf([&] { spisok.clearFields(); }),
              "Ошибка таблицы SPISOK.DBF: строка не в режиме правки или вставки.");
    spisok.post(); // nothing to post: no effect
    spisok.close();
    EXPECT_EQ(errorOf([&] { spisok.first(); }), "Ошибка таблицы SPISOK.DBF: таблица закрыта.");
    EXPECT_EQ(errorOf([&] { spisok.fieldByName("ot"); }),
              "Ошибка таблицы SPISOK.DBF: таблица закрыта.");
}

TEST(Table, FieldsAreReadAndWrittenInEveryType)
{
    ScratchFolder folder;
    Table spisok(folder.file("SPISOK"), spisokSchema());
    spisok.open();

    // No current row: every field reads empty.
    EXPECT_EQ(spisok.fieldByName("index").asInteger(), 0);
    EXPECT_EQ(spisok.fieldByName("name").asString().bytes(), "");
    EXPECT_FALSE(spisok.fieldByName("ot").asBoolean());
    EXPECT_TRUE(spisok.fieldByName("data").asDate().empty());

    const std::string name45 = toCp1251("Задача номер один: сорок пять символов ровно!").bytes();
    ASSERT_EQ(name45.size(), 45u);
    spisok.append();
    spisok.fieldByName("NAME").setAsString(Cp1251Text::fromBytes(name45));
    spisok.fieldByName("Index").setAsInteger(9999);
    spisok.fieldByName("kolall").setAsInteger(-32768);
    spisok.fieldByName("ot").setAsBoolean(true);
    spisok.fieldByName("otbor").setAsString(Cp1251Text::fromBytes("F"));
    spisok.fieldByName("time").setAsString(Cp1251Text::fromBytes("9.5"));
    spisok.fieldByName("data").setAsString(
        Cp1251Text::fromBytes("5.3.2024")); // the short date format, dd.MM.yyyy
    spisok.post();
    spisok.close();
    spisok.open();

    EXPECT_EQ(spisok.fieldByName("name").asString().bytes(), name45.substr(0, 40));
    EXPECT_EQ(spisok.fieldByName("index").asString().bytes(), "9999");
    EXPECT_EQ(spisok.fieldByName("kolall").asInteger(), -32768);
    EXPECT_TRUE(spisok.fieldByName("ot").asBoolean());
    EXPECT_EQ(spisok.fieldByName("ot").asString().bytes(), "True");
    EXPECT_FALSE(spisok.fieldByName("otbor").asBoolean());
    EXPECT_FALSE(spisok.fieldByName("otbor").isNull());
    EXPECT_EQ(spisok.fieldByName("time").asString().bytes(), "9.5");
    EXPECT_EQ(spisok.fieldByName("data").asDate(), (CalendarDate{2024, 3, 5}));
    EXPECT_EQ(spisok.fieldByName("data").asString().bytes(), "05.03.2024");
    EXPECT_EQ(spisok.fieldByName("knop2").asInteger(), 0); // never written
    EXPECT_EQ(spisok.fieldByName("knop2").asString().bytes(), "");

    spisok.edit();
    // Leading spaces are kept, trailing ones are padding.
    spisok.fieldByName("name").setAsString(Cp1251Text::fromBytes("  x  "));
    spisok.fieldByName("data").setAsDate({2000, 2, 29});
    spisok.post();
    EXPECT_EQ(spisok.fieldByName("name").asString().bytes(), "  x");
    EXPECT_EQ(spisok.fieldByName("DATA").asString().bytes(), "29.02.2000");

    spisok.edit();
    EXPECT_EQ(errorOf([&] { spisok.fieldByName("knop1").setAsInteger(1234567); }),
              "Ошибка таблицы SPISOK.DBF: поле KNOP1: число 1234567 не помещается в поле "
              "ширины 6.");
    EXPECT_EQ(errorOf([&] {
                  spisok.fieldByName("data").setAsString(Cp1251Text::fromBytes("31.02.2024"));
              }),
              "Ошибка таблицы SPISOK.DBF: поле DATA: «31.02.2024» не дата в формате "
              "dd.MM.yyyy.");
    EXPECT_EQ(errorOf([&] { spisok.fieldByName("kolfen").setAsString(toCp1251("пять")); }),
              "Ошибка таблицы SPISOK.DBF: поле KOLFEN: «пять» не число.");
    EXPECT_EQ(errorOf([&] { spisok.fieldByName("name").asBoolean(); }),
              "Ошибка таблицы SPISOK.DBF: поле NAME: поле не логическое.");
    EXPECT_EQ(errorOf([&] {
                  spisok.fieldByName("ot").setAsDate({2024, 1, 1});
              }),
              "Ошибка таблицы SPISOK.DBF: поле OT: поле не дата.");
    EXPECT_EQ(errorOf([&] { spisok.fieldByName("golovy"); }),
              "Ошибка таблицы SPISOK.DBF: нет поля «golovy».");
    spisok.fieldByName("data").setAsString(Cp1251Text::fromBytes(" "));
    spisok.post();
    EXPECT_TRUE(spisok.fieldByName("data").asDate().empty());

    // The count of FENOTIP.DBF: an integer in, its digits out.
    Table fenotip(folder.file("FENOTIP.DBF"), fenotipSchema());
    fenotip.open();
    fenotip.append();
    fenotip.fieldByName("golov").setAsInteger(19999999);
    fenotip.post();
    EXPECT_EQ(fenotip.fieldByName("golov").asString().bytes(), "19999999");
    EXPECT_EQ(fenotip.fieldByName("golov").asInteger(), 19999999);
}

TEST(Table, PostsWriteTheRecordInPlaceAndTheCountInTheHeader)
{
    setClockForTests([] { return LocalDateTime{2031, 7, 9, 12, 0, 0}; });
    ScratchFolder folder;
    {
        Table allel(folder.file("ALLEL.DBF"), allelSchema());
        allel.open();
        appendAllel(allel, 9999, 1, "Аа", true);
        appendAllel(allel, 9999, 2, "Бб", true);
        const std::vector<std::uint8_t> file = folder.read("ALLEL.DBF");
        EXPECT_EQ(headerOf(file).recordCount, 2u);
        EXPECT_EQ(file.size(), 161u + 2 * 268 + 1); // header, two records, end of file
        EXPECT_EQ(file.back(), 0x1A);

        allel.first();
        allel.edit();
        allel.fieldByName("ot").setAsBoolean(false);
        allel.post();
        const std::vector<std::uint8_t> edited = folder.read("ALLEL.DBF");
        EXPECT_EQ(edited.size(), file.size());
        EXPECT_EQ(edited[161 + 267], 'F'); // OT of record 1, written in place
    }
    Table again(folder.file("ALLEL.DBF"), allelSchema());
    again.open();
    EXPECT_EQ(column(again, "nomer"), (std::vector<int>{1, 2}));
    again.first();
    EXPECT_FALSE(again.fieldByName("ot").asBoolean());
    EXPECT_EQ(cp1251ToUtf8(again.fieldByName("allel").asString()), "Аа");
    setClockForTests({});
}

TEST(Table, WhatAnInterruptedAppendLeavesIsMendedOnOpeningAndAGoodTableIsLeftAlone)
{
    const std::vector<HandField> fields = {
        {"INDEX", 'N', 6}, {"NOMER", 'N', 6}, {"GOLOV", 'N', 10}, {"OT", 'L', 1}};
    const std::vector<std::uint8_t> good =
        handmadeDbf(fields, {{{"9999", "1", "10", "T"}}, {{"9999", "2", "20", "T"}}});
    const std::vector<std::uint8_t> third = handmadeDbf(
        fields,
        {{{"9999", "1", "10", "T"}}, {{"9999", "2", "20", "T"}}, {{"9999", "3", "30", "F"}}});
    const std::size_t rowsEnd = good.size() - 1; // 161 + 2 × 24
    std::vector<std::uint8_t> counted3 = good;
    counted3[4] = 3;
    std::vector<std::uint8_t> torn(third.begin(), third.begin() + 161 + 2 * 24 + 10);
    std::vector<std::uint8_t> zeroTail = counted3;
    zeroTail.resize(zeroTail.size() + 4096);
    std::vector<std::uint8_t> pastCount = third; // a free row appended, its count not yet
    pastCount[4] = 2;
    const struct
    {
        std::vector<std::uint8_t> file;
        std::vector<int> counts;
        std::string mended;
    } cases[] = {
        {good, {10, 20}, ""},
        {counted3, {10, 20}, "число строк в заголовке исправлено с 3 на 2"},
        {torn,
         {10, 20},
         "отброшены недописанные байты в конце файла: 10; число строк в заголовке "
         "исправлено с 3 на 2"},
        {zeroTail,
         {10, 20},
         "отброшены недописанные байты в конце файла: 4096; число строк в "
         "заголовке исправлено с 3 на 2"},
        {pastCount, {10, 20, 30}, "число строк в заголовке исправлено с 2 на 3"},
    };
    for (const auto& c : cases) {
        ScratchFolder folder;
        folder.write("FENOTIP.DBF", c.file);
        {
            Table reader(folder.file("FENOTIP.DBF"), fenotipSchema());
            reader.openForReading(); // reads the same rows and writes nothing
            EXPECT_EQ(column(reader, "golov"), c.counts);
            EXPECT_EQ(errorOf([&] { reader.append(); }),
                      "Ошибка таблицы FENOTIP.DBF: таблица открыта только для чтения.");
        }
        EXPECT_EQ(folder.read("FENOTIP.DBF"), c.file);
        EXPECT_FALSE(folder.exists("FENOTIP.CDX"));

        Table fenotip(folder.file("FENOTIP.DBF"), fenotipSchema());
        fenotip.open();
        EXPECT_EQ(column(fenotip, "golov"), c.counts);
        const std::optional<std::string> message = fenotip.takeRepairMessage();
        if (c.mended.empty()) {
            EXPECT_FALSE(message);
            fenotip.close();
            EXPECT_EQ(folder.read("FENOTIP.DBF"), c.file); // not one byte changed
            continue;
        }
        EXPECT_EQ(message.value_or(""),
                  "Таблица FENOTIP.DBF исправлена после прерванной записи (сбой питания или "
                  "аварийное завершение программы): " +
                      c.mended +
                      ". Сохраненные задачи не затронуты: отброшено только то, что не было "
                      "дописано.");
        const std::vector<std::uint8_t> mended = folder.read("FENOTIP.DBF");
        EXPECT_EQ(headerOf(mended).recordCount, c.counts.size());
        EXPECT_EQ(mended.size(), 161 + 24 * c.counts.size() + 1);
        EXPECT_EQ(mended.back(), dbfEndOfFile);
        EXPECT_TRUE(std::equal(good.begin() + 32, good.begin() + rowsEnd, mended.begin() + 32));
        fenotip.close();
        fenotip.open();
        EXPECT_FALSE(fenotip.takeRepairMessage());
        fenotip.close();
        EXPECT_EQ(folder.read("FENOTIP.DBF"), mended);
    }
}

TEST(Table, AppendingToAVisualFoxProTableKeepsItsLayout)
{
    const std::vector<HandField> fields = {
        {"INDEX", 'N', 6}, {"NOMER", 'N', 6}, {"GOLOV", 'N', 10}, {"OT", 'L', 1}};
    ScratchFolder folder;
    folder.write("FENOTIP.DBF",
                 handmadeDbf(fields, {{{"9999", "1", "10", "T"}}},
                             {0x30, 0xC9, 263, HandLayout::Offsets::Declared, false}));
    {
        Table fenotip(folder.file("FENOTIP.DBF"), fenotipSchema());
        fenotip.open();
        fenotip.append();
        fenotip.fieldByName("index").setAsInteger(9998);
        fenotip.fieldByName("golov").setAsInteger(7);
        fenotip.post();
    }
    const std::vector<std::uint8_t> file = folder.read("FENOTIP.DBF");
    const DbfHeader header = headerOf(file);
    EXPECT_EQ(header.version, 0x30);
    EXPECT_EQ(header.headerLength, 32u + 4 * 32 + 1 + 263);
    EXPECT_EQ(header.recordCount, 2u);
    EXPECT_EQ(file.size(), header.headerLength + 2 * header.recordLength + 1);
    Table again(folder.file("FENOTIP.DBF"), fenotipSchema());
    again.open();
    EXPECT_EQ(column(again, "golov"), (std::vector<int>{7, 10}));
}

TEST(Table, TheIndexFileFollowsTheRows)
{
    ScratchFolder folder;
    Table allel(folder.file("ALLEL.DBF"), allelSchema());
    allel.open();
    for (int record = 1; record <= 300; ++record)
        appendAllel(allel, 10000 - (record * 7919) % 301, record, "", true);
    EXPECT_TRUE(allel.indexPending());
    allel.flushIndex();
    EXPECT_FALSE(allel.indexPending());
    EXPECT_FALSE(folder.exists("ALLEL.CDX.new"));

    const auto cdxRecords = [&] {
        std::vector<int> records;
        const std::optional<std::vector<CdxEntry>> entries =
            readCdxIndexTag(folder.read("ALLEL.CDX"));
        for (const CdxEntry& e : entries.value())
            records.push_back(static_cast<int>(e.record));
        return records;
    };
    EXPECT_EQ(cdxRecords(), column(allel, "nomer")); // NOMER holds the record number

    // A post that changes no key leaves the index as it is.
    allel.first();
    allel.edit();
    allel.fieldByName("ot").setAsBoolean(false);
    allel.post();
    EXPECT_FALSE(allel.indexPending());
    // A changed key makes it stale until the next flush; closing flushes too.
    allel.edit();
    allel.fieldByName("index").setAsInteger(1);
    allel.post();
    EXPECT_TRUE(allel.indexPending());
    allel.close();
    allel.setFiltered(false);
    allel.open();
    EXPECT_EQ(cdxRecords(), column(allel, "nomer"));

    // Opening rebuilds an index that is missing, damaged or left from other rows.
    const std::vector<std::uint8_t> good = folder.read("ALLEL.CDX");
    allel.close();
    std::filesystem::remove(folder.file("ALLEL.CDX"));
    allel.open();
    EXPECT_EQ(folder.read("ALLEL.CDX"), good);
    allel.close();
    folder.write("ALLEL.CDX", {good.begin(), good.begin() + 1536});
    allel.open();
    EXPECT_EQ(folder.read("ALLEL.CDX"), good);
    allel.close();
    const std::vector<CdxEntry> stale = {{numericIndexKey(9999), 1}};
    folder.write("ALLEL.CDX", buildCdx(stale));
    allel.open();
    EXPECT_EQ(folder.read("ALLEL.CDX"), good);
}

TEST(Table, ReadersReadBesideTheWriterBetweenItsWritesAndASecondWriterIsRefused)
{
    ScratchFolder folder;
    Table first(folder.file("ALLEL.DBF"), allelSchema());
    first.open();
    appendAllel(first, 9999, 1, "A", true);
    Table second(folder.file("ALLEL.DBF"), allelSchema());
    EXPECT_EQ(errorOf([&] { second.open(); }),
              "Ошибка таблицы ALLEL.DBF: файл занят другой программой.");
    Table reader(folder.file("ALLEL.DBF"), allelSchema());
    reader.openForReading();
    EXPECT_EQ(column(reader, "nomer"), (std::vector<int>{1}));
    reader.close();
    first.close();
    second.open();
    EXPECT_TRUE(second.active());
    second.close();

    // A writer in another process holds its exclusive lock across two posts; a reader that
    // comes meanwhile waits, and reads both rows or neither.
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t child = fork();
    if (child == 0) {
        Table writer(folder.file("ALLEL.DBF"), allelSchema());
        writer.open();
        writer.beginWriting();
        (void)!write(ready[1], "x", 1);
        usleep(200000);
        appendAllel(writer, 9999, 2, "B", true);
        appendAllel(writer, 9999, 3, "C", true);
        writer.endWriting();
        _exit(0);
    }
    char signal = 0;
    ASSERT_EQ(read(ready[0], &signal, 1), 1);
    reader.openForReading();
    EXPECT_EQ(column(reader, "nomer"), (std::vector<int>{1, 2, 3}));
    int status = 0;
    waitpid(child, &status, 0);

    Table nowhere(folder.file("missing/FENOTIP.DBF"), fenotipSchema());
    EXPECT_EQ(errorOf([&] { nowhere.open(); }),
              "Ошибка таблицы FENOTIP.DBF: файла нет, и создать его не удалось (файл или папка "
              "не найдены).");
}

TEST(Table, AFileNamedInAnotherCaseIsFound)
{
    ScratchFolder folder;
    {
        Table lower(folder.file("spisok.dbf"), spisokSchema());
        lower.open();
        appendTask(lower, 9999, true, "x");
    }
    Table spisok(folder.file("SPISOK"), spisokSchema());
    spisok.open();
    EXPECT_EQ(column(spisok, "index"), (std::vector<int>{9999}));
    EXPECT_FALSE(folder.exists("SPISOK.DBF"));
}

TEST(Table, TheListFollowsTheTableOnlyWhileItsSourceIsEnabled)
{
    ScratchFolder folder;
    Table spisok(folder.file("SPISOK"), spisokSchema());
    DataSource dsspisok(spisok);
    std::vector<TableEvent> heard;
    dsspisok.setListener([&](TableEvent e) { heard.push_back(e); });
    spisok.open();
    EXPECT_EQ(heard, std::vector<TableEvent>{TableEvent::Reset});
    appendTask(spisok, 9999, true, "a");
    appendTask(spisok, 9998, true, "b");
    EXPECT_EQ(heard.back(), TableEvent::DataChanged);

    dsspisok.setEnabled(false);
    heard.clear();
    spisok.first();
    spisok.next();
    spisok.setFilter("ot=false");
    EXPECT_TRUE(heard.empty());
    dsspisok.setEnabled(true);
    EXPECT_EQ(heard, std::vector<TableEvent>{TableEvent::Reset});
    spisok.setFilter("ot=true");
    spisok.first();
    EXPECT_EQ(heard.back(), TableEvent::Scrolled);

    // The list reads the visible rows by position and moves the current row.
    ASSERT_EQ(spisok.rowCount(), 2u);
    EXPECT_EQ(spisok.currentRow(), 0u);
    EXPECT_EQ(spisok.fieldAt(1, "name").asString().bytes(), "a");
    spisok.moveTo(1);
    EXPECT_EQ(spisok.fieldByName("index").asInteger(), 9999);
    EXPECT_EQ(errorOf([&] { spisok.moveTo(2); }), "Ошибка таблицы SPISOK.DBF: строки 3 нет.");
}
