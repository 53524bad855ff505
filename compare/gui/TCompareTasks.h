// The window of "Сравнить задачи": the tasks the archive list shows (the selection key
// honoured), each with a box to tick; "Сравнить" reads the ticked tasks from the archive,
// checks that they can be compared and opens the comparison window with them.
#pragma once

#include "toolkit/controls.h"
#include "toolkit/form.h"

#include <QListWidget>

class TComparisonForm;

class TCompareTasks : public Form
{
public:
    TCompareTasks();

    Label* Label1;              // "Отметьте задачи для сравнения"
    QListWidget* CheckListBox1; // line i for SPISOK's visible row i, newest first
    Button* Button1;            // "Сравнить"

    void Button1Click();

    // The comparison window it opens.
    TComparisonForm* comparison() const { return comparison_; }

protected:
    void FormActivate() override;

private:
    TComparisonForm* comparison_;
};
