// Saving a task from the control window into real archive tables: the rows written, field by
// field, the task key, the name check, the positions of the allele rows, the typed counts
// and the reuse of free rows.
#include "archive/gui/TDataModule4.h"
#include "archive/gui/TForm6.h"
#include "archive/gui/Tarhiv.h"
#include "platform/clock.h"
#include "platform/cp1251.h"
#include "task/gui/Tkontrol.h"
#include "task/task_state.h"
#include "tests/archive/archive_windows.h"
#include "tests/archive/stored_rows.h"
#include "toolkit/message.h"

#include <QCoreApplication>
#include <QWindow>
#include <gtest/gtest.h>

namespace {

const QString duplicateMessage = "Такая задача уже есть... повтор недопустим.";

std::vector<std::string> column(const std::vector<StoredRow>& rows, const std::string& field)
{
    std::vector<std::string> values;
    for (const StoredRow& row : rows)
        values.push_back(row.at(field));
    return values;
}

void expectRestingState()
{
    for (Table* table : {&DataModule4->spisok, &DataModule4->allel, &DataModule4->fenotip}) {
        EXPECT_EQ(table->filter(), "ot=true") << table->fileName();
        EXPECT_TRUE(table->filtered()) << table->fileName();
    }
    EXPECT_TRUE(DataModule4->dsspisok.enabled());
}

// Three alleles A, B, - in codominance: phenotypes 1 «A», 2 «A B», 3 «B», 4 «-».
void enterAbo()
{
    enterTask({{1, "A"}, {2, "B"}, {3, "-"}});
}

} // namespace

TEST(SaveTask, TheFirstTaskGetsKey9999AndEveryFieldOfItsRows)
{
    startWithEmptyArchive();
    enterAbo();
    typeCount(1, "10");
    typeCount(3, "25");
    kontrol->RadioButton3->setChecked(true);
    MessageRecorder messages;
    saveTaskNamed("  Группа крови  ");
    EXPECT_TRUE(messages.messages.empty());

    const std::vector<StoredRow> tasks = storedRows("SPISOK.DBF");
    ASSERT_EQ(tasks.size(), 1u);
    EXPECT_EQ(tasks[0], (StoredRow{{"OTBOR", ""},
                                   {"TIME", "9.5"},
                                   {"DATA", "20240305"},
                                   {"NAME", "  Группа крови"},
                                   {"KOLALL", "3"},
                                   {"KOLTEST", "2"},
                                   {"GOLOV", ""},
                                   {"KOLFEN", "4"},
                                   {"KNOP1", "1"},
                                   {"KNOP2", "3"},
                                   {"INDEX", "9999"},
                                   {"OT", "T"}}));
    const std::vector<StoredRow> alleles = storedRows("ALLEL.DBF");
    EXPECT_EQ(column(alleles, "INDEX"), (std::vector<std::string>{"9999", "9999", "9999"}));
    EXPECT_EQ(column(alleles, "NOMER"), (std::vector<std::string>{"1", "2", "3"}));
    EXPECT_EQ(column(alleles, "ALLEL"), (std::vector<std::string>{"A", "B", "-"}));
    EXPECT_EQ(column(alleles, "OT"), (std::vector<std::string>{"T", "T", "T"}));
    EXPECT_EQ(storedRows("FENOTIP.DBF"),
              (std::vector<StoredRow>{
                  {{"INDEX", "9999"}, {"NOMER", "1"}, {"GOLOV", "10"}, {"OT", "T"}},
                  {{"INDEX", "9999"}, {"NOMER", "3"}, {"GOLOV", "25"}, {"OT", "T"}}}));
    expectRestingState();

    // The next task: the next smaller key, dominance, the time late in the evening, and it
    // stands first in the list.
    setClockForTests([] { return LocalDateTime{2024, 12, 31, 23, 59, 0}; });
    enterTask({{1, "A"}, {2, "-"}}, true);
    kontrol->RadioButton2->setChecked(true);
    saveTaskNamed("Резус");
    const std::vector<StoredRow> both = storedRows("SPISOK.DBF");
    ASSERT_EQ(both.size(), 2u);
    EXPECT_EQ(both[1].at("INDEX"), "9998");
    EXPECT_EQ(both[1].at("TIME"), "23.59");
    EXPECT_EQ(both[1].at("DATA"), "20241231");
    EXPECT_EQ(both[1].at("KNOP1"), "2");
    EXPECT_EQ(both[1].at("KNOP2"), "2");
    EXPECT_EQ(both[1].at("KOLFEN"), "2");
    EXPECT_EQ(listedNames(), (QStringList{"Резус", "  Группа крови"}));
    EXPECT_EQ(arhiv->DBGrid1->text(0, 0), "31.12.2024");
    EXPECT_EQ(arhiv->DBGrid1->text(1, 0), "23.59");
    EXPECT_EQ(arhiv->DBGrid1->text(0, 1), "05.03.2024");
    EXPECT_EQ(arhiv->DBGrid1->text(1, 1), "9.5");
    EXPECT_TRUE(messages.messages.empty());
}

