// The comparison window, "Сравнение задач": allele frequencies with standard errors per task
// and pooled, the homogeneity test, the two distance matrices and the UPGMA tree of the
// tasks it is given. The estimates run on a worker thread with a progress bar as soon as the
// window is shown; "Отменить" stops them, and closing the window stops them too.
#pragma once

#include "compare/comparison_report.h"
#include "compare/gui/comparison_tree.h"
#include "toolkit/background_run.h"
#include "toolkit/controls.h"
#include "toolkit/form.h"
#include "toolkit/string_grid.h"

#include <QProgressBar>
#include <QTabWidget>

#include <functional>
#include <optional>

class TComparisonForm : public Form
{
public:
    TComparisonForm();
    ~TComparisonForm() override;

    QTabWidget* PageControl1;
    StringGrid* StringGrid1; // allele frequencies and standard errors
    StringGrid* StringGrid2; // the homogeneity test
    Label* Label1; // "Стандартное генетическое расстояние Нея D"
    StringGrid* StringGrid3; // Nei's distances
    Label* Label2; // "Хордовое расстояние Кавалли-Сфорца и Эдвардса"
    StringGrid* StringGrid4;    // chord distances
    ComparisonTree* PaintBox1;  // the tree
    Label* Label4;              // the tree in Newick
    QProgressBar* ProgressBar1; // estimates done
    Label* Label3;              // state of the run
    Button* Button1;            // "Отменить"
    Button* Button2;            // "Сохранить рисунок"
    Button* Button3;            // "Сохранить книгу"

    // The tasks to compare; they must pass comparisonMismatch. Earlier results are dropped.
    void setSamples(std::vector<PopulationSample> samples);

    void Button1Click();
    void Button2Click();
    void Button3Click();

    bool running() const { return run_->running(); }
    const std::optional<ComparisonReport>& report() const { return report_; }

    // Test seams: where "Сохранить рисунок" and "Сохранить книгу" write; empty restores the
    // file dialogs.
    static void setImageFileChooserForTests(std::function<QString()> chooser);
    static void setWorkbookFileChooserForTests(std::function<QString()> chooser);

protected:
    void FormActivate() override;
    void FormClose() override;

private:
    void finish(ComparisonReport report);
    void stop();
    void showReport();

    std::vector<PopulationSample> samples_;
    std::optional<ComparisonReport> report_;
    ComparisonTables tables_; // the texts of report_, shown and saved
    BackgroundRun* run_;
};
