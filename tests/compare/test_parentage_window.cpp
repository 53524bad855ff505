// "Проверка родства" from the main window: a case over two systems of the archive entered
// with the keyboard, a phenotype the system cannot show refused with a message, the verdict
// read back against the core's, and the workbook written.
#include "app/TForm1.h"
#include "archive/archived_task.h"
#include "archive/gui/TDataModule4.h"
#include "compare/gui/TParentageForm.h"
#include "estimate/calculation_run.h"
#include "platform/cp1251.h"
#include "tests/archive/archive_windows.h"
#include "tests/archive/sample_archive.h"
#include "tests/support/typing.h"
#include "toolkit/message.h"

#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

namespace {

void saveSample(const std::string& utf8Name, int firstCount)
{
    saveTask({DataModule4->spisok, DataModule4->allel, DataModule4->fenotip},
             sampleTask(toCp1251(utf8Name).bytes(), 3, firstCount), &DataModule4->dsspisok);
}

// The system of the sample task judged by the core, read afresh.
SystemCheck expectedCheck(const std::string& utf8Name, int firstCount, const char* mother,
                          const char* child, const char* father)
{
    TaskState task;
    const ArchivedTask loaded =
        taskFromRecord(sampleTask(toCp1251(utf8Name).bytes(), 3, firstCount), task);
    const CalculationResult result =
        runCalculation(task, loaded.countTexts, loaded.totalText, FitCriterion::maximumLikelihood);
    const CasePhenotypes phenotypes{*mother ? typedPhenotype(task, mother) : std::nullopt,
                                    *typedPhenotype(task, child), *typedPhenotype(task, father)};
    return checkSystem(utf8Name, task, result.estimates[0].alleleFrequencies, phenotypes);
}

// Picks the task of the line and types the phenotypes (an empty one is left empty).
void enterLine(TParentageForm& form, int line, const QString& task, const QStringList& phenotypes)
{
    QComboBox* tasks = form.box(line, 0);
    tasks->setCurrentIndex(tasks->findText(task));
    for (int role = 0; role < 3; ++role) {
        QLineEdit* edit = form.box(line, role + 1)->lineEdit();
        edit->clear();
        edit->setFocus();
        typeText(edit, phenotypes[role]);
    }
}

QStringList gridRow(const StringGrid* grid, int row)
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

} // namespace

TEST(ParentageWindow, ChecksACaseOverTwoSystems)
{
    startWithEmptyArchive();
    saveSample("Система 1", 10);
    saveSample("Система 2", 30);
    const QString workbook = QDir::current().absoluteFilePath("parentage");
    TParentageForm::setWorkbookFileChooserForTests([&] { return workbook; });
    MessageRecorder messages(MessageRecorder::Mode::showAndAnswer);
    ModalScript script;
    script.then([&](Form&) {
        TParentageForm& form = *ParentageForm;
        ASSERT_EQ(form.Table1->rowCount(), 1);
        enterLine(form, 0, "Система 1", {"A", "B A", "B"});
        QTest::mouseClick(form.Button1, Qt::LeftButton);
        enterLine(form, 1, "Система 2", {"", "B", "C"});
        EXPECT_EQ(form.box(1, 2)->count(), 5); // no phenotype and the four of the system
        QTest::mouseClick(form.Button3, Qt::LeftButton);
        EXPECT_EQ(messages.last(), "Система «Система 2»: фенотипа «C» нет.");
        EXPECT_EQ(form.StringGrid1->rowCount(), 1); // nothing judged

        enterLine(form, 1, "Система 2", {"", "B", "A B"});
        QTest::mouseClick(form.Button3, Qt::LeftButton);
        const std::vector<SystemCheck> expected{expectedCheck("Система 1", 10, "A", "A B", "B"),
                                                expectedCheck("Система 2", 30, "", "B", "A B")};
        const TextTable systems = systemsTable(expected);
        ASSERT_EQ(form.StringGrid1->rowCount(), 3);
        for (std::size_t row = 0; row < systems.size(); ++row)
            EXPECT_EQ(gridRow(form.StringGrid1, static_cast<int>(row)), tableRow(systems, row));
        const TextTable verdict =
            verdictTable(combineSystems({expected[0].verdict, expected[1].verdict}));
        EXPECT_EQ(gridRow(form.StringGrid2, 1), tableRow(verdict, 0));
        EXPECT_EQ(gridRow(form.StringGrid2, 2), tableRow(verdict, 1));
        EXPECT_EQ(form.StringGrid2->cells(1, 1), "нет");
        EXPECT_NEAR(form.StringGrid2->cells(1, 2).toDouble(),
                    *expected[0].verdict.paternityIndex * *expected[1].verdict.paternityIndex,
                    1e-4);
        QTest::mouseClick(form.Button4, Qt::LeftButton);
    });
    QTest::mouseClick(Form1->Button5, Qt::LeftButton);
    EXPECT_EQ(script.shown, std::vector<QString>{"ParentageForm"});
    EXPECT_EQ(messages.messages.size(), 1u);
    EXPECT_GT(QFileInfo(workbook + ".xlsx").size(), 0);
    TParentageForm::setWorkbookFileChooserForTests({});
}