TEST(SaveTask, ANameDifferingOnlyInCaseOrSurroundingSpacesIsRefusedUntilItsTaskIsDeleted)
{
    startWithEmptyArchive();
    enterAbo();
    saveTaskNamed("Ёлочка ABO");
    EXPECT_EQ(cp1251ToUtf8(task.archiveName), "Ёлочка ABO"); // the task in hand is the saved one
    for (const QString& clash :
         {QString("ёЛОЧКА abo"), QString("   ЁЛОЧКА ABO  "), QString("ёлочка Abo ")}) {
        MessageRecorder messages;
        DataModule4->spisok.setFilter("otbor=true and ot=true"); // as after a selection
        saveTaskNamed(clash);
        EXPECT_EQ(messages.messages, std::vector<QString>{duplicateMessage}) << clash.toStdString();
        EXPECT_EQ(storedRows("SPISOK.DBF").size(), 1u);
        EXPECT_EQ(storedRows("ALLEL.DBF").size(), 3u);
        expectRestingState();
    }
    EXPECT_EQ(listedNames(), QStringList{"Ёлочка ABO"});
    EXPECT_EQ(cp1251ToUtf8(task.archiveName), "Ёлочка ABO");

    deleteListedTask(0);
    MessageRecorder messages;
    saveTaskNamed("ёЛОЧКА abo");
    EXPECT_TRUE(messages.messages.empty());
    const std::vector<StoredRow> live = liveRows("SPISOK.DBF");
    ASSERT_EQ(live.size(), 1u);
    EXPECT_EQ(live[0].at("NAME"), "ёЛОЧКА abo");
    EXPECT_EQ(live[0].at("INDEX"), "9999");
}

TEST(SaveTask, ABlankNameOrAnUnencodableOneWritesNothing)
{
    startWithEmptyArchive();
    enterAbo();
    typeCount(2, "7");
    MessageRecorder messages;
    saveTaskNamed("");
    saveTaskNamed("    ");
    EXPECT_TRUE(messages.messages.empty());
    saveTaskNamed("Задача ✓");
    EXPECT_EQ(messages.messages,
              std::vector<QString>{"В наименовании задачи есть символ «✓», которого нет в "
                                   "кодировке Windows-1251. Задача не записана."});
    for (const char* file : {"SPISOK.DBF", "ALLEL.DBF", "FENOTIP.DBF"})
        EXPECT_TRUE(storedRows(file).empty()) << file;
}

TEST(SaveTask, TheNameFieldTakesTheFirst40CharactersTypedAndNothingIsCutSilently)
{
    startWithEmptyArchive();
    enterAbo();
    const QString first40 = "Распределение групп крови в Н-ской облас";
    ASSERT_EQ(first40.size(), 40);
    {
        ModalScript script;
        script.then([&](Form& window) {
            typingName(first40 + "ти 99")(window);
            EXPECT_EQ(Form6->Edit1->text(), first40); // the field shows what will be stored
        });
        kontrol->Button3Click();
    }
    const std::vector<StoredRow> tasks = storedRows("SPISOK.DBF");
    ASSERT_EQ(tasks.size(), 1u);
    EXPECT_EQ(tasks[0].at("NAME"), first40.toStdString());

    // Another name typed with the same first 40 is the same name.
    MessageRecorder messages;
    saveTaskNamed(first40 + "ти 00");
    EXPECT_EQ(messages.messages, std::vector<QString>{duplicateMessage});
    EXPECT_EQ(storedRows("SPISOK.DBF").size(), 1u);
}

