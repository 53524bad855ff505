// The allele window driven through its grids with real key events.
#include "task/gui/Tantigen.h"
#include "task/task_state.h"
#include "tests/support/typing.h"
#include "tests/support/whole_lines.h"
#include "toolkit/message.h"

#include <QApplication>
#include <QTableWidget>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// Shows the allele window for a new task, types the rows, presses the check button and
// returns the messages shown and the windows shown over it.
struct CheckRun
{
    std::vector<QString> messages;
    std::vector<QString> shown;
};

CheckRun typeAndCheck(const std::vector<std::pair<int, QString>>& rows)
{
    task.archiveMode = false;
    MessageRecorder messages(MessageRecorder::Mode::showAndAnswer);
    ModalScript script(ModalScript::Mode::inWindowLoop);
    script.then([&](Form&) {
        for (const auto& [alleleNumber, text] : rows) {
            StringGrid* grid = alleleNumber <= 25 ? antigen->StringGrid1 : antigen->StringGrid2;
            typeIntoCell(grid, 1, alleleNumber <= 25 ? alleleNumber : alleleNumber - 25, text);
        }
        antigen->Button1->click();
    });
    antigen->showModal();
    return {messages.messages, script.shown};
}

} // namespace

TEST(AlleleWindow, EveryInstructionLineIsOneLineOfTheBox)
{
    task.archiveMode = false;
    ModalScript script;
    script.then([](Form&) {
        expectLinesWhole(*antigen->Memo1);
        antigen->close();
    });
    antigen->showModal();
    EXPECT_EQ(script.shown.size(), 1u);
}

TEST(AlleleWindow, TypedDuplicateIsRefusedAndTheWindowStays)
{
    const CheckRun run = typeAndCheck({{1, " t C a  t "}, {2, "a C C t"}});
    ASSERT_EQ(run.messages.size(), 1u);
    EXPECT_EQ(run.messages[0], "Аллель с тестами C a t  повторяется. Исправьте!!!");
    EXPECT_EQ(run.shown, std::vector<QString>{"antigen"});
}

TEST(AlleleWindow, TypedMinusMistakesShowTheirMessages)
{
    EXPECT_EQ(typeAndCheck({{1, "A -"}}).messages,
              std::vector<QString>{"Минус не может совмещаться с другими тестами!! Исправьте.."});
    EXPECT_EQ(typeAndCheck({{1, "-"}, {3, "-"}}).messages,
              std::vector<QString>{"Минус может иметь ТОЛЬКО ОДИН АЛЛЕЛЬ!! Исправьте.."});
    EXPECT_EQ(typeAndCheck({}).messages, std::vector<QString>{"Список аллелей пуст!!!"});
    EXPECT_EQ(typeAndCheck({{30, "Кв"}}).messages,
              std::vector<QString>{"Только один аллель - задача не имеет смысла..."});
}

TEST(AlleleWindow, APassedCheckShowsTheControlWindowAndClosingEmptiesTheGrids)
{
    const CheckRun run = typeAndCheck({{1, "A"}, {26, "-"}});
    EXPECT_TRUE(run.messages.empty());
    EXPECT_EQ(run.shown, (std::vector<QString>{"antigen", "kontrol"}));
    EXPECT_EQ(task.alleleCount, 2);
    EXPECT_EQ(task.alleleNames[2].bytes(), "- ");
    // Leaving a new task through the close box empties both grids and selects codominance.
    EXPECT_TRUE(antigen->alleleCell(1).isEmpty());
    EXPECT_TRUE(antigen->alleleCell(26).isEmpty());
    EXPECT_TRUE(antigen->RadioButton1->isChecked());
}

TEST(AlleleWindow, AnOpenedTaskKeepsItsGridsAndTheDominanceMode)
{
    task.archiveMode = true;
    antigen->StringGrid1->setCells(1, 1, "A");
    antigen->StringGrid1->setCells(1, 2, "B");
    antigen->RadioButton2->setChecked(true);
    ModalScript script;
    script.then([](Form&) { antigen->Button1->click(); });
    antigen->showModal();
    // The check passed, so the window closed itself and showed nothing over it.
    EXPECT_EQ(script.shown, std::vector<QString>{"antigen"});
    EXPECT_EQ(antigen->alleleCell(1), "A");
    EXPECT_EQ(task.alleleCount, 2);
    task.archiveMode = false;
    antigen->showModal();
    EXPECT_TRUE(antigen->alleleCell(1).isEmpty());
    EXPECT_TRUE(antigen->RadioButton1->isChecked());
}

TEST(AlleleWindow, ShownAgainAfterBothWindowsClosedItTakesTheKeysInTheFirstRow)
{
    task.archiveMode = false;
    ModalScript script(ModalScript::Mode::inWindowLoop);
    script.then([](Form&) {
        typeIntoCell(antigen->StringGrid1, 1, 1, "A");
        typeIntoCell(antigen->StringGrid1, 1, 2, "-");
        QTest::mouseClick(antigen->Button1, Qt::LeftButton); // the button takes the focus
    });
    script.then([](Form&) {}); // the control window, then both closed
    script.then([](Form&) {
        EXPECT_EQ(QApplication::focusWidget(), antigen->StringGrid1->table());
        EXPECT_EQ(antigen->StringGrid1->row(), 1);
        // Keys typed at once, with no click, go into the name of allele 1.
        typeText(antigen, "Kell");
        QTest::keyClick(keyTarget(antigen), Qt::Key_Return);
        EXPECT_EQ(antigen->alleleCell(1), "Kell");
    });
    antigen->showModal();
    antigen->showModal();
    EXPECT_EQ(script.shown, (std::vector<QString>{"antigen", "kontrol", "antigen"}));
}
