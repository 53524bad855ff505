// The control window driven as a user drives it: its set-up on both roads, counts typed
// with real key events into the column "Факт", the warning window's answers and the
// finishing button.
#include "task/gui/TForm9.h"
#include "task/gui/Tantigen.h"
#include "task/gui/Tkontrol.h"
#include "task/task_state.h"
#include "tests/support/allele_entry.h"
#include "tests/support/print_qstring.h"
#include "toolkit/message.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QTableWidget>
#include <QTest>
#include <QWindow>
#include <gtest/gtest.h>

namespace {

constexpr int countColumn = 2;

// Types the allele rows into the allele window and runs its check, as "Проверка и
// переход к фенотипам" does before it shows the control window.
void prepareTask(const std::vector<QString>& alleles, bool dominance = false)
{
    enterAlleles(alleles, dominance);
    ASSERT_TRUE(antigen->checkAlleleList());
}

// Shows the control window as the allele window does and runs the action inside it.
void inControlWindow(const std::function<void()>& action)
{
    ModalScript script(ModalScript::Mode::inWindowLoop);
    script.then([&](Form&) {
        QApplication::setActiveWindow(kontrol);
        action();
    });
    kontrol->showModal();
}

StringGrid* phenotypeGrid()
{
    return kontrol->StringGrid3;
}

// Where keys go: the cell's editor once it is open, otherwise the grid.
QWidget* keyTarget()
{
    QTableWidget* table = phenotypeGrid()->table();
    QWidget* editor = table->indexWidget(table->currentIndex());
    return editor ? editor : table;
}

QLineEdit* editor()
{
    QTableWidget* table = phenotypeGrid()->table();
    return qobject_cast<QLineEdit*>(table->indexWidget(table->currentIndex()));
}

void selectCell(int col, int row)
{
    // Enter leaves an open editor, as a user would before moving on.
    if (QLineEdit* open = editor()) QTest::keyClick(open, Qt::Key_Return);
    phenotypeGrid()->table()->setFocus();
    phenotypeGrid()->setCurrentCell(col, row);
}

void typeKey(char key)
{
    QTest::keyClick(keyTarget(), key);
}

void typeKey(Qt::Key key)
{
    QTest::keyClick(keyTarget(), key);
}

// Replaces the cell's whole text at once, as a paste into the opened editor does.
void pasteWhole(int col, int row, const QString& text)
{
    selectCell(col, row);
    QGuiApplication::clipboard()->setText(text);
    QTest::keyClick(phenotypeGrid()->table(), Qt::Key_F2);
    ASSERT_NE(editor(), nullptr);
    QTest::keyClick(editor(), Qt::Key_V, Qt::ControlModifier);
}

QString total()
{
    return kontrol->Label1->text();
}

QString count(int row)
{
    return phenotypeGrid()->cells(countColumn, row);
}

// As a completed calculation leaves them.
void showResults()
{
    kontrol->Label4->setText("Хи^2 =  0.000");
    for (Button* b : {kontrol->Button4, kontrol->Button5, kontrol->Button7})
        b->setVisible(true);
}

bool resultsHidden()
{
    return kontrol->Label4->text() == " " && !kontrol->Button4->isVisible() &&
           !kontrol->Button5->isVisible() && !kontrol->Button7->isVisible();
}

std::vector<QString> column(StringGrid* grid, int col)
{
    std::vector<QString> texts;
    for (int r = 0; r < grid->rowCount(); ++r)
        texts.push_back(grid->cells(col, r));
    return texts;
}

using Texts = std::vector<QString>;

// The window system's close request, as the title bar's close box sends it.
void closeByUser()
{
    kontrol->windowHandle()->close();
    QCoreApplication::processEvents();
}

} // namespace

