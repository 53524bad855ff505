// The window "Сравнение популяций по системам": the population labels of the archive, each
// with a box to tick; "Сравнить" reads the tasks of the ticked populations and compares them
// over every system they share, on a worker thread with a progress bar ("Отменить" and
// closing the window stop it). The combined tables (Nei's distance over all systems, the
// homogeneity test summed, the trees and each population's combined figures) and a page per
// system are shown in tabs; "Сохранить книгу" writes them as a workbook.
#pragma once

#include "compare/population_study.h"
#include "compare/study_workbook.h"
#include "toolkit/background_run.h"
#include "toolkit/controls.h"
#include "toolkit/form.h"
#include "toolkit/string_grid.h"

#include <QListWidget>
#include <QProgressBar>
#include <QTabWidget>

#include <functional>
#include <optional>

class TStudyForm : public Form
{
public:
    TStudyForm();
    ~TStudyForm() override;

    Label* Label1;              // "Отметьте популяции"
    QListWidget* CheckListBox1; // the population labels of the archive, in alphabetical order
    Button* Button1;            // "Сравнить"
    QTabWidget* PageControl1;   // "Все системы", then a page per system
    StringGrid* StringGrid1;    // the combined Nei distance
    StringGrid* StringGrid2;    // the summed homogeneity test
    StringGrid* StringGrid3;    // the combined figures per population
    Label* Label2;              // the trees in Newick
    QProgressBar* ProgressBar1; // steps done
    Label* Label3;              // state of the run
    Button* Button2;            // "Отменить"
    Button* Button3;            // "Сохранить книгу"

    void Button1Click();
    void Button2Click();
    void Button3Click();

    bool running() const { return run_->running(); }
    const std::optional<StudyTables>& tables() const { return tables_; }

    // Test seam: where "Сохранить книгу" writes; empty restores the file dialog.
    static void setWorkbookFileChooserForTests(std::function<QString()> chooser);

protected:
    void FormActivate() override;
    void FormClose() override;

private:
    // Runs the comparison of the samples on the worker thread; finish takes its result.
    void startStudy(std::vector<StudySample> samples, std::vector<Cp1251Text> populations);
    void finish(PopulationStudy study);
    void stop();
    void showTables();
    void dropSystemPages();

    std::optional<StudyTables> tables_;
    std::vector<StudySample> samples_;    // the worker's input
    std::vector<Cp1251Text> populations_; // the worker's input
    BackgroundRun* run_;
};
