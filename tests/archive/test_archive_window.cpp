// The archive window over real archive tables: the list and its selection, opening a task
// into the allele and control windows, deleting, and narrowing the list by a key typed into
// the selection-key window.
#include "archive/gui/TDataModule4.h"
#include "archive/gui/TForm7.h"
#include "archive/gui/Tarhiv.h"
#include "platform/cp1251.h"
#include "task/gui/Tantigen.h"
#include "task/gui/Tkontrol.h"
#include "task/task_state.h"
#include "tests/archive/archive_windows.h"
#include "tests/archive/stored_rows.h"
#include "tests/support/print_qstring.h"
#include "tests/support/typing.h"
#include "toolkit/message.h"

#include <QApplication>
#include <QCloseEvent>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>

namespace {

const QString noMatchMessage = "Записей, соответствующих ключу, нет...";

void saveNamed(const QString& name, const std::map<int, QString>& rows,
               const std::map<int, QString>& counts = {})
{
    enterTask(rows);
    for (const auto& [r, count] : counts)
        typeCount(r, count);
    saveTaskNamed(name);
}

QStringList countColumn()
{
    QStringList counts;
    for (int r = 1; r < kontrol->StringGrid3->rowCount(); ++r)
        counts << kontrol->StringGrid3->cells(2, r);
    return counts;
}

QStringList alleleColumn(StringGrid* grid)
{
    QStringList names;
    for (int r = 1; r <= 25; ++r)
        names << grid->cells(1, r);
    return names;
}

// The 25 name cells of an allele grid: empty but for the given rows.
QStringList alleleRows(const std::map<int, QString>& filled)
{
    QStringList names;
    for (int r = 1; r <= 25; ++r)
        names << (filled.count(r) ? filled.at(r) : QString());
    return names;
}

// The action in the selection-key window: types the text after the single space it starts
// with, then presses and releases Enter.
ModalScript::Action typingKey(const QString& text)
{
    return [text](Form&) {
        EXPECT_EQ(Form7->Edit1->text(), " ");
        Form7->Edit1->setFocus();
        typeText(Form7->Edit1, text);
        QTest::keyPress(Form7->Edit1, Qt::Key_Return);
        QTest::keyRelease(Form7->Edit1, Qt::Key_Return);
        EXPECT_FALSE(Form7->isVisible());
    };
}

void selectByKey(const QString& key)
{
    inArchiveWindow([] { arhiv->Button3Click(); }, {typingKey(key)});
}

// Four tasks, newest first in the list: "Гаптоглобин", "группа MN", "Резус-фактор",
// "Группа крови АВ0".
void saveFourTasks()
{
    saveNamed("Группа крови АВ0", {{1, "A"}, {2, "B"}, {3, "-"}});
    saveNamed("Резус-фактор", {{1, "D"}, {2, "-"}});
    saveNamed("группа MN", {{1, "M"}, {2, "N"}});
    saveNamed("Гаптоглобин", {{1, "Hp1"}, {2, "Hp2"}});
}

} // namespace

