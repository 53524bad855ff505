// The window "Проверка родства": a parentage case over one or more systems. Each line of the
// case picks a task of the archive (its list, the selection key honoured), calculated by
// maximum likelihood when picked, and the phenotypes of the mother (optional), the child and
// the alleged father, chosen from the system's phenotypes or typed as their tests.
// "Проверить" judges every system and the case, "Сохранить книгу" writes what is shown as a
// workbook.
#pragma once

#include "compare/parentage_check.h"
#include "toolkit/controls.h"
#include "toolkit/form.h"
#include "toolkit/string_grid.h"

#include <QComboBox>
#include <QTableWidget>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class TParentageForm : public Form
{
public:
    TParentageForm();
    ~TParentageForm() override;

    Label* Label1;           // what to enter
    QTableWidget* Table1;    // a line per system: task, mother, child, father
    Button* Button1;         // "Добавить систему"
    Button* Button2;         // "Удалить систему"
    Button* Button3;         // "Проверить"
    Button* Button4;         // "Сохранить книгу"
    StringGrid* StringGrid1; // the verdict per system
    StringGrid* StringGrid2; // the verdict over the systems

    // The boxes of line `line`: 0 the task, 1 the mother, 2 the child, 3 the father.
    QComboBox* box(int line, int column) const;

    void Button1Click();
    void Button2Click();
    void Button3Click();
    void Button4Click();

    // Test seam: where "Сохранить книгу" writes; empty restores the file dialog.
    static void setWorkbookFileChooserForTests(std::function<QString()> chooser);

protected:
    void FormActivate() override;

private:
    struct System; // a line's calculated task
    void taskChosen(int line);
    void clearVerdict();

    std::vector<std::unique_ptr<System>> systems_; // a line each
    std::vector<SystemCheck> checks_;              // the last verdict shown
    std::optional<CaseVerdict> verdict_;
};

extern TParentageForm* ParentageForm;
