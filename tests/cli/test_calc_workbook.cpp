// velimor-calc's --xlsx: the option, the workbook beside the report, the texts it is made
// of, and a workbook that cannot be written.
#include "cli/calc_options.h"
#include "export/report_workbook.h"
#include "platform/cp1251.h"
#include "tests/support/scratch_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

namespace fs = std::filesystem;

namespace {
const char* const taskText = "mode codominance\nallele A\nallele B\n36 A\n48 A B\n16 B\n";

CalcOptions optionsWritingTo(const std::string& workbook)
{
    const ParsedOptions parsed = parseCalcOptions({"--seed", "7", "--xlsx", workbook, "task.txt"});
    EXPECT_EQ(parsed.problem, "");
    return parsed.options;
}
} // namespace

TEST(CalcWorkbook, TheOptionNeedsAFileName)
{
    EXPECT_EQ(parseCalcOptions({"task.txt", "--xlsx"}).problem, "после --xlsx ожидается имя файла");
    EXPECT_EQ(optionsWritingTo("out.xlsx").workbookFile, "out.xlsx");
}

TEST(CalcWorkbook, WrittenBesideTheReportOrReportedWhenItCannotBe)
{
    const ScratchFolder scratch;
    const fs::path& folder = scratch.path();
    std::ostringstream out, err;
    EXPECT_EQ(runCalculator(optionsWritingTo((folder / "r.xlsx").string()), taskText, out, err), 0);
    EXPECT_EQ(err.str(), "");
    EXPECT_NE(out.str().find("[alleles]"), std::string::npos);
    EXPECT_GT(fs::file_size(folder / "r.xlsx"), 0u);

    std::ostringstream out2, err2;
    const std::string missing = (folder / "no" / "r.xlsx").string();
    EXPECT_EQ(runCalculator(optionsWritingTo(missing), taskText, out2, err2), 1);
    EXPECT_EQ(err2.str(), "Не удалось сохранить книгу результатов в файле «" + missing +
                              "»: папка не найдена.\n");
}

TEST(CalcWorkbook, TextsAreTheGridsBelowTheirHeadersInWindows1251)
{
    const auto shown = [](std::initializer_list<std::initializer_list<const char*>> rows) {
        ShownTable table;
        for (const auto& row : rows) {
            table.emplace_back();
            for (const char* text : row)
                table.back().push_back(toCp1251(text));
        }
        return table;
    };
    ReportTables tables;
    tables.alleles = shown({{"№", "Аллели", "Частоты по МП", "Частоты по МНК", "Частоты по МННК"},
                            {"1", "A ", "0.600", "0.600", "0.600"},
                            {"", "Сумма", "1", "1", "1"}});
    tables.phenotypeList =
        shown({{"№", "Фенотип", "Факт", "Расчет", "Генотипический состав класса"},
               {"1", "A ", "36", "    36.00", "(A/A)"}});
    tables.phenotypes = shown({{"№", "Фенотип"}, {"1", "A "}, {"", "Сумма"}});
    tables.fitLabels = {toCp1251("МП     Хи^2 =  0.000"), toCp1251("МНК    Хи^2 =  0.000"),
                        toCp1251("МННК   Хи^2 =  0.000")};

    const ResultTexts texts = resultTextsOf(tables);
    ASSERT_EQ(texts.alleles.rowCount(), 2);
    EXPECT_EQ(texts.alleles.cell(1, 2).bytes(), toCp1251("Сумма").bytes());
    EXPECT_EQ(texts.alleles.cell(4, 1).bytes(), "0.600");
    ASSERT_EQ(texts.phenotypeList.rowCount(), 1);
    EXPECT_EQ(texts.phenotypeList.cell(4, 1).bytes(), "(A/A)");
    EXPECT_EQ(texts.phenotypes.rowCount(), 2);
    EXPECT_EQ(texts.tests.rowCount(), 0);
    EXPECT_EQ(texts.fitSummaries[1].bytes(), toCp1251("МНК    Хи^2 =  0.000").bytes());
}