TEST(ArchiveWindow, TheListShowsTheLiveTasksNewestFirstAndItsSelectionIsTheCurrentRow)
{
    MessageRecorder messages;
    startWithEmptyArchive();
    saveFourTasks();
    deleteListedTask(2); // "Резус-фактор"
    Table& spisok = DataModule4->spisok;
    inArchiveWindow([&] {
        EXPECT_EQ(arhiv->windowTitle(), "Работа с архивом");
        QAbstractItemModel* model = arhiv->DBGrid1->view()->model();
        EXPECT_EQ(model->headerData(0, Qt::Horizontal).toString(), "Дата записи задачи");
        EXPECT_EQ(model->headerData(1, Qt::Horizontal).toString(), "Время записи задачи");
        EXPECT_EQ(model->headerData(2, Qt::Horizontal).toString(), "Наименование задачи");
        EXPECT_EQ(listedNames(), (QStringList{"Гаптоглобин", "группа MN", "Группа крови АВ0"}));
        EXPECT_EQ(arhiv->DBGrid1->text(0, 2), "05.03.2024");
        EXPECT_EQ(arhiv->DBGrid1->text(1, 2), "9.5");

        // A click, then the cursor keys, move the table's current row.
        clickListLine(2);
        EXPECT_EQ(spisok.currentRow(), 2u);
        EXPECT_EQ(spisok.fieldByName("name").asString(), toCp1251("Группа крови АВ0"));
        QTest::keyClick(arhiv->DBGrid1->view(), Qt::Key_Up);
        EXPECT_EQ(spisok.currentRow(), 1u);
        QTest::keyClick(arhiv->DBGrid1->view(), Qt::Key_Home, Qt::ControlModifier);
        EXPECT_EQ(spisok.currentRow(), 0u);

        // The table's movements move the selection, except while the source is disabled.
        spisok.next();
        EXPECT_EQ(arhiv->DBGrid1->selectedLine(), 1);
        DataModule4->dsspisok.setEnabled(false);
        spisok.next();
        EXPECT_EQ(arhiv->DBGrid1->selectedLine(), 1);
        DataModule4->dsspisok.setEnabled(true);
        EXPECT_EQ(arhiv->DBGrid1->selectedLine(), 2);
    });
}

TEST(ArchiveWindow, OpeningRestoresAllelesModeCriterionAndOnlyTheStoredCounts)
{
    startWithEmptyArchive();
    // Alleles in rows 1 and 2 of the first grid and row 2 of the second; dominance gives the
    // phenotypes «A», «B», «-»; counts stored for 1 and 3 only; criterion МНК.
    enterTask({{1, "A"}, {2, "B"}, {27, "-"}}, true);
    typeCount(1, "40");
    typeCount(3, "12");
    kontrol->RadioButton2->setChecked(true);
    saveTaskNamed("Доминирование");
    // A larger task in hand, with counts everywhere, criterion МННК, codominance.
    enterTask({{1, "K"}, {2, "L"}, {3, "-"}});
    for (int r = 1; r < kontrol->StringGrid3->rowCount(); ++r)
        typeCount(r, "9");
    kontrol->RadioButton3->setChecked(true);

    MessageRecorder messages;
    inArchiveWindow(
        [] {
            clickListLine(0);
            arhiv->Button1Click();
        },
        {[](Form& window) {
            EXPECT_EQ(&window, kontrol);
            EXPECT_EQ(cp1251ToUtf8(task.archiveName), "Доминирование");
            EXPECT_EQ(alleleColumn(antigen->StringGrid1), alleleRows({{1, "A"}, {2, "B"}}));
            EXPECT_EQ(alleleColumn(antigen->StringGrid2), alleleRows({{2, "-"}}));
            EXPECT_EQ(antigen->StringGrid2->cells(0, 2), "27");
            EXPECT_TRUE(antigen->RadioButton2->isChecked());
            EXPECT_TRUE(kontrol->RadioButton2->isChecked());
            EXPECT_EQ(kontrol->StringGrid3->rowCount(), 4);
            EXPECT_EQ(kontrol->StringGrid3->cells(1, 3), "- ");
            EXPECT_EQ(countColumn(), (QStringList{"40", "", "12"}));
            EXPECT_EQ(kontrol->Label1->text(), "52");
            // No results until the task is calculated again.
            EXPECT_EQ(kontrol->Label4->text(), "");
            EXPECT_FALSE(kontrol->Button4->isVisible());
            EXPECT_EQ(kontrol->StringGrid3->cells(3, 1), "");
            EXPECT_TRUE(task.archiveMode);
            EXPECT_FALSE(task.archiveCountsPending);
            EXPECT_EQ(DataModule4->currentTaskCode("KNOP2"), 2);
        }});
    EXPECT_TRUE(messages.messages.empty());
}

