// Tables of counts imported into the archive as labelled tasks of one system (alleles A, B, -
// in codominance): CSV and TSV in their encodings, an xlsx workbook written by openpyxl, an ods
// workbook zipped here; the tables read back by the engine and by python3-dbfread; every bad
// table refused at its row and column with the archive's files unchanged byte for byte.
#include "archive/count_table_import.h"
#include "import/delimited_text.h"
#include "platform/cp1251.h"
#include "tests/archive/sample_archive.h"
#include "tests/support/scratch_folder.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <zip.h>

#include <cstdio>
#include <map>

namespace fs = std::filesystem;

namespace {

const char* const dbfreadScript = R"(
import json, sys, dbfread
def live(table):
    return [r for r in dbfread.DBF(sys.argv[1] + "/" + table + ".DBF", char_decode_errors="strict")
            if r["OT"]]
counts, labels, tasks = {}, {}, {}
for r in live("FENOTIP"):
    counts.setdefault(r["INDEX"], []).append([r["NOMER"], int(r["GOLOV"])])
for r in live("METKI"):
    mark = (r["INDEX"], r["NAME"], r["DATA"], r["TIME"])
    if mark not in labels or labels[mark]["NOMER"] < r["NOMER"]:
        labels[mark] = r
for t in live("SPISOK"):
    own = labels.get((t["INDEX"], t["NAME"], t["DATA"], t["TIME"]), {"POPUL": "", "SISTEMA": ""})
    tasks[t["NAME"]] = [own["POPUL"], own["SISTEMA"], sorted(counts.get(t["INDEX"], []))]
print(json.dumps(tasks))
)";

const char* const xlsxScript = R"(
import sys, openpyxl
book = openpyxl.Workbook()
counts = book.active
counts.title = "Численности"
counts.append(["Популяция", "B A", "-", "A", "B"])
counts.append(["Ферма №1", 10, 20.0, 5, None])
counts.append(["Ферма №2", 1, 2, 3, 4])
book.create_sheet("Заметки").append(["Не таблица", "X"])
book.active = 1
book.save(sys.argv[1])
)";

// An OpenDocument spreadsheet: a header, a thousand empty rows, a population with a note, a
// repeated cell and a last count, the sheet's empty rest, and a second table not read.
std::string odsContent(const std::string& lastCount)
{
    return R"(<?xml version="1.0" encoding="UTF-8"?>
<office:document-content xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0"
 xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0"
 xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0" office:version="1.2">
<office:body><office:spreadsheet><table:table table:name="Лист1">
<table:table-row><table:table-cell office:value-type="string"><text:p>Популяция</text:p>
</table:table-cell><table:table-cell office:value-type="string"><text:p>A</text:p>
</table:table-cell><table:table-cell office:value-type="string"><text:p>B</text:p>
</table:table-cell><table:table-cell office:value-type="string"><text:p>-</text:p>
</table:table-cell></table:table-row>
<table:table-row table:number-rows-repeated="1000"><table:table-cell
 table:number-columns-repeated="4"/></table:table-row>
<table:table-row><table:table-cell office:value-type="string"><office:annotation><text:p>заметка
</text:p></office:annotation><text:p>Аул<text:s text:c="2"/>1</text:p></table:table-cell>
<table:table-cell table:number-columns-repeated="2" office:value-type="float" office:value="4">
<text:p>4,00</text:p></table:table-cell><table:table-cell office:value-type="float"
 office:value=")" +
           lastCount +
           R"("/></table:table-row><table:table-row table:number-rows-repeated="1047000">
<table:table-cell table:number-columns-repeated="1024"/></table:table-row></table:table>
<table:table table:name="Лист2"><table:table-row><table:table-cell office:value-type="string">
<text:p>Другое</text:p></table:table-cell></table:table-row></table:table>
</office:spreadsheet></office:body></office:document-content>)";
}

void writeOds(const std::string& path, const std::string& content)
{
    zip_t* ods = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, nullptr);
    const std::string mimetype = "application/vnd.oasis.opendocument.spreadsheet";
    for (const auto& [name, text] : {std::pair{"mimetype", &mimetype}, {"content.xml", &content}})
        zip_file_add(ods, name, zip_source_buffer(ods, text->data(), text->size(), 0), 0);
    ASSERT_EQ(zip_close(ods), 0);
}

std::string output(const std::string& command)
{
    std::string text;
    FILE* pipe = popen(command.c_str(), "r");
    char buffer[4096];
    for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        text.append(buffer, got);
    EXPECT_EQ(pclose(pipe), 0) << command;
    return text;
}

using Files = std::map<std::string, std::vector<std::uint8_t>>;

class ImportCountTable : public ::testing::Test
{
protected:
    void SetUp() override
    {
        fs::create_directories(folder.file("in"));
        base = sampleTask("", 3, 0);
        base.counts.clear();
        std::array<std::string, maxAlleles> cells{"A", "B", "-"};
        checkAlleleList(encodeAlleleRows(cells), *task);
        generatePhenotypes(*task, InheritanceMode::codominance);
        TaskRecord existing = base;
        existing.name = toCp1251("Стадо 9 (ABO)");
        saveTask(archive.tables(), existing);
    }

