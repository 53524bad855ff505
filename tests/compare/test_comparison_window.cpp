// "Сравнить задачи" in the archive window: the tasks of the list narrowed by a key are
// ticked with the keyboard, "Сравнить" opens the comparison window, whose figures are
// those of the core comparison of the same tasks; tasks of other alleles are refused with
// a message; the tree is saved as a picture and the tables as a workbook. The structure's
// tabs fill, and "Рассчитать" runs the bootstrap, which "Отменить" stops.
#include "archive/archived_task.h"
#include "archive/gui/TDataModule4.h"
#include "archive/gui/TForm7.h"
#include "archive/gui/Tarhiv.h"
#include "compare/gui/TCompareTasks.h"
#include "compare/gui/TComparisonForm.h"
#include "platform/cp1251.h"
#include "tests/archive/archive_windows.h"
#include "tests/archive/sample_archive.h"
#include "tests/support/typing.h"
#include "toolkit/message.h"

#include <QDir>
#include <QImage>
#include <QTest>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>

namespace {

// Saves the sample task (A, B, - codominant, count firstCount + r on phenotype r).
TaskRecord saveSample(const std::string& utf8Name, int alleles, int firstCount)
{
    TaskRecord record = sampleTask(toCp1251(utf8Name).bytes(), alleles, firstCount);
    saveTask({DataModule4->spisok, DataModule4->allel, DataModule4->fenotip}, record,
             &DataModule4->dsspisok);
    return record;
}

PopulationSample sampleOf(const TaskRecord& record)
{
    auto task = std::make_unique<TaskState>();
    const ArchivedTask loaded = taskFromRecord(record, *task);
    return *sampleOfLoadedTask(cp1251ToUtf8(record.name), std::move(task), loaded);
}

ModalScript::Action typingKey(const QString& key)
{
    return [key](Form&) {
        Form7->Edit1->setFocus();
        typeText(Form7->Edit1, key);
        QTest::keyClick(Form7->Edit1, Qt::Key_Return);
    };
}

QStringList listedLines(const QListWidget& list)
{
    QStringList lines;
    for (int line = 0; line < list.count(); ++line)
        lines << list.item(line)->text();
    return lines;
}

// Ticks the lines with the space bar and clicks "Сравнить".
ModalScript::Action ticking(std::vector<int> lines, QStringList* listed)
{
    return [lines, listed](Form&) {
        QListWidget* list = arhiv->CompareTasks->CheckListBox1;
        *listed = listedLines(*list);
        list->setFocus();
        for (const int line : lines) {
            list->setCurrentRow(line);
            QTest::keyClick(list, Qt::Key_Space);
        }
        QTest::mouseClick(arhiv->CompareTasks->Button1, Qt::LeftButton);
    };
}

QStringList gridRow(StringGrid* grid, int row)
{
    QStringList cells;
    for (int col = 0; col < grid->colCount(); ++col)
        cells << grid->cells(col, row);
    return cells;
}

QStringList tableRow(const TextTable& table, std::size_t row)
{
    QStringList cells;
    for (const std::string& cell : table[row])
        cells << QString::fromStdString(cell);
    return cells;
}

void expectGridShows(StringGrid* grid, const TextTable& table)
{
    ASSERT_EQ(grid->rowCount(), static_cast<int>(table.size()));
    for (std::size_t row = 0; row < table.size(); ++row)
        EXPECT_EQ(gridRow(grid, static_cast<int>(row)), tableRow(table, row)) << "row " << row;
}

} // namespace

TEST(ComparisonWindow, ComparesTheTickedTasksOfTheSelection)
{
    startWithEmptyArchive();
    const TaskRecord first = saveSample("Стадо Север", 3, 10);
    saveSample("Другая порода", 3, 5);
    const TaskRecord second = saveSample("Стадо Юг", 3, 10);
    const TaskRecord third = saveSample("Стадо Запад", 3, 40);
    const QString picture = QDir::current().absoluteFilePath("tree.png");
    const QString workbook = QDir::current().absoluteFilePath("comparison");
    TComparisonForm::setImageFileChooserForTests([&] { return picture; });
    TComparisonForm::setWorkbookFileChooserForTests([&] { return workbook; });

    QStringList listed;
    std::optional<ComparisonTables> shown;
    TComparisonForm* window = arhiv->CompareTasks->comparison();
    inArchiveWindow(
        [] {
            arhiv->Button3Click();
            QTest::mouseClick(arhiv->Button5, Qt::LeftButton);
        },
        {typingKey("стадо"), ticking({0, 1, 2}, &listed), [&](Form&) {
             EXPECT_TRUE(window->running() || window->report());
             QTRY_VERIFY_WITH_TIMEOUT(window->report().has_value(), 20000);
             EXPECT_EQ(window->ProgressBar1->value(), window->ProgressBar1->maximum());
             shown = comparisonTables(*window->report());
             expectGridShows(window->StringGrid1, shown->frequencies);
             expectGridShows(window->StringGrid2, shown->homogeneity);
             expectGridShows(window->StringGrid3, shown->nei);
             expectGridShows(window->StringGrid4, shown->chord);
             window->PageControl1->setCurrentIndex(2);
             QTest::mouseClick(window->Button2, Qt::LeftButton);
             QTest::mouseClick(window->Button3, Qt::LeftButton);
         }});
    ASSERT_TRUE(shown);
    // Newest first, the task of another name left out by the key.
    EXPECT_EQ(listed, QStringList({"Стадо Запад", "Стадо Юг", "Стадо Север"}));

    // The same figures as the core gives for the three tasks read back independently.
    std::vector<PopulationSample> samples;
    for (const TaskRecord* record : {&third, &second, &first})
        samples.push_back(sampleOf(*record));
    const ComparisonTables expected = comparisonTables(compareSamples(samples));
    EXPECT_EQ(shown->frequencies, expected.frequencies);
    EXPECT_EQ(shown->homogeneity, expected.homogeneity);
    EXPECT_EQ(shown->nei, expected.nei);
    EXPECT_EQ(shown->homogeneity[1][2], "4"); // (3 − 1)(3 − 1)
    EXPECT_EQ(shown->nei[2][3], "0.00000");   // Юг and Север have the same counts
    EXPECT_EQ(window->Label4->text().toStdString(), "Newick: " + window->report()->newick);

    EXPECT_FALSE(QImage(picture).isNull());
    std::ifstream file((workbook + ".xlsx").toStdString(), std::ios::binary);
    char magic[2] = {};
    file.read(magic, 2);
    EXPECT_EQ(std::string(magic, 2), "PK");
    TComparisonForm::setImageFileChooserForTests({});
    TComparisonForm::setWorkbookFileChooserForTests({});
}

