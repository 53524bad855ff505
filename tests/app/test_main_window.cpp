// The main window: its layout, focus order, activation, the way to a new task and the question
// before it ends the program.
#include "app/TForm1.h"
#include "task/gui/Tantigen.h"
#include "task/gui/Tkontrol.h"
#include "task/task_state.h"
#include "tests/support/allele_entry.h"
#include "tests/support/typing.h"
#include "tests/support/whole_lines.h"
#include "toolkit/message.h"

#include <QApplication>
#include <QTableWidget>
#include <QWindow>
#include <gtest/gtest.h>

TEST(MainWindow, LayoutAndTexts)
{
    EXPECT_EQ(Form1->windowTitle(), "Тарвенис. Велимор.");
    EXPECT_EQ(Form1->size(), QSize(979, 734));
    EXPECT_EQ(Form1->Memo1->size(), QSize(577, 585));
    const QStringList lines = Form1->Memo1->lines();
    ASSERT_EQ(lines.size(), 46);
    EXPECT_EQ(lines[0], "    Эта программа рассчитывает вероятности аллелей одного локуса на "
                        "основании данных о поголовье ");
    EXPECT_EQ(
        lines[43],
        "   Все эти пояснения, конечно, весьма субъективны. Объективно число, а не его трактовка.");
    EXPECT_EQ(lines[44], " ");
    EXPECT_EQ(lines[45], "");

    const std::vector<Button*> buttons = {Form1->Button2, Form1->Button1, Form1->Button3,
                                          Form1->Button4};
    const QStringList captions = {"Новая задача", "Архив задач",
                                  "Сохранение архива на резервном носителе",
                                  "Восстановление архива с резервного носителя"};
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        EXPECT_EQ(buttons[i]->text(), captions[static_cast<int>(i)]);
        EXPECT_EQ(buttons[i]->width(), 261);
        if (i > 0) {
            EXPECT_GT(buttons[i]->y(), buttons[i - 1]->y());
        }
    }
    for (Image* image : {Form1->Image2, Form1->Image3, Form1->Image4})
        EXPECT_FALSE(image->pixmap().isNull());
    EXPECT_LT(Form1->Image3->x(), Form1->Image4->x());
    EXPECT_GT(Form1->Image2->y(), Form1->Button4->y());
}

TEST(MainWindow, EveryHelpLineIsOneLineOfTheBox)
{
    Form1->show();
    expectLinesWhole(*Form1->Memo1);
}

TEST(MainWindow, FocusOrder)
{
    EXPECT_EQ(Form1->Button1->nextInFocusChain(), Form1->Button2);
    EXPECT_EQ(Form1->Button2->nextInFocusChain(), Form1->Memo1);
    QWidget* afterMemo = Form1->Memo1->nextInFocusChain();
    while (afterMemo && afterMemo->focusPolicy() == Qt::NoFocus)
        afterMemo = afterMemo->nextInFocusChain();
    EXPECT_EQ(afterMemo, Form1->Button3);
    EXPECT_EQ(Form1->Button3->nextInFocusChain(), Form1->Button4);
}

TEST(MainWindow, ActivationClearsTheArchiveFlagAndNewTaskOpensTheAlleleWindow)
{
    task.archiveMode = true;
    Form1->showAsMainWindow();
    EXPECT_FALSE(task.archiveMode);

    task.archiveMode = true;
    ModalScript script;
    bool archiveModeInside = true;
    script.then([&](Form&) { archiveModeInside = task.archiveMode; });
    Form1->Button2->click();
    EXPECT_EQ(script.shown, std::vector<QString>{"antigen"});
    EXPECT_FALSE(archiveModeInside);
}

TEST(MainWindow, ClosingItWithCountsNotSavedAsksFirst)
{
    // Counts typed in the control window, which the program then closed without a question.
    enterAlleles({"A", "B"});
    ASSERT_TRUE(antigen->checkAlleleList());
    ModalScript script(ModalScript::Mode::inWindowLoop);
    script.then([](Form&) {
        QApplication::setActiveWindow(kontrol);
        kontrol->StringGrid3->setCurrentCell(2, 1);
        typeText(kontrol->StringGrid3->table(), "5");
    });
    kontrol->showModal();
    ASSERT_EQ(kontrol->StringGrid3->cells(2, 1), "5");

    Form1->show();
    MessageRecorder messages(MessageRecorder::Mode::showAndAnswer);
    messages.answers = {false, true};
    Form1->windowHandle()->close(); // "Нет"
    EXPECT_TRUE(Form1->isVisible());
    Form1->windowHandle()->close(); // "Да"
    EXPECT_FALSE(Form1->isVisible());
    EXPECT_EQ(messages.questions,
              std::vector<QString>(2, "Поголовье фенотипов, введенное после последней записи "
                                      "задачи в архив, будет потеряно. Завершить работу с "
                                      "программой?"));
}