TEST(ControlWindow, SetUpListsAllelesTestsAndPhenotypesOfANewTask)
{
    prepareTask({"t C a", "-", "B C"});
    // Leftovers of an earlier task that the set-up must clear.
    showResults();
    kontrol->RadioButton3->setChecked(true);
    inControlWindow([] {
        EXPECT_EQ(kontrol->windowTitle(),
                  "Проверьте списки аллелей и тестов. Если нет ошибок, введите фактическое "
                  "поголовье фенотипов и нажмите кнопку \"Начать расчет\".");
        EXPECT_EQ(column(kontrol->StringGrid1, 0), (Texts{"№", "1", "2", "3"}));
        EXPECT_EQ(column(kontrol->StringGrid1, 1), (Texts{"Аллели", "C a t ", "- ", "B C "}));
        EXPECT_EQ(column(kontrol->StringGrid1, 2), (Texts{"Частоты", "", "", ""}));
        EXPECT_EQ(column(kontrol->StringGrid2, 1), (Texts{"Тесты", "t", "C", "a", "B"}));
        EXPECT_EQ(column(phenotypeGrid(), 0), (Texts{"№", "1", "2", "3", "4"}));
        EXPECT_EQ(column(phenotypeGrid(), 1),
                  (Texts{"Фенотип", "C a t ", "B C a t ", "- ", "B C "}));
        EXPECT_EQ(column(phenotypeGrid(), 4),
                  (Texts{"Генотипический состав класса", "(C a t/C a t), (C a t/-)", "(C a t/B C)",
                         "(-/-)", "(-/B C), (B C/B C)"}));
        EXPECT_EQ(column(phenotypeGrid(), 2), (Texts{"Факт", "", "", "", ""}));
        EXPECT_EQ(column(phenotypeGrid(), 3), (Texts{"Расчет", "", "", "", ""}));
        const int widths[] = {24, 120, 50, 50, 890};
        for (int c = 0; c < 5; ++c)
            EXPECT_EQ(phenotypeGrid()->colWidth(c), widths[c]);
        EXPECT_EQ(kontrol->StringGrid1->colWidth(2), 48);
        EXPECT_EQ(kontrol->StringGrid2->colWidth(1), 160);
        EXPECT_EQ(total(), "0");
        EXPECT_TRUE(kontrol->RadioButton1->isChecked());
        EXPECT_EQ(kontrol->Label4->text(), "");
        EXPECT_FALSE(kontrol->Button4->isVisible());
        EXPECT_FALSE(kontrol->Button5->isVisible());
        EXPECT_FALSE(kontrol->Button7->isVisible());
        EXPECT_TRUE(kontrol->Button2->isVisible());
        EXPECT_EQ(kontrol->focusWidget(), phenotypeGrid()->table());
        EXPECT_EQ(phenotypeGrid()->row(), 1);
    });
}

TEST(ControlWindow, EveryKeystrokeInFaktRecountsTheTotalAndHidesResults)
{
    prepareTask({"A", "B", "-"});
    inControlWindow([] {
        selectCell(countColumn, 2);
        typeKey('4');
        typeKey('0');
        EXPECT_EQ(total(), "40");

        showResults();
        selectCell(countColumn, 1);
        typeKey('1');
        EXPECT_EQ(count(1), "1");
        EXPECT_EQ(total(), "41");
        EXPECT_TRUE(resultsHidden());
        typeKey('2');
        EXPECT_EQ(total(), "52");
        typeKey('3');
        EXPECT_EQ(count(1), "123");
        EXPECT_EQ(total(), "163");

        showResults();
        typeKey(Qt::Key_Backspace);
        EXPECT_EQ(total(), "52");
        EXPECT_TRUE(resultsHidden());
        typeKey(Qt::Key_Backspace);
        EXPECT_EQ(total(), "41");
        typeKey(Qt::Key_Backspace);
        EXPECT_EQ(count(1), "");
        EXPECT_EQ(total(), "40");
    });
}