TEST(ArchiveWindow, StoredCountsLandOnTheirPhenotypesBeyondThePreviousGridSize)
{
    MessageRecorder messages;
    startWithEmptyArchive();
    // A, B, C, D, - in codominance: 11 phenotypes; counts on 2 («A B») and 11 («-»).
    saveNamed("Пять аллелей", {{1, "A"}, {2, "B"}, {3, "C"}, {4, "D"}, {5, "-"}},
              {{2, "30"}, {11, "7"}});
    enterTask({{1, "A"}, {2, "-"}}); // the grid has 2 phenotype rows
    typeCount(1, "5");
    inArchiveWindow(
        [] {
            clickListLine(0);
            arhiv->Button1Click();
        },
        {[](Form&) {
            EXPECT_EQ(kontrol->StringGrid3->rowCount(), 12);
            QStringList expected(11, QString());
            expected[1] = "30";
            expected[10] = "7";
            EXPECT_EQ(countColumn(), expected);
            EXPECT_EQ(kontrol->StringGrid3->cells(1, 11), "- ");
            EXPECT_EQ(kontrol->Label1->text(), "37");
        }});
}

TEST(ArchiveWindow, FreeRowsCarryingTheKeyOfALiveTaskAreNotShownInIt)
{
    MessageRecorder messages;
    startWithEmptyArchive();
    saveNamed("Старая", {{1, "A"}, {2, "B"}, {3, "C"}, {4, "-"}}, {{2, "100"}, {4, "50"}});
    deleteListedTask(0);
    // The new task gets the key 9999 again and reuses three of the four free allele rows and
    // one of the two free count rows; the fourth allele row (NOMER 4) and the second count
    // row (NOMER 4) stay free under the same key.
    saveNamed("Новая", {{1, "M"}, {2, "N"}, {3, "-"}}, {{1, "3"}});
    const std::vector<StoredRow> alleles = storedRows("ALLEL.DBF");
    ASSERT_EQ(alleles[3],
              (StoredRow{{"INDEX", "9999"}, {"NOMER", "4"}, {"ALLEL", "-"}, {"OT", "F"}}));
    const std::vector<StoredRow> counts = storedRows("FENOTIP.DBF");
    ASSERT_EQ(counts[1],
              (StoredRow{{"INDEX", "9999"}, {"NOMER", "4"}, {"GOLOV", "50"}, {"OT", "F"}}));
    enterTask({{1, "X"}, {2, "Y"}, {3, "Z"}, {4, "W"}});
    inArchiveWindow(
        [] {
            clickListLine(0);
            arhiv->Button1Click();
        },
        {[](Form&) {
            EXPECT_EQ(alleleColumn(antigen->StringGrid1),
                      alleleRows({{1, "M"}, {2, "N"}, {3, "-"}}));
            EXPECT_EQ(countColumn(), (QStringList{"3", "", "", ""}));
            EXPECT_EQ(kontrol->Label1->text(), "3");
        }});
}