    std::string input(const std::string& name, const std::string& bytes) const
    {
        const std::string path = folder.file("in/" + name);
        folder.write("in/" + name, {bytes.begin(), bytes.end()});
        return path;
    }

    CountTableImport importFile(const std::string& path, DataSource* list = nullptr)
    {
        return importCountTable(archive.tables(), path, *task, base, toCp1251("ABO"), list);
    }

    // Name → (population, system, counts by phenotype name), as the engine reads the archive.
    std::map<std::string, std::tuple<std::string, std::string, std::map<std::string, int>>>
    archived()
    {
        std::map<std::string, std::tuple<std::string, std::string, std::map<std::string, int>>> all;
        for (std::size_t row = 0; row < archive.spisok.rowCount(); ++row) {
            archive.spisok.moveTo(row);
            const TaskRecord record = *loadTask(archive.tables());
            auto& [population, system, counts] = all[cp1251ToUtf8(record.name)];
            population = cp1251ToUtf8(record.labels.population);
            system = cp1251ToUtf8(record.labels.system);
            for (const PhenotypeCount& count : record.counts)
                counts[cp1251ToUtf8(task->phenotypeNames[count.number].trimmed())] = count.count;
        }
        return all;
    }

    Files files() const
    {
        Files all;
        for (const auto& entry : fs::directory_iterator(folder.file("")))
            if (entry.is_regular_file())
                all[entry.path().filename().string()] =
                    folder.read(entry.path().filename().string());
        return all;
    }

    ScratchFolder folder;
    ArchiveFiles archive{folder.file("")};
    std::unique_ptr<TaskState> task = std::make_unique<TaskState>();
    TaskRecord base;
};

using Counts = std::map<std::string, int>;
using Task = std::tuple<std::string, std::string, Counts>;

} // namespace

TEST_F(ImportCountTable, CsvWithQuotedCyrillicNamesReadAlsoByDbfread)
{
    DataSource list(archive.spisok);
    int told = 0;
    list.setListener([&](TableEvent) { ++told; });
    const CountTableImport result =
        importFile(input("herds.csv", "\"Популяция\";\"B\";\"B A\";-\n"
                                      "\"Стадо \"\"Заря\"\"; Тверь\";12;7;30\n"
                                      "Стадо 2;0;5;\n"),
                   &list);
    ASSERT_FALSE(result.problem) << tableProblemText(*result.problem);
    EXPECT_TRUE(list.enabled());
    EXPECT_EQ(told, 2); // only when the list followed SPISOK again, not at every row written
    ASSERT_EQ(result.keys.size(), 2u);
    EXPECT_LT(result.keys[0], result.keys[1]); // listed in the table's order, newest first
    const auto all = archived();
    EXPECT_EQ(all.at("Стадо \"Заря\"; Тверь (ABO)"),
              (Task{"Стадо \"Заря\"; Тверь", "ABO", {{"B", 12}, {"A B", 7}, {"-", 30}}}));
    EXPECT_EQ(all.at("Стадо 2 (ABO)"), (Task{"Стадо 2", "ABO", {{"B", 0}, {"A B", 5}}}));

    nlohmann::json expected = nlohmann::json::object();
    for (std::size_t row = 0; row < archive.spisok.rowCount(); ++row) {
        archive.spisok.moveTo(row);
        const TaskRecord record = *loadTask(archive.tables());
        nlohmann::json counts = nlohmann::json::array();
        for (const PhenotypeCount& count : record.counts)
            counts.push_back({count.number, count.count});
        expected[cp1251ToUtf8(record.name)] = {cp1251ToUtf8(record.labels.population),
                                               cp1251ToUtf8(record.labels.system), counts};
    }
    const std::string script = input("read.py", dbfreadScript);
    EXPECT_EQ(nlohmann::json::parse(output(VELIMOR_PYTHON " " + script + " " + folder.file(""))),
              expected);
}

TEST_F(ImportCountTable, TsvAndTheOtherEncodings)
{
    const std::string cp1251 = toCp1251("Популяция,A\nДеревня,5\n").bytes();
    const std::string utf16 = std::string("\xFF\xFE", 2) + std::string("\x25\x04\t\0B\0\n\0", 8) +
                              std::string("\x25\x04\t\0"
                                          "6\0",
                                          6); // "Х\tB\nХ\t6"
    EXPECT_EQ(textAsUtf8(cp1251), "Популяция,A\nДеревня,5\n");
    EXPECT_EQ(textAsUtf8(utf16), "Х\tB\nХ\t6");
    for (const auto& [name, text] :
         {std::pair{"bom.tsv", std::string("\xEF\xBB\xBFПопуляция\tA\tA B\r\nСело\t3\t4\r\n")},
          {"cp1251.csv", cp1251},
          {"utf16.txt", utf16}}) {
        const CountTableImport result = importFile(input(name, text));
        EXPECT_FALSE(result.problem) << name << ": " << tableProblemText(*result.problem);
    }
    const auto all = archived();
    EXPECT_EQ(all.at("Село (ABO)"), (Task{"Село", "ABO", {{"A", 3}, {"A B", 4}}}));
    EXPECT_EQ(all.at("Деревня (ABO)"), (Task{"Деревня", "ABO", {{"A", 5}}}));
    EXPECT_EQ(all.at("Х (ABO)"), (Task{"Х", "ABO", {{"B", 6}}}));
}