TEST(ControlWindow, ARefusedKeyOrPasteShowsTheMessageAndTheCellKeepsItsText)
{
    prepareTask({"A", "B", "-"});
    // Real message boxes, answered in their own event loops as a user answers them.
    MessageRecorder messages(MessageRecorder::Mode::showAndAnswer);
    inControlWindow([&] {
        selectCell(countColumn, 4);
        typeKey('9');
        selectCell(countColumn, 1);
        for (char digit : std::string("2000000"))
            typeKey(digit);
        EXPECT_EQ(total(), "2000009");
        EXPECT_TRUE(messages.messages.empty());
        typeKey('0'); // 20000000 is not below the limit
        ASSERT_EQ(messages.messages.size(), 1u);
        EXPECT_EQ(messages.last(), "Допустимы только целые числа меньше 20000000");
        EXPECT_EQ(count(1), "2000000");
        EXPECT_EQ(editor()->text(), "2000000");
        EXPECT_EQ(total(), "2000009");

        // «186», then a letter in the middle: the number stays, the cursor where it was.
        selectCell(countColumn, 2);
        for (char key : std::string("186"))
            typeKey(key);
        typeKey(Qt::Key_Left);
        typeKey('x');
        EXPECT_EQ(count(2), "186");
        EXPECT_EQ(editor()->cursorPosition(), 2);
        typeKey(Qt::Key_End);
        typeKey(' '); // a blank after the digits
        typeKey('-');
        EXPECT_EQ(count(2), "186");
        EXPECT_EQ(total(), "2000195");
        EXPECT_EQ(messages.messages.size(), 4u);

        // A minus is refused the moment it is typed, in an empty cell too.
        selectCell(countColumn, 3);
        typeKey('-');
        EXPECT_EQ(count(3), "");
        EXPECT_EQ(messages.messages.size(), 5u);

        for (const char* refused : {"1.5", "12 ", "20000000", "2147483648", "-5", "abc"}) {
            pasteWhole(countColumn, 2, refused);
            EXPECT_EQ(count(2), "186") << refused;
        }
        EXPECT_EQ(messages.messages.size(), 11u);
        EXPECT_EQ(count(4), "9");
        EXPECT_EQ(total(), "2000195");
    });
}

TEST(ControlWindow, PastedLeadingBlankAndPlusAreAccepted)
{
    prepareTask({"A", "B", "-"});
    MessageRecorder messages;
    inControlWindow([&] {
        pasteWhole(countColumn, 1, " 12");
        EXPECT_EQ(count(1), " 12");
        EXPECT_EQ(total(), "12");
        // The paste replaces the whole text of a filled cell.
        pasteWhole(countColumn, 1, "+30");
        EXPECT_EQ(count(1), "+30");
        EXPECT_EQ(total(), "30");
        EXPECT_TRUE(messages.messages.empty());
        EXPECT_TRUE(resultsHidden());
    });
}

TEST(ControlWindow, CountsPastedFromASpreadsheetFillTheRowsBelowEachChecked)
{
    prepareTask({"A", "B", "-"});
    MessageRecorder messages(MessageRecorder::Mode::showAndAnswer);
    inControlWindow([&] {
        selectCell(countColumn, 4);
        typeKey('5');
        selectCell(countColumn, 1);
        QGuiApplication::clipboard()->setText("A\t36\nA B\t4.5\nB\t16\n-\t9\n");
        QTest::keyClick(phenotypeGrid()->table(), Qt::Key_V, Qt::ControlModifier);
        EXPECT_EQ(column(phenotypeGrid(), countColumn), (Texts{"Факт", "36", "", "16", "9"}));
        EXPECT_EQ(messages.messages, (std::vector<QString>{"Допустимы только целые числа меньше "
                                                           "20000000\nНе изменены строки: 2."}));
        EXPECT_EQ(total(), "61");
        EXPECT_TRUE(resultsHidden());

        // A column with a non-number, a negative and an exponent over earlier counts: one
        // message for the paste, and those rows keep what they held.
        QGuiApplication::clipboard()->setText("10\nabc\n-5\n1e3");
        QTest::keyClick(phenotypeGrid()->table(), Qt::Key_V, Qt::ControlModifier);
        EXPECT_EQ(column(phenotypeGrid(), countColumn), (Texts{"Факт", "10", "", "16", "9"}));
        EXPECT_EQ(messages.last(),
                  "Допустимы только целые числа меньше 20000000\nНе изменены строки: 2, 3, 4.");
        EXPECT_EQ(total(), "35");

        // Two lines pasted into an open editor go the same way; lines past the end are told.
        selectCell(countColumn, 3);
        typeKey('1');
        QGuiApplication::clipboard()->setText("7\n8\n9");
        QTest::keyClick(editor(), Qt::Key_V, Qt::ControlModifier);
        EXPECT_EQ(count(3), "7");
        EXPECT_EQ(count(4), "8");
        EXPECT_EQ(total(), "25");
        EXPECT_EQ(messages.messages.size(), 3u);

        QTableWidget* table = phenotypeGrid()->table();
        table->clearSelection();
        table->setRangeSelected(QTableWidgetSelectionRange(0, 0, 1, 1), true);
        QTest::keyClick(table, Qt::Key_C, Qt::ControlModifier);
        EXPECT_EQ(QGuiApplication::clipboard()->text(), "A \t10\nA B \t");
    });
}

