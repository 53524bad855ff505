// The label window of the archive: the population and system names to give the tasks selected
// in the archive list. "Записать" closes it with the names; the close box or "Отмена" leaves
// the labels as they were.
#pragma once

#include "toolkit/controls.h"
#include "toolkit/form.h"

class TLabelsForm : public Form
{
public:
    TLabelsForm();

    Label* Label1;   // "Название популяции"
    Edit* Edit1;     // the population
    Label* Label2;   // "Название системы"
    Edit* Edit2;     // the system
    Button* Button1; // "Записать"
    Button* Button2; // "Отмена"

    // Shows the window with the given names in its fields; true when it was closed by
    // "Записать", the fields then holding the names to set.
    bool askLabels(const QString& population, const QString& system);

    void Button1Click();
    void Button2Click();

protected:
    void FormActivate() override;

private:
    bool accepted_ = false;
};