TEST(SaveTask, AlleleRowsKeepTheirPositionsAndCountsOnlyTypedPhenotypesGetRows)
{
    startWithEmptyArchive();
    // Rows 1 and 4 of the first grid and row 3 of the second; blank rows between.
    enterTask({{1, "  A  "}, {4, "t C a t"}, {28, "-"}});
    MessageRecorder messages;
    saveTaskNamed("Без счетов");
    EXPECT_TRUE(storedRows("FENOTIP.DBF").empty()); // no count typed yet
    const std::vector<StoredRow> alleles = storedRows("ALLEL.DBF");
    EXPECT_EQ(column(alleles, "NOMER"), (std::vector<std::string>{"1", "4", "28"}));
    EXPECT_EQ(column(alleles, "ALLEL"), (std::vector<std::string>{"A", "t C a t", "-"}));

    // Phenotypes «A», «A C a t», «C a t», «-»: counts typed for rows 2 and 4 only.
    ASSERT_EQ(kontrol->StringGrid3->rowCount(), 5);
    typeCount(2, " 12");
    typeCount(4, "+5");
    saveTaskNamed("Со счетами");
    const std::vector<StoredRow> counts = storedRows("FENOTIP.DBF");
    EXPECT_EQ(column(counts, "INDEX"), (std::vector<std::string>{"9998", "9998"}));
    EXPECT_EQ(column(counts, "NOMER"), (std::vector<std::string>{"2", "4"}));
    EXPECT_EQ(column(counts, "GOLOV"), (std::vector<std::string>{"12", "5"}));
    EXPECT_TRUE(messages.messages.empty());
}

TEST(SaveTask, ACountOutsideTheRuleIsNeverStored)
{
    startWithEmptyArchive();
    enterAbo();
    MessageRecorder messages;
    typeCount(1, "-5"); // refused as typed
    EXPECT_EQ(kontrol->StringGrid3->cells(2, 1), "");
    // Should a cell hold one all the same, the save names it and asks for no name.
    typeCount(2, "7");
    kontrol->StringGrid3->setCells(2, 3, "20000000");
    ModalScript script;
    kontrol->Button3Click();
    EXPECT_TRUE(script.shown.empty());
    EXPECT_EQ(messages.messages,
              (std::vector<QString>{"Допустимы только целые числа меньше 20000000",
                                    "Задача не записана в архив: поголовье фенотипа «B» "
                                    "(20000000) - не целое число от 0 до 19999999."}));
    for (const char* file : {"SPISOK.DBF", "ALLEL.DBF", "FENOTIP.DBF"})
        EXPECT_TRUE(storedRows(file).empty()) << file;
}