TEST_F(ImportCountTable, TheFirstSheetOfAnXlsxWrittenByOpenpyxlAndOfAnOdsWorkbook)
{
    const std::string xlsx = folder.file("in/book.xlsx");
    output(VELIMOR_PYTHON " " + input("write.py", xlsxScript) + " " + xlsx);
    const CountTableImport fromXlsx = importFile(xlsx);
    ASSERT_FALSE(fromXlsx.problem) << tableProblemText(*fromXlsx.problem);
    const std::string ods = folder.file("in/book.ods");
    writeOds(ods, odsContent("7"));
    const CountTableImport fromOds = importFile(ods);
    ASSERT_FALSE(fromOds.problem) << tableProblemText(*fromOds.problem);

    const auto all = archived();
    EXPECT_EQ(all.at("Ферма №1 (ABO)"),
              (Task{"Ферма №1", "ABO", {{"A B", 10}, {"-", 20}, {"A", 5}}}));
    EXPECT_EQ(all.at("Ферма №2 (ABO)"),
              (Task{"Ферма №2", "ABO", {{"A B", 1}, {"-", 2}, {"A", 3}, {"B", 4}}}));
    EXPECT_EQ(all.at("Аул  1 (ABO)"), (Task{"Аул  1", "ABO", {{"A", 4}, {"B", 4}, {"-", 7}}}));
}

TEST_F(ImportCountTable, EveryBadTableIsRefusedAtItsRowAndColumnWritingNothing)
{
    writeOds(folder.file("in/bad.ods"), odsContent("2.5"));
    const std::string countRule = " - не целое число от 0 до 19999999";
    const std::vector<std::pair<std::string, std::string>> cases = {
        {input("1.csv", "P;A;C\nX;1;2\n"), "строка 1, столбец 3 (C): аллели не дают фенотипа «C»"},
        {input("2.csv", "P;A;A B\nX;1;2.5\n"),
         "строка 2, столбец 3 (C): поголовье фенотипа «A B» (2.5)" + countRule},
        {input("3.csv", "P;A\nX;20000000\n"),
         "строка 2, столбец 2 (B): поголовье фенотипа «A» (20000000)" + countRule},
        {input("4.csv", "P;A\nX;1\n;2\n"), "строка 3, столбец 1 (A): нет названия популяции"},
        {input("5.csv", "P;A\nСтадо 1;1\n стадо 1;2\n"),
         "строка 3, столбец 1 (A): популяция «стадо 1» уже есть в строке 2"},
        {input("6.csv", "P;A\nСтадо 9;1\n"),
         "строка 2, столбец 1 (A): задача «Стадо 9 (ABO)» уже есть в архиве"},
        {input("7.csv", "P;A B;B A\nX;1;2\n"),
         "строка 1, столбец 3 (C): фенотип «A B» уже указан в столбце 2 (B)"},
        {input("8.csv", "P;A\nX;1;5\n"),
         "строка 2, столбец 3 (C): значение «5» стоит в столбце без фенотипа в строке 1"},
        {input("9.csv", "P;A\nX;\n"), "строка 2, столбец 2 (B): у популяции «X» нет численностей"},
        {input("10.csv", "P;A\n\"X;1\n"), "строка 2, столбец 1 (A): кавычка не закрыта"},
        {input("11.csv", "P;A\n"),
         "строка 2, столбец 1 (A): под строкой фенотипов нет ни одной популяции"},
        {input("12.csv", "P;A\nX☺;1\n"),
         "строка 2, столбец 1 (A): символа «☺» нет в кодировке Windows-1251"},
        {input("13.csv", "P;A\n" + std::string(36, 'x') + ";1\n"),
         "строка 2, столбец 1 (A): название задачи «" + std::string(36, 'x') +
             " (ABO)» длиннее 40 знаков"},
        {folder.file("in/bad.ods"),
         "строка 1002, столбец 4 (D): поголовье фенотипа «-» (2.5)" + countRule},
        {input("old.xls", "\xD0\xCF\x11\xE0 the rest"),
         "«old.xls» - книга старого формата xls; сохраните ее в формате xlsx или ods"},
        {input("torn.xlsx", "PK\x03\x04 torn"),
         "«torn.xlsx» не читается как книга: архив zip поврежден"},
        {folder.file("in/missing.csv"), "файл «missing.csv» не читается"},
    };
    const Files before = files();
    for (const auto& [path, message] : cases) {
        const CountTableImport result = importFile(path);
        ASSERT_TRUE(result.problem) << path;
        EXPECT_TRUE(tableProblemText(*result.problem).starts_with(message))
            << tableProblemText(*result.problem);
        EXPECT_TRUE(result.keys.empty());
        EXPECT_TRUE(files() == before) << path;
    }
}