TEST(ArchiveWindow, DeletingAsksFirstAndFreesTheTaskOnlyOnYes)
{
    startWithEmptyArchive();
    saveNamed("Первая", {{1, "A"}, {2, "-"}}, {{1, "1"}});
    saveNamed("Вторая", {{1, "M"}, {2, "N"}}, {{2, "2"}, {3, "3"}});
    const std::vector<StoredRow> before = storedRows("SPISOK.DBF");
    // Real question boxes, answered "Нет" and then "Да" inside their own loops.
    MessageRecorder messages(MessageRecorder::Mode::showAndAnswer);
    messages.answers = {false, true};
    ModalScript script(ModalScript::Mode::inWindowLoop);
    script.then([&](Form&) {
        clickListLine(0);
        DataModule4->dsspisok.setEnabled(false); // as a refused selection might leave it
        arhiv->Button2Click();
        EXPECT_EQ(listedNames(), (QStringList{"Вторая", "Первая"}));
        EXPECT_EQ(storedRows("SPISOK.DBF"), before);
        arhiv->Button2Click();
        EXPECT_EQ(listedNames(), QStringList{"Первая"});
    });
    arhiv->showModal();
    EXPECT_EQ(script.shown, std::vector<QString>{"arhiv"});
    EXPECT_EQ(messages.questions, std::vector<QString>(2, "Удалить задачу «Вторая» из архива?"));
    EXPECT_TRUE(messages.messages.empty());
    for (const char* file : {"SPISOK.DBF", "ALLEL.DBF", "FENOTIP.DBF"})
        for (const StoredRow& row : storedRows(file))
            EXPECT_EQ(row.at("OT"), row.at("INDEX") == "9999" ? "T" : "F") << file;
    for (Table* table : {&DataModule4->allel, &DataModule4->fenotip}) {
        EXPECT_EQ(table->filter(), "ot=true");
        EXPECT_TRUE(table->filtered());
    }
    EXPECT_TRUE(DataModule4->dsallel.enabled());
    EXPECT_TRUE(DataModule4->dsfenotip.enabled());

    saveNamed("Третья", {{1, "K"}, {2, "-"}});
    EXPECT_EQ(liveRows("SPISOK.DBF").back().at("INDEX"), "9998"); // the deleted key again
}

TEST(ArchiveWindow, OpeningOrDeletingWithNoRowListedDoesNothing)
{
    startWithEmptyArchive();
    MessageRecorder messages;
    ModalScript script;
    script.then([](Form&) {
        arhiv->Button1Click();
        arhiv->Button2Click();
    });
    arhiv->showModal();
    EXPECT_EQ(script.shown, std::vector<QString>{"arhiv"});
    EXPECT_TRUE(messages.messages.empty());
    EXPECT_FALSE(task.archiveMode);
    EXPECT_TRUE(storedRows("SPISOK.DBF").empty());

    saveNamed("Единственная", {{1, "A"}, {2, "-"}});
    deleteListedTask(0);
    deleteListedTask(0); // the list is empty again
    EXPECT_EQ(storedRows("SPISOK.DBF").size(), 1u);
    EXPECT_TRUE(messages.messages.empty());
}

TEST(ArchiveWindow, ATaskWhoseAlleleRowsWereDamagedIsNotOpened)
{
    startWithEmptyArchive();
    saveNamed("Испорченная", {{1, "A"}, {2, "B"}}, {{1, "4"}});
    // Another program makes the second allele row repeat the first.
    Table& allel = DataModule4->allel;
    allel.first();
    allel.next();
    allel.edit();
    allel.fieldByName("allel").setAsString(Cp1251Text::fromBytes("A"));
    allel.post();

    MessageRecorder messages;
    ModalScript script;
    script.then([](Form&) {
        clickListLine(0);
        arhiv->Button1Click();
    });
    arhiv->showModal();
    EXPECT_EQ(script.shown, std::vector<QString>{"arhiv"}); // no control window
    EXPECT_EQ(messages.messages,
              std::vector<QString>{"Аллель с тестами A  повторяется. Исправьте!!!"});
    EXPECT_FALSE(task.archiveMode);
    EXPECT_FALSE(task.archiveCountsPending);
}