TEST(SaveTask, ASaveAfterADeleteReusesTheFreedRowsBeforeAppending)
{
    startWithEmptyArchive();
    enterAbo();
    typeCount(1, "1");
    typeCount(2, "2");
    saveTaskNamed("Первая"); // 9999: 3 allele rows, 2 count rows
    enterTask({{1, "M"}, {2, "N"}});
    typeCount(1, "3");
    saveTaskNamed("Вторая"); // 9998: 2 allele rows, 1 count row
    enterTask({{1, "K"}, {2, "k"}, {3, "-"}});
    typeCount(4, "4");
    saveTaskNamed("Третья"); // 9997
    // Mark the middle task as selected, so that the reuse of its row must clear OTBOR.
    DataModule4->spisok.setFilter("ot=true");
    DataModule4->spisok.setFiltered(true);
    DataModule4->spisok.first();
    DataModule4->spisok.next();
    DataModule4->spisok.edit();
    DataModule4->spisok.fieldByName("otbor").setAsBoolean(true);
    DataModule4->spisok.post();

    deleteListedTask(1); // "Вторая", 9998: live keys 9997 and 9999 remain
    EXPECT_EQ(listedNames(), (QStringList{"Третья", "Первая"}));
    EXPECT_EQ(column(storedRows("ALLEL.DBF"), "OT"),
              (std::vector<std::string>{"T", "T", "T", "F", "F", "T", "T", "T"}));

    // The next key is 9996, not the freed 9998; the task row, both allele rows and the count
    // row of "Вторая" are taken, and the third allele row is appended.
    enterTask({{1, "P"}, {2, "Q"}, {3, "R"}});
    kontrol->RadioButton1->setChecked(true);
    typeCount(6, "6");
    saveTaskNamed("Четвертая");
    const std::vector<StoredRow> tasks = storedRows("SPISOK.DBF");
    ASSERT_EQ(tasks.size(), 3u);
    EXPECT_EQ(tasks[1].at("NAME"), "Четвертая");
    EXPECT_EQ(tasks[1].at("INDEX"), "9996");
    EXPECT_EQ(tasks[1].at("OTBOR"), "");
    EXPECT_EQ(tasks[1].at("OT"), "T");
    const std::vector<StoredRow> alleles = storedRows("ALLEL.DBF");
    EXPECT_EQ(column(alleles, "ALLEL"),
              (std::vector<std::string>{"A", "B", "-", "P", "Q", "K", "k", "-", "R"}));
    EXPECT_EQ(column(alleles, "INDEX"),
              (std::vector<std::string>{"9999", "9999", "9999", "9996", "9996", "9997", "9997",
                                        "9997", "9996"}));
    EXPECT_EQ(column(alleles, "NOMER"),
              (std::vector<std::string>{"1", "2", "3", "1", "2", "1", "2", "3", "3"}));
    const std::vector<StoredRow> counts = storedRows("FENOTIP.DBF");
    EXPECT_EQ(column(counts, "INDEX"), (std::vector<std::string>{"9999", "9999", "9996", "9997"}));
    EXPECT_EQ(column(counts, "GOLOV"), (std::vector<std::string>{"1", "2", "6", "4"}));

    // Every task deleted: the key is 9999 again, and the free rows are taken lowest INDEX
    // first (the rows of 9996, then 9997, then 9999) before any is appended.
    for (int left = 3; left > 0; --left)
        deleteListedTask(0);
    EXPECT_TRUE(liveRows("ALLEL.DBF").empty());
    enterTask({{1, "X"}, {2, "Y"}, {3, "Z"}, {4, "W"}, {5, "V"}});
    saveTaskNamed("Пятая");
    const std::vector<StoredRow> reused = storedRows("ALLEL.DBF");
    ASSERT_EQ(reused.size(), 9u);
    EXPECT_EQ(column(reused, "ALLEL"),
              (std::vector<std::string>{"A", "B", "-", "X", "Y", "W", "V", "-", "Z"}));
    EXPECT_EQ(column(reused, "INDEX"),
              (std::vector<std::string>{"9999", "9999", "9999", "9999", "9999", "9999", "9999",
                                        "9997", "9999"}));
    EXPECT_EQ(liveRows("SPISOK.DBF").size(), 1u);
    EXPECT_EQ(liveRows("SPISOK.DBF")[0].at("INDEX"), "9999");
    EXPECT_EQ(storedRows("SPISOK.DBF").size(), 3u);
}

TEST(SaveTask, CountsSavedAreNotAskedAboutWhenTheWindowCloses)
{
    startWithEmptyArchive();
    enterAbo();
    // The user's close of the control window as it stands: true when a question kept it open.
    const auto closeKeepsIt = [] {
        kontrol->show();
        kontrol->windowHandle()->close();
        QCoreApplication::processEvents();
        const bool kept = kontrol->isVisible();
        kontrol->hide();
        return kept;
    };
    typeCount(1, "12");
    saveTaskNamed("Записанная");
    typeCount(2, "3");
    MessageRecorder messages;    // every question answered "Нет"
    saveTaskNamed("записанная"); // refused: the name is taken, the count not saved
    EXPECT_TRUE(closeKeepsIt());
    saveTaskNamed("Вторая");
    EXPECT_FALSE(closeKeepsIt()); // nothing left to lose
    EXPECT_EQ(messages.questions.size(), 1u);
}
