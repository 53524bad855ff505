#include "tests/archive/archive_windows.h"

#include "archive/gui/TDataModule4.h"
#include "archive/gui/TForm6.h"
#include "archive/gui/Tarhiv.h"
#include "platform/clock.h"
#include "task/gui/Tantigen.h"
#include "task/gui/Tkontrol.h"
#include "task/task_state.h"
#include "tests/support/typing.h"
#include "toolkit/form.h"
#include "toolkit/message.h"

#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>

#include <filesystem>

void startWithEmptyArchive()
{
    for (Table* table :
         {&DataModule4->spisok, &DataModule4->allel, &DataModule4->fenotip, &DataModule4->metki}) {
        table->close();
        table->setFilter("");
        table->setFiltered(false);
    }
    for (const char* file : {"SPISOK.DBF", "SPISOK.CDX", "ALLEL.DBF", "ALLEL.CDX", "FENOTIP.DBF",
                             "FENOTIP.CDX", "METKI.DBF", "METKI.CDX"})
        std::filesystem::remove(file);
    DataModule4->openTables();
    for (DataSource* source :
         {&DataModule4->dsspisok, &DataModule4->dsallel, &DataModule4->dsfenotip})
        source->setEnabled(true);
    setClockForTests([] { return LocalDateTime{2024, 3, 5, 9, 5, 0}; });
    task = TaskState{};
    antigen->layOutGrids(true);
    antigen->RadioButton1->setChecked(true);
}

void enterTask(const std::map<int, QString>& rows, bool dominance)
{
    task.archiveMode = false;
    task.archiveName = Cp1251Text(); // a new task, as the main window starts one
    for (int k = 1; k <= 50; ++k) {
        const auto row = rows.find(k);
        const QString text = row == rows.end() ? QString() : row->second;
        if (k <= 25)
            antigen->StringGrid1->setCells(1, k, text);
        else
            antigen->StringGrid2->setCells(1, k - 25, text);
    }
    (dominance ? antigen->RadioButton2 : antigen->RadioButton1)->setChecked(true);
    ASSERT_TRUE(antigen->checkAlleleList());
    kontrol->setUpControlWindow();
}

void typeCount(int r, const QString& text)
{
    if (!kontrol->StringGrid3AcceptEdit(2, text)) return;
    kontrol->StringGrid3->setCells(2, r, text);
    kontrol->StringGrid3SetEditText(2, r, text);
}

ModalScript::Action typingName(const QString& name)
{
    return [name](Form&) {
        Form6->Edit1->setFocus();
        typeText(Form6->Edit1, name);
    };
}

void saveTaskNamed(const QString& name)
{
    ModalScript script;
    script.then(typingName(name));
    kontrol->Button3Click();
    EXPECT_EQ(script.shown, std::vector<QString>{"Form6"});
}

void inArchiveWindow(const std::function<void()>& action, std::vector<ModalScript::Action> further)
{
    ModalScript script;
    script.then([&](Form&) { action(); });
    for (ModalScript::Action& next : further)
        script.then(std::move(next));
    arhiv->showModal();
    EXPECT_TRUE(script.actions.empty()) << "a window expected was not shown";
}

void openListedTask(int line)
{
    inArchiveWindow([&] {
        clickListLine(line);
        arhiv->Button1Click();
    });
}

void deleteListedTask(int line)
{
    MessageRecorder answers;
    answers.answers = {true}; // "Удалить задачу …?" – "Да"
    inArchiveWindow([&] {
        clickListLine(line);
        arhiv->Button2Click();
    });
}

QStringList listedNames()
{
    QStringList names;
    for (int line = 0; line < arhiv->DBGrid1->lineCount(); ++line)
        names << arhiv->DBGrid1->text(2, line);
    return names;
}

void clickListLine(int line)
{
    QTableView* view = arhiv->DBGrid1->view();
    const QRect cell = view->visualRect(view->model()->index(line, 2));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
}
