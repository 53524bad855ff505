// Labels set on tasks selected in the archive window, and a table of counts imported from the
// control window, through the real windows and message boxes.
#include "archive/gui/TDataModule4.h"
#include "archive/gui/TForm6.h"
#include "archive/gui/TLabelsForm.h"
#include "archive/gui/Tarhiv.h"
#include "archive/gui/count_table_import_window.h"
#include "compare/gui/TStudyForm.h"
#include "platform/cp1251.h"
#include "task/gui/Tkontrol.h"
#include "tests/archive/archive_windows.h"
#include "tests/archive/sample_archive.h"
#include "tests/support/print_qstring.h"
#include "tests/support/scratch_folder.h"
#include "tests/support/typing.h"
#include "toolkit/message.h"

#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>

#include <fstream>

namespace {

const std::map<int, QString> abo = {{1, "A"}, {2, "B"}, {3, "-"}};

// The population and system columns of the archive list, line by line.
QStringList listedLabels()
{
    QStringList labels;
    for (int line = 0; line < arhiv->DBGrid1->lineCount(); ++line)
        labels << arhiv->DBGrid1->text(3, line) + "/" + arhiv->DBGrid1->text(4, line);
    return labels;
}

ModalScript::Action typingLabels(const QString& population, const QString& system)
{
    return [population, system](Form&) {
        for (auto [edit, text] : {std::pair{arhiv->LabelsForm->Edit1, population},
                                  std::pair{arhiv->LabelsForm->Edit2, system}}) {
            edit->setFocus();
            edit->selectAll();
            QTest::keyClick(edit, Qt::Key_Delete);
            typeText(edit, text);
        }
        QTest::mouseClick(arhiv->LabelsForm->Button1, Qt::LeftButton);
    };
}

std::vector<char> fileBytes(const char* name)
{
    std::ifstream in(name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace

TEST(LabelWindows, LabelsAreSetOnEverySelectedTaskAndShownBesideTheirNames)
{
    MessageRecorder messages(MessageRecorder::Mode::showAndAnswer);
    startWithEmptyArchive();
    for (const char* name : {"Стадо 1 ABO", "Стадо 2 ABO", "Стадо 3 ABO"}) {
        enterTask(abo);
        saveTaskNamed(name);
    }
    inArchiveWindow(
        [] {
            EXPECT_EQ(listedLabels(), (QStringList{"/", "/", "/"}));
            clickListLine(0);
            QTableView* view = arhiv->DBGrid1->view();
            const QRect third = view->visualRect(view->model()->index(2, 2));
            QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::ControlModifier,
                              third.center());
            EXPECT_EQ(arhiv->DBGrid1->selectedLines(), (std::vector<int>{0, 2}));
            arhiv->Button6Click();
            EXPECT_EQ(listedLabels(), (QStringList{"Стадо/ABO", "/", "Стадо/ABO"}));
            // A character Windows-1251 lacks changes nothing; emptied fields take labels away.
            arhiv->Button6Click();
            clickListLine(2);
            arhiv->Button6Click();
        },
        {typingLabels(" Стадо ", "ABO"), typingLabels("Стадо Ω", "ABO"), typingLabels("", "")});
    EXPECT_EQ(messages.messages,
              std::vector<QString>{"В метке есть символ «Ω», которого нет в кодировке "
                                   "Windows-1251. Метки не изменены."});
    EXPECT_EQ(readTaskLabels(DataModule4->spisok, DataModule4->metki).size(), 1u);
    inArchiveWindow([] { EXPECT_EQ(listedLabels(), (QStringList{"Стадо/ABO", "/", "/"})); });
}

TEST(LabelWindows, ATableOfCountsIsImportedWholeFromTheControlWindowOrNotAtAll)
{
    MessageRecorder messages(MessageRecorder::Mode::showAndAnswer);
    startWithEmptyArchive();
    enterTask(abo);
    ScratchFolder folder;
    std::ofstream(folder.file("bad.csv")) << "Популяция;A;B A;C\n\"Стадо; 1\";5;6;7\n";
    std::ofstream(folder.file("good.csv")) << "Популяция;B A;A\n\"Стадо; 1\";5;6\nСтадо 2;0;9\n";
    const std::vector<char> before = fileBytes("SPISOK.DBF");

    setCountTableChooserForTests([&] { return QString::fromStdString(folder.file("bad.csv")); });
    ModalScript script;
    script.then(typingName("ABO"));
    EXPECT_EQ(importCountTableFromFile(), 0);
    EXPECT_EQ(Form6->windowTitle(), "Введите название системы и закройте это окно");
    EXPECT_EQ(fileBytes("SPISOK.DBF"), before);

    setCountTableChooserForTests([&] { return QString::fromStdString(folder.file("good.csv")); });
    script.then(typingName("ABO"));
    kontrol->Button9Click();
    setCountTableChooserForTests({});
    EXPECT_EQ(messages.messages,
              (std::vector<QString>{"Таблица не импортирована, в архив ничего не записано.\n"
                                    "строка 1, столбец 4 (D): аллели не дают фенотипа «C».",
                                    "Из таблицы в архив записано задач: 2."}));
    inArchiveWindow([] {
        EXPECT_EQ(listedNames(), (QStringList{"Стадо; 1 (ABO)", "Стадо 2 (ABO)"}));
        EXPECT_EQ(listedLabels(), (QStringList{"Стадо; 1/ABO", "Стадо 2/ABO"}));
    });
}

TEST(LabelWindows, TickedPopulationsAreComparedOverTheSystemsTheyShare)
{
    startWithEmptyArchive();
    for (const auto& [population, first] : {std::pair{"Север", 10}, {"Юг", 30}, {"Запад", 5}})
        for (const auto& [system, alleles] : {std::pair{"ABO", 3}, {"T", 4}}) {
            TaskRecord record = sampleTask(toCp1251(std::string(population) + " " + system).bytes(),
                                           alleles, first);
            record.labels = {toCp1251(population), toCp1251(system)};
            saveTask(DataModule4->archiveTables(), record, &DataModule4->dsspisok);
        }
    ScratchFolder folder;
    TStudyForm::setWorkbookFileChooserForTests(
        [&] { return QString::fromStdString(folder.file("s")); });
    TStudyForm* window = arhiv->StudyForm;
    QStringList listed;
    inArchiveWindow([] { QTest::mouseClick(arhiv->Button7, Qt::LeftButton); }, {[&](Form&) {
                        for (int line = 0; line < window->CheckListBox1->count(); ++line)
                            listed << window->CheckListBox1->item(line)->text();
                        window->CheckListBox1->item(1)->setCheckState(Qt::Checked);
                        window->CheckListBox1->item(2)->setCheckState(Qt::Checked);
                        QTest::mouseClick(window->Button1, Qt::LeftButton);
                        QTRY_VERIFY_WITH_TIMEOUT(window->tables().has_value(), 60000);
                        QTest::mouseClick(window->Button3, Qt::LeftButton);
                    }});
    TStudyForm::setWorkbookFileChooserForTests({});
    EXPECT_EQ(listed, (QStringList{"Запад", "Север", "Юг"}));
    ASSERT_TRUE(window->tables());
    EXPECT_EQ(window->PageControl1->count(), 3);
    EXPECT_EQ(window->PageControl1->tabText(2), "T");
    EXPECT_EQ(window->StringGrid3->cells(0, 2), "Юг");
    EXPECT_EQ(window->StringGrid3->cells(3, 1),
              QString::fromStdString(window->tables()->forensic[1][3]));
    EXPECT_EQ(window->Label3->text(), "Сравнено популяций: 2, общих систем: 2.");
    EXPECT_TRUE(folder.exists("s.xlsx"));
}