TEST(ArchiveWindow, ALowerCaseKeyNarrowsTheListToEveryNameContainingIt)
{
    startWithEmptyArchive();
    saveFourTasks();
    MessageRecorder messages;
    selectByKey("группа");
    EXPECT_TRUE(messages.messages.empty());
    EXPECT_EQ(listedNames(), (QStringList{"группа MN", "Группа крови АВ0"}));
    EXPECT_EQ(DataModule4->spisok.filter(), "otbor=true and ot=true");
    EXPECT_EQ(arhiv->DBGrid1->selectedLine(), 0);
    std::vector<std::string> marks;
    for (const StoredRow& row : storedRows("SPISOK.DBF"))
        marks.push_back(row.at("OTBOR"));
    EXPECT_EQ(marks, (std::vector<std::string>{"T", "F", "T", "F"}));

    selectByKey("ови ав"); // inside a name, Cyrillic in another case
    EXPECT_EQ(listedNames(), QStringList{"Группа крови АВ0"});

    // Cancelling shows every task again and leaves the marks as they are.
    arhiv->Button4Click();
    EXPECT_EQ(listedNames().size(), 4);
    marks.clear();
    for (const StoredRow& row : storedRows("SPISOK.DBF"))
        marks.push_back(row.at("OTBOR"));
    EXPECT_EQ(marks, (std::vector<std::string>{"T", "F", "F", "F"}));

    // No match: the message, every mark false, the whole list.
    selectByKey("xyz");
    EXPECT_EQ(messages.messages, std::vector<QString>{noMatchMessage});
    EXPECT_EQ(listedNames().size(), 4);
    EXPECT_EQ(DataModule4->spisok.filter(), "ot=true");
    for (const StoredRow& row : storedRows("SPISOK.DBF"))
        EXPECT_EQ(row.at("OTBOR"), "F");
}

TEST(ArchiveWindow, TheSelectionKeyWindowClosesOnlyThroughItsOwnControls)
{
    startWithEmptyArchive();
    saveFourTasks();
    selectByKey("MN");
    const std::vector<StoredRow> before = storedRows("SPISOK.DBF");
    MessageRecorder messages;
    inArchiveWindow([] { arhiv->Button3Click(); }, {[](Form&) {
                        EXPECT_EQ(Form7->windowTitle(), "Выделение");
                        EXPECT_FALSE(Form7->windowFlags() & Qt::WindowCloseButtonHint);
                        EXPECT_EQ(Form7->Label1->text(), "Введите ключ выделения");
                        EXPECT_EQ(Form7->Edit1->text(), " ");
                        EXPECT_EQ(Form7->focusWidget(), Form7->Edit1);
                        QCloseEvent request; // the window system's close request
                        QApplication::sendEvent(Form7, &request);
                        EXPECT_TRUE(Form7->isVisible());
                        // Enter in an emptied field does not close the window.
                        Form7->Edit1->clear();
                        QTest::keyClick(Form7->Edit1, Qt::Key_Return);
                        EXPECT_TRUE(Form7->isVisible());
                        QTest::keyClick(Form7->Edit1, Qt::Key_Space);
                        Form7->Button1->click();
                        EXPECT_FALSE(Form7->isVisible());
                    }});
    // A blank key changes nothing: no mark is rewritten.
    EXPECT_EQ(storedRows("SPISOK.DBF"), before);
    EXPECT_TRUE(messages.messages.empty());

    // Enter at once, on the single space the field starts with, closes the window.
    inArchiveWindow([] { arhiv->Button3Click(); }, {typingKey("")});
    EXPECT_EQ(storedRows("SPISOK.DBF"), before);
    EXPECT_EQ(listedNames().size(), 4);
}

TEST(ArchiveWindow, ASelectionSurvivesAnOpenedTaskClosedUnsavedAndASaveThereDropsIt)
{
    MessageRecorder messages;
    startWithEmptyArchive();
    saveFourTasks();
    ModalScript script;
    script.then([](Form&) {
        arhiv->Button3Click();
        EXPECT_EQ(listedNames(), (QStringList{"группа MN", "Группа крови АВ0"}));
        clickListLine(1);
        arhiv->Button1Click(); // the control window is closed without anything done
        EXPECT_EQ(listedNames(), (QStringList{"группа MN", "Группа крови АВ0"}));
        EXPECT_EQ(DataModule4->spisok.filter(), "otbor=true and ot=true");

        clickListLine(0);
        arhiv->Button1Click(); // a save made in the control window
        EXPECT_EQ(listedNames(), (QStringList{"Новая", "Гаптоглобин", "группа MN", "Резус-фактор",
                                              "Группа крови АВ0"}));
        EXPECT_EQ(arhiv->DBGrid1->selectedLine(), 0);
    });
    script.then(typingKey("ГРУППА"));
    script.then([](Form&) {}); // the control window, closed at once
    script.then([](Form&) { kontrol->Button3Click(); });
    script.then(typingName("Новая"));
    arhiv->showModal();
    EXPECT_EQ(script.shown,
              (std::vector<QString>{"arhiv", "Form7", "kontrol", "kontrol", "Form6"}));
    // The task saved there is the opened one under a new name: the same allele rows.
    const std::vector<StoredRow> alleles = liveRows("ALLEL.DBF");
    ASSERT_EQ(alleles.size(), 11u);
    EXPECT_EQ(alleles[9].at("ALLEL"), "M");
    EXPECT_EQ(alleles[9].at("INDEX"), "9995");

    // A selection, then the archive window shown again from the main window: all tasks.
    selectByKey("группа");
    EXPECT_EQ(listedNames().size(), 2);
    inArchiveWindow([] { EXPECT_EQ(listedNames().size(), 5); });
}