TEST(ControlWindow, OnlyTheCountColumnGetsAnEditor)
{
    prepareTask({"A", "B"});
    MessageRecorder messages;
    inControlWindow([&] {
        QTableWidget* table = phenotypeGrid()->table();
        for (int col : {1, 3, 4}) {
            selectCell(col, 2);
            EXPECT_FALSE(phenotypeGrid()->editing()) << col;
            const QString before = phenotypeGrid()->cells(col, 2);
            QTest::keyClick(table, '7');
            QTest::keyClick(table, Qt::Key_F2);
            const QRect cell = table->visualRect(table->currentIndex());
            QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, cell.center());
            EXPECT_EQ(editor(), nullptr) << col;
            EXPECT_EQ(phenotypeGrid()->cells(col, 2), before) << col;
        }
        selectCell(countColumn, 2);
        EXPECT_TRUE(phenotypeGrid()->editing());
        QTest::keyClick(table, '7');
        ASSERT_NE(editor(), nullptr);
        EXPECT_EQ(count(2), "7");
        // Clicking another column closes the way into editing again.
        selectCell(1, 2);
        EXPECT_FALSE(phenotypeGrid()->editing());
    });
    EXPECT_TRUE(messages.messages.empty());
}

TEST(ControlWindow, ArchiveRoadKeepsAndSumsTheCountsBeyondThirtyTwoBitsOnce)
{
    // 15 codominant alleles, each a single test: 120 phenotypes. 120 counts of 19999999
    // sum to 2399999880, past 2^31 - 1.
    std::vector<QString> alleles;
    for (int i = 1; i <= 15; ++i)
        alleles.push_back(QString("T%1").arg(i));
    prepareTask(alleles);
    inControlWindow([] {});
    ASSERT_EQ(phenotypeGrid()->rowCount(), 121);

    // The archive window puts the stored counts into the column and sets both flags.
    for (int r = 1; r <= 120; ++r)
        phenotypeGrid()->setCells(countColumn, r, "19999999");
    phenotypeGrid()->setCells(countColumn, 7, "");
    phenotypeGrid()->setCells(countColumn, 9, " 19999999 ");
    kontrol->RadioButton2->setChecked(true);
    task.archiveMode = true;
    task.archiveCountsPending = true;
    inControlWindow([] {
        EXPECT_EQ(count(1), "19999999");
        EXPECT_EQ(count(9), " 19999999 ");
        EXPECT_EQ(total(), "2379999881");
        // No stored criterion in the current task record: the choice stays as it was.
        EXPECT_TRUE(kontrol->RadioButton2->isChecked());
        EXPECT_FALSE(task.archiveCountsPending);

        // A keystroke recounts the whole column, still exactly.
        selectCell(countColumn, 7);
        typeKey('5');
        EXPECT_EQ(total(), "2379999886");
    });
    // Any later set-up starts afresh.
    inControlWindow([] {
        EXPECT_EQ(count(1), "");
        EXPECT_EQ(total(), "0");
        EXPECT_TRUE(kontrol->RadioButton1->isChecked());
    });
    task.archiveMode = false;
}

