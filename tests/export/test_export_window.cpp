// The window part of the export: which texts it takes from the windows, where the
// workbook goes, how it is opened, and what the user is told when either fails.
#include "estimate/gui/TForm2.h"
#include "estimate/gui/TForm3.h"
#include "export/gui/export_window.h"
#include "platform/clock.h"
#include "platform/cp1251.h"
#include "task/gui/Tkontrol.h"
#include "tests/support/scratch_folder.h"
#include "toolkit/message.h"

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>

#include <vector>

namespace {
// Fills the grid and returns its texts as a table.
ShownTable fill(StringGrid* grid, const std::vector<QStringList>& rows)
{
    grid->setColCount(static_cast<int>(rows.front().size()));
    grid->setRowCount(static_cast<int>(rows.size()));
    ShownTable table;
    for (int row = 0; row < grid->rowCount(); ++row) {
        table.emplace_back();
        for (int col = 0; col < grid->colCount(); ++col) {
            grid->setCells(col, row, rows[static_cast<size_t>(row)][col]);
            table.back().push_back(grid->cp1251Cell(col, row));
        }
    }
    return table;
}

// Two codominant alleles, as the windows show them after a calculation.
void showResults()
{
    ReportTables tables;
    tables.alleles = fill(Form2->StringGrid1,
                          {{"№", "Аллели", "Частоты по МП", "Частоты по МНК", "Частоты по МННК"},
                           {"1", "A", "0.600", "0.601", "0.599"},
                           {"2", "B", "0.400", "0.399", "0.401"},
                           {"", "Сумма", "1", "1", "1"}});
    tables.genotypes =
        fill(Form2->StringGrid2,
             {{"№", "Генотипы", "Частоты по МП", "Частоты по МНК", "Частоты по МННК"},
              {"1", "A/A", "0.3600", "0.3612", "0.3588"},
              {"", "Гетерозиготы", "0.480", "0.480", "0.480"}});
    tables.tests = fill(Form2->StringGrid3,
                        {{"№", "Тесты", "Факт", "Расчет по МП", "Расчет по МНК", "Расчет по МННК",
                          "Частота Факт", "Частота по МП", "Частота по МНК", "Частота по МННК"},
                         {"1", "A", "84", "     84.00", "     84.02", "     83.98", "0.840",
                          "0.840", "0.840", "0.840"}});
    tables.phenotypeList = fill(kontrol->StringGrid3,
                                {{"№", "Фенотип", "Факт", "Расчет", "Генотипический состав класса"},
                                 {"1", "A", "36", "    36.00", "(A/A)"},
                                 {"2", "A B", "48", "    48.00", "(A/B)"}});
    tables.phenotypes = fill(
        Form3->StringGrid1,
        {{"№", "Фенотип", "Факт", "Расчет по МП", "Расчет по МНК", "Расчет по МННК", "Частота Факт",
          "Частота по МП", "Частота по МНК", "Частота по МННК"},
         {"1", "A", "36", "  36.00", "  36.12", "  35.88", "0.3600", "0.3600", "0.3612", "0.3588"},
         {"2", "A B", "48", "  48.00", "  47.98", "  48.02", "0.4800", "0.4800", "0.4798",
          "0.4802"},
         {"", "Сумма", "84", "  84.00", "  84.10", "  83.90", "0.8400", "0.8400", "0.8410",
          "0.8390"}});
    tables.fitLabels = {toCp1251("МП     Хи^2 =  0.000 Степеней свободы =2 p=1.000"),
                        toCp1251("МНК    Хи^2 =  0.001 Степеней свободы =2 p=1.000"),
                        toCp1251("МННК   Хи^2 =  0.002 Степеней свободы =2 p=0.999")};
    kontrol->showResults(tables);
}

// A fixed moment, a folder of the test's own and an opener that only records.
class ExportFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        showResults();
        setClockForTests([] { return LocalDateTime{2026, 3, 7, 9, 5, 4}; });
        setExportDesktopForTests({[this] { return folder; },
                                  [this](const QString& path) {
                                      opened.push_back(path);
                                      return openSucceeds;
                                  }});
    }
    void TearDown() override
    {
        setExportDesktopForTests({});
        setClockForTests({});
    }

    ScratchFolder scratch;
    const QString folder = QString::fromStdString(scratch.path().string());
    std::vector<QString> opened;
    bool openSucceeds = true;
    MessageRecorder messages;
};

std::string cp1251(const char* utf8)
{
    return toCp1251(utf8).bytes();
}
} // namespace