TEST(ArchiveWindow, DoubleClickOrEnterOnATaskOpensItAsTheButtonDoes)
{
    MessageRecorder messages;
    startWithEmptyArchive();
    saveNamed("Первая", {{1, "A"}, {2, "-"}}, {{1, "4"}});
    saveNamed("Вторая", {{1, "M"}, {2, "N"}}, {{3, "6"}});
    QTableView* list = arhiv->DBGrid1->view();
    std::vector<QStringList> opened;
    const ModalScript::Action inControlWindow = [&](Form& window) {
        EXPECT_EQ(&window, kontrol);
        opened.push_back(countColumn());
    };
    ModalScript script(ModalScript::Mode::inWindowLoop);
    script.then([&](Form&) {
        EXPECT_EQ(QApplication::focusWidget(), list); // the list takes the keys at once
        const QRect line = list->visualRect(list->model()->index(1, 2));
        // A double-click as the mouse gives it: a click, then the second press and release.
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, line.center());
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, line.center());
        QTest::mouseRelease(list->viewport(), Qt::LeftButton, Qt::NoModifier, line.center());
        QTest::keyClick(list, Qt::Key_Up);
        QTest::keyClick(list, Qt::Key_Return);
    });
    script.then(inControlWindow);
    script.then(inControlWindow);
    arhiv->showModal();
    EXPECT_EQ(script.shown, (std::vector<QString>{"arhiv", "kontrol", "kontrol"}));
    EXPECT_EQ(opened, (std::vector<QStringList>{{"4", ""}, {"", "", "6"}}));
    EXPECT_TRUE(messages.messages.empty());
}

TEST(ArchiveWindow, ATaskWithStoredCountsOutsideTheRuleOpensWithoutThemAndSaysWhich)
{
    startWithEmptyArchive();
    saveNamed("Старая", {{1, "A"}, {2, "B"}, {3, "-"}}, {{1, "5"}, {2, "6"}, {4, "8"}});
    // An older version or other software wrote a negative count and one over the limit.
    Table& fenotip = DataModule4->fenotip;
    fenotip.first();
    for (const int golov : {-5, 25000000}) {
        fenotip.next();
        fenotip.edit();
        fenotip.fieldByName("golov").setAsInteger(golov);
        fenotip.post();
    }
    MessageRecorder messages;
    inArchiveWindow(
        [] {
            clickListLine(0);
            arhiv->Button1Click();
        },
        {[](Form&) {
            EXPECT_EQ(countColumn(), (QStringList{"5", "", "", ""}));
            EXPECT_EQ(kontrol->Label1->text(), "5");
        }});
    EXPECT_EQ(messages.messages,
              std::vector<QString>{"Задача «Старая» открыта без поголовья, которое в архиве "
                                   "записано неверно:\nпоголовье фенотипа «A B» (-5) - не целое "
                                   "число от 0 до 19999999;\nпоголовье фенотипа «-» (25000000) - "
                                   "не целое число от 0 до 19999999."});
}