TEST(ComparisonWindow, RefusesTasksOfOtherAlleles)
{
    startWithEmptyArchive();
    saveSample("Группа крови", 3, 10);
    saveSample("Другая система", 2, 10);
    MessageRecorder messages;
    QStringList listed;
    inArchiveWindow([] { QTest::mouseClick(arhiv->Button5, Qt::LeftButton); },
                    {ticking({0, 1}, &listed)});
    EXPECT_EQ(listed, QStringList({"Другая система", "Группа крови"}));
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.last(), "Список аллелей задачи «Группа крови» не совпадает со списком "
                               "задачи «Другая система».");
}

TEST(ComparisonWindow, ATaskThatCannotBeReadIsNamedWithTheReason)
{
    startWithEmptyArchive();
    TaskRecord old = sampleTask(toCp1251("Старая запись").bytes(), 3, 10);
    old.counts[1].count = -5; // as an older version stored it
    saveTask({DataModule4->spisok, DataModule4->allel, DataModule4->fenotip}, old,
             &DataModule4->dsspisok);
    saveSample("Новая", 3, 10);
    MessageRecorder messages;
    QStringList listed;
    inArchiveWindow([] { QTest::mouseClick(arhiv->Button5, Qt::LeftButton); },
                    {ticking({0, 1}, &listed)});
    EXPECT_EQ(messages.messages,
              std::vector<QString>{"Задачу «Старая запись» прочитать не удалось: поголовье "
                                   "фенотипа «A B» (-5) - не целое число от 0 до 19999999"});
}

TEST(ComparisonWindow, TheStructureTabsFillAndTheBootstrapRunsOrIsCancelled)
{
    std::vector<PopulationSample> samples;
    for (const int first : {10, 40, 11})
        samples.push_back(sampleOf(sampleTask("Stado " + std::to_string(first), 3, first)));
    const QString distances = QDir::current().absoluteFilePath("distances");
    TComparisonForm::setDistanceFileChooserForTests([&] { return distances; });
    TComparisonForm window;
    window.setSamples(std::move(samples));
    ModalScript script(ModalScript::Mode::inWindowLoop);
    script.then([&](Form&) {
        QTRY_VERIFY_WITH_TIMEOUT(window.report().has_value(), 20000);
        const ComparisonTables first = comparisonTables(*window.report());
        expectGridShows(window.StringGrid5, first.diversity);
        expectGridShows(window.StringGrid6, first.differentiation);
        expectGridShows(window.StringGrid7, first.pairwiseTests);
        expectGridShows(window.StringGrid8, first.reynolds);
        EXPECT_EQ(window.Label7->text().toStdString(),
                  "Newick: " + window.report()->neighborJoiningNewick);

        // The longest bootstrap, stopped at once: the results shown stay.
        window.SpinEdit1->setValue(maximumReplicates);
        QTest::mouseClick(window.Button4, Qt::LeftButton);
        EXPECT_TRUE(window.running());
        QTest::mouseClick(window.Button1, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!window.running(), 20000);
        EXPECT_EQ(window.Label3->text(), "Расчет отменен.");
        EXPECT_EQ(window.report()->structure.replicates, 0);
        EXPECT_TRUE(window.Button4->isEnabled());

        window.SpinEdit1->setValue(100);
        window.ComboBox1->setCurrentIndex(1);
        QTest::mouseClick(window.Button4, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!window.running(), 60000);
        const PopulationStructure& structure = window.report()->structure;
        EXPECT_EQ(structure.replicates, 100);
        EXPECT_EQ(structure.distance, TreeDistance::chord);
        const ComparisonTables second = comparisonTables(*window.report());
        expectGridShows(window.StringGrid6, second.differentiation);
        EXPECT_NE(second.differentiation[1][2], "");
        EXPECT_EQ(second.tree[0][0], "Дерево UPGMA по хордовому расстоянию (Newick)");
        // The inner branch of the UPGMA tree carries its support.
        EXPECT_TRUE(std::regex_search(window.report()->newick, std::regex("\\)[0-9]+:")))
            << window.report()->newick;
        QTest::mouseClick(window.Button5, Qt::LeftButton);
        window.close();
    });
    window.showModal();
    std::ifstream phylip((distances + ".phy").toStdString());
    int count = 0;
    phylip >> count;
    EXPECT_EQ(count, 3);
    TComparisonForm::setDistanceFileChooserForTests({});
}
