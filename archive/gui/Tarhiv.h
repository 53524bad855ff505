// The archive window: the list of saved tasks (the live rows of SPISOK, newest first) with
// its buttons to open a task into the allele and control windows, to delete one, and to
// narrow the list to the tasks whose names contain a key, and to compare tasks of the list.
#pragma once

#include "toolkit/controls.h"
#include "toolkit/db_grid.h"
#include "toolkit/form.h"

class TCompareTasks;

class Tarhiv : public Form
{
public:
    Tarhiv();

    Label* Label1;   // "Список задач архива"
    DBGrid* DBGrid1; // SPISOK through dsspisok; the selected line is the current task
    Button* Button1; // "Открыть задачу"
    Button* Button3; // "Выделить задачу"
    Button* Button4; // "Отменить выделение задач"
    Button* Button2; // "Удалить задачу"
    Button* Button5; // "Сравнить задачи"

    TCompareTasks* CompareTasks; // the window Button5 opens

    void Button1Click();
    void Button2Click();
    void Button3Click();
    void Button4Click();
    void Button5Click();

protected:
    void FormActivate() override;
};

extern Tarhiv* arhiv;