TEST_F(ExportFixture, TakesEveryRowBelowTheHeaderAndTheThreeSummaries)
{
    const ResultTexts texts = gatherResultTexts();
    ASSERT_EQ(texts.alleles.rowCount(), 3);
    EXPECT_EQ(texts.alleles.cell(1, 3).bytes(), cp1251("Сумма"));
    EXPECT_EQ(texts.alleles.cell(3, 1).bytes(), "0.601");
    ASSERT_EQ(texts.genotypes.rowCount(), 2);
    EXPECT_EQ(texts.genotypes.cell(1, 2).bytes(), cp1251("Гетерозиготы"));
    ASSERT_EQ(texts.tests.rowCount(), 1);
    EXPECT_EQ(texts.tests.cell(4, 1).bytes(), "     84.02");
    ASSERT_EQ(texts.phenotypeList.rowCount(), 2);
    EXPECT_EQ(texts.phenotypeList.cell(1, 2).bytes(), "A B");
    EXPECT_EQ(texts.phenotypeList.cell(4, 2).bytes(), "(A/B)");
    ASSERT_EQ(texts.phenotypes.rowCount(), 3);
    EXPECT_EQ(texts.phenotypes.cell(9, 3).bytes(), "0.8390");
    EXPECT_EQ(texts.fitSummaries[0].bytes(),
              cp1251("МП     Хи^2 =  0.000 Степеней свободы =2 p=1.000"));
    EXPECT_EQ(texts.fitSummaries[2].bytes(),
              cp1251("МННК   Хи^2 =  0.002 Степеней свободы =2 p=0.999"));
}

TEST_F(ExportFixture, SavesANewWorkbookEachTimeAndOpensIt)
{
    exportResultsToWorkbook();
    exportResultsToWorkbook();
    EXPECT_TRUE(messages.messages.empty()) << messages.last().toStdString();
    const QString first = folder + "/Велимор 2026-03-07 09-05-04.xlsx";
    const QString second = folder + "/Велимор 2026-03-07 09-05-04 (2).xlsx";
    EXPECT_EQ(opened, (std::vector<QString>{first, second}));
    EXPECT_TRUE(QFileInfo(first).isFile());
    EXPECT_TRUE(QFileInfo(second).isFile());
}

TEST_F(ExportFixture, WithoutAnApplicationTheMessageGivesTheSavedFile)
{
    openSucceeds = false;
    exportResultsToWorkbook();
    const QString path = folder + "/Велимор 2026-03-07 09-05-04.xlsx";
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.last(), "Книга результатов сохранена в файле\n" + path +
                                   "\nПрограмма для ее открытия не найдена.");
    EXPECT_TRUE(QFileInfo(path).isFile());
}

TEST_F(ExportFixture, AFolderThatCannotBeWrittenIsReportedAndNothingOpened)
{
    const QString missing = folder + "/Документы";
    setExportDesktopForTests({[missing] { return missing; },
                              [this](const QString& path) {
                                  opened.push_back(path);
                                  return true;
                              }});
    exportResultsToWorkbook();
    EXPECT_TRUE(opened.empty());
    EXPECT_EQ(messages.last(), "Не удалось сохранить книгу результатов в папке «" + missing +
                                   "»: папка не найдена.");
    EXPECT_TRUE(QDir(folder).isEmpty());
}

TEST_F(ExportFixture, GoesToTheDocumentsFolderElseHome)
{
    // The real folder choice with the opener still replaced: the documents folder of the
    // desktop when it exists, otherwise the home folder.
    const QByteArray oldHome = qgetenv("HOME");
    const QByteArray oldConfig = qgetenv("XDG_CONFIG_HOME");
    qputenv("HOME", QFile::encodeName(folder));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(folder + "/.config"));
    setExportDesktopForTests({{}, [this](const QString& path) {
                                  opened.push_back(path);
                                  return true;
                              }});
    exportResultsToWorkbook();
    ASSERT_TRUE(QDir(folder).mkdir("Documents"));
    exportResultsToWorkbook();
    qputenv("HOME", oldHome);
    oldConfig.isNull() ? qunsetenv("XDG_CONFIG_HOME") : qputenv("XDG_CONFIG_HOME", oldConfig);

    EXPECT_EQ(opened,
              (std::vector<QString>{folder + "/Велимор 2026-03-07 09-05-04.xlsx",
                                    folder + "/Documents/Велимор 2026-03-07 09-05-04.xlsx"}));
}
