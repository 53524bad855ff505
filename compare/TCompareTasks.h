// The window of "Сравнить задачи": the tasks the archive list shows (the selection key
// honoured), each with a box to tick; "Сравнить" reads the ticked tasks from the archive,
// checks that they can be compared and opens the comparison window with them.
#pragma once

#include "toolkit/controls.h"
#include "toolkit/form.h"

#include <QListWidget>

#include <cstddef>
#include <vector>

class TComparisonForm;

class TCompareTasks : public Form
{
public:
    TCompareTasks();

    Label* Label1;              // "Отметьте задачи для сравнения"
    QListWidget* CheckListBox1; // one line per listed task, newest first
    Button* Button1;            // "Сравнить"

    void Button1Click();

    // The comparison window it opens.
    TComparisonForm* comparison() const { return comparison_; }

protected:
    void FormActivate() override;

private:
    std::vector<std::size_t> rows_; // the SPISOK row of each line
    TComparisonForm* comparison_;
};