TEST(ControlWindow, WarningWindowTextAndItsOnlyWayOut)
{
    EXPECT_EQ(Form9->windowTitle(), "ВНИМАНИЕ!!");
    EXPECT_FALSE(Form9->windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(Form9->windowFlags() & Qt::WindowSystemMenuHint);
    const QStringList lines = Form9->Memo1->lines();
    ASSERT_EQ(lines.size(), 17);
    EXPECT_EQ(lines[2], "Вероятно, Вы обнаружили ошибку. ");
    EXPECT_EQ(lines[3], "");
    EXPECT_EQ(lines[8],
              " 2) В одном и том же тесте ошибочно использованы в одном месте заглавные, ");
    EXPECT_EQ(lines[16], "введенное ранее количество фенотипов БУДЕТ ОБНУЛЕНО.");
    EXPECT_TRUE(Form9->Memo1->isReadOnly());
    EXPECT_EQ(Form9->Button1->text(), "НАДО корректировать аллели");
    EXPECT_EQ(Form9->Button2->text(), "НЕ НАДО корректировать аллели");

    ModalScript script;
    script.then([](Form& window) {
        // The title bar's close request is refused: only the buttons leave the window.
        QCloseEvent byUser;
        QApplication::sendEvent(window.windowHandle(), &byUser);
        QTest::keyClick(&window, Qt::Key_Escape);
        EXPECT_TRUE(window.isVisible());
        Form9->Button1->click();
        EXPECT_FALSE(window.isVisible());
    });
    EXPECT_TRUE(Form9->askToCorrectAlleles());
}

TEST(ControlWindow, CorrectingANewTaskGoesBackToTheAlleleWindow)
{
    prepareTask({"A", "B"});
    {
        // Total 0: no warning, the control window closes over the allele window.
        ModalScript script;
        script.then([](Form&) {
            kontrol->Button1->click();
            EXPECT_FALSE(kontrol->isVisible());
        });
        kontrol->showModal();
        EXPECT_EQ(script.shown, Texts{"kontrol"});
    }
    {
        // Counts typed: the warning comes first; "НЕ НАДО" leaves everything as it was.
        ModalScript script(ModalScript::Mode::inWindowLoop);
        script.then([](Form&) {
            QApplication::setActiveWindow(kontrol);
            selectCell(countColumn, 1);
            typeKey('8');
            selectCell(1, 1);
            kontrol->Button1->click();
            EXPECT_TRUE(kontrol->isVisible());
            EXPECT_EQ(count(1), "8");
            EXPECT_EQ(total(), "8");
            kontrol->Button1->click();
            EXPECT_FALSE(kontrol->isVisible());
        });
        script.then([](Form&) { Form9->Button2->click(); });
        script.then([](Form&) { Form9->Button1->click(); });
        kontrol->showModal();
        EXPECT_EQ(script.shown, (Texts{"kontrol", "Form9", "Form9"}));
        EXPECT_FALSE(task.archiveMode);
    }
}

TEST(ControlWindow, CorrectingAnOpenedTaskShowsTheAlleleWindowThenSetsUpAgain)
{
    prepareTask({"A", "B"});
    inControlWindow([] {});
    phenotypeGrid()->setCells(countColumn, 1, "36");
    phenotypeGrid()->setCells(countColumn, 2, "48");
    phenotypeGrid()->setCells(countColumn, 3, "16");
    kontrol->RadioButton3->setChecked(true);
    task.archiveMode = true;
    task.archiveCountsPending = true;

    ModalScript script(ModalScript::Mode::inWindowLoop);
    script.then([](Form&) {
        EXPECT_EQ(total(), "100");
        kontrol->Button1->click(); // a warning first, answered "НЕ НАДО"
        EXPECT_EQ(total(), "100");
        EXPECT_EQ(count(2), "48");
        kontrol->Button1->click(); // then "НАДО": the allele window, then a new set-up
        EXPECT_TRUE(kontrol->isVisible());
        EXPECT_EQ(column(phenotypeGrid(), 1),
                  (Texts{"Фенотип", "A ", "A B ", "A C ", "B ", "B C ", "C "}));
        EXPECT_EQ(column(phenotypeGrid(), 2), (Texts{"Факт", "", "", "", "", "", ""}));
        EXPECT_EQ(total(), "0");
        EXPECT_TRUE(kontrol->RadioButton1->isChecked());

        // Closing the allele window by its close box sets up again just the same.
        phenotypeGrid()->setCells(countColumn, 1, "5");
        kontrol->Label1->setText("5");
        kontrol->Button1->click();
        EXPECT_EQ(count(1), "");
        EXPECT_EQ(total(), "0");
    });
    script.then([](Form&) { Form9->Button2->click(); });
    script.then([](Form&) { Form9->Button1->click(); });
    script.then([](Form&) {
        EXPECT_EQ(antigen->alleleCell(1), "A");
        antigen->StringGrid1->setCells(1, 3, "C");
        antigen->Button1->click();
    });
    script.then([](Form&) { Form9->Button1->click(); });
    script.then([](Form&) {}); // the allele window, closed by its close box
    kontrol->showModal();
    EXPECT_EQ(script.shown, (Texts{"kontrol", "Form9", "Form9", "antigen", "Form9", "antigen"}));
    EXPECT_EQ(task.alleleCount, 3);
    task.archiveMode = false;
}

TEST(ControlWindow, ReportButtonsShowTheReportsAndTheLastButtonEndsTheProgram)
{
    prepareTask({"A", "B"});
    MessageRecorder messages;
    ModalScript script;
    script.then([](Form&) {
        kontrol->Button4Click();
        kontrol->Button5Click();
        kontrol->Button6->click();
    });
    kontrol->showModal();
    EXPECT_EQ(script.shown, (Texts{"kontrol", "Form2", "Form3"}));
    EXPECT_TRUE(messages.terminateRequested);
}

TEST(ControlWindow, ClosingOrFinishingWithCountsNotSavedAsksFirst)
{
    prepareTask({"A", "B"});
    const QString lost = "Поголовье фенотипов, введенное после последней записи задачи в архив, "
                         "будет потеряно. ";
    MessageRecorder messages(MessageRecorder::Mode::showAndAnswer);
    inControlWindow([&] {
        kontrol->Button6->click(); // nothing typed: nothing to ask
        EXPECT_TRUE(messages.terminateRequested);
        closeByUser();
        EXPECT_FALSE(kontrol->isVisible());
    });
    EXPECT_TRUE(messages.questions.empty());

    messages.terminateRequested = false;
    messages.answers = {false, false, true};
    inControlWindow([&] {
        selectCell(countColumn, 1);
        typeKey('7');
        closeByUser(); // "Нет": the window and its count stay
        EXPECT_TRUE(kontrol->isVisible());
        EXPECT_EQ(count(1), "7");
        kontrol->Button6->click(); // "Нет": the program goes on
        EXPECT_FALSE(messages.terminateRequested);
        closeByUser(); // "Да"
        EXPECT_FALSE(kontrol->isVisible());
    });
    messages.answers = {true};
    inControlWindow([&] {
        selectCell(countColumn, 2);
        typeKey('3');
        kontrol->Button6->click(); // "Да"
        EXPECT_TRUE(messages.terminateRequested);
    });
    EXPECT_EQ(messages.questions,
              (Texts{lost + "Закрыть окно?", lost + "Завершить работу с программой?",
                     lost + "Закрыть окно?", lost + "Завершить работу с программой?"}));
}
