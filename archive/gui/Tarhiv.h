// The archive window: the list of saved tasks (the live rows of SPISOK, newest first) with
// its buttons to open a task into the allele and control windows, to delete one, and to
// narrow the list to the tasks whose names contain a key, and to compare tasks of the list.
// The list shows each task's population and system labels beside its name, and the labels of
// the selected tasks (one line or several, with Ctrl and Shift) can be set; populations are
// compared by their labels over the systems they share.
#pragma once

#include "archive/task_labels.h"
#include "toolkit/controls.h"
#include "toolkit/db_grid.h"
#include "toolkit/form.h"

#include <map>

class TCompareTasks;
class TLabelsForm;
class TStudyForm;

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
    Button* Button6; // "Метки задач"
    Button* Button7; // "Сравнить популяции"

    TCompareTasks* CompareTasks; // the window Button5 opens
    TLabelsForm* LabelsForm;     // the window Button6 opens
    TStudyForm* StudyForm;       // the window Button7 opens

    void Button1Click();
    void Button2Click();
    void Button3Click();
    void Button4Click();
    void Button5Click();
    void Button6Click();
    void Button7Click();

    // Reads the labels the list shows anew from METKI.DBF: after anything that saves, deletes
    // or relabels tasks while the window is open.
    void refreshLabels();

protected:
    void FormActivate() override;

private:
    // The label text of the list's row: the population or the system.
    QString labelText(const Table& spisok, std::size_t row, bool system) const;

    std::map<int, TaskLabels> labels_; // the labelled tasks by key, as last read
};

extern Tarhiv* arhiv;
