// The statistics window, "Статистика и графики": standard errors and intervals of the
// allele frequencies with a warning where the bootstrap cannot work, the fit tests beside
// the report's pooled line with a note on saturated models, the Pearson residuals and two
// charts, and the identification and parentage figures with the gene diversity, for the
// last completed calculation. The immediate figures are shown at
// once; "Рассчитать" runs the bootstrap and the Monte-Carlo test, then the bootstrap of the
// identification figures, on a worker thread with a progress bar, and "Отменить" stops it, leaving
// nothing of the run on screen. "Сохранить книгу" writes what is shown into the statistics
// workbook.
#pragma once

#include "compare/statistics_replicates.h"
#include "estimate/calculation_run.h"
#include "estimate/replicates.h"
#include "estimate/task_statistics.h"
#include "task/task_state.h"
#include "toolkit/background_run.h"
#include "toolkit/controls.h"
#include "toolkit/form.h"
#include "toolkit/string_grid.h"

#include <QChartView>
#include <QProgressBar>
#include <QSpinBox>
#include <QTabWidget>

#include <functional>
#include <memory>
#include <optional>

class TStatisticsForm : public Form
{
public:
    TStatisticsForm();
    ~TStatisticsForm() override;

    QTabWidget* PageControl1;
    StringGrid* StringGrid1;   // alleles: estimate, standard error, 95% interval per criterion
    Label* Label6;             // where the bootstrap cannot work
    StringGrid* StringGrid2;   // fit tests per criterion
    Label* Label4;             // which models are saturated
    Label* Label1;             // why the Monte-Carlo probability matters
    StringGrid* StringGrid3;   // residuals per phenotype
    Button* Button4;           // "Наибольшие остатки первыми", checkable
    QChartView* ChartView1;    // observed against expected counts
    QChartView* ChartView2;    // allele frequencies with intervals
    StringGrid* StringGrid4;   // identification and parentage figures, gene diversity
    Label* Label5;             // "Критерий:"
    RadioButton* RadioButton1; // МП: the criterion of the bar chart and of the residual order
    RadioButton* RadioButton2; // МНК
    RadioButton* RadioButton3; // МННК
    Label* Label2;             // "Повторений B:"
    QSpinBox* SpinEdit1;       // B, 100..100000
    Button* Button1;           // "Рассчитать"
    Button* Button2;           // "Отменить"
    QProgressBar* ProgressBar1;
    Label* Label3;   // state of the replicate run
    Button* Button3; // "Сохранить рисунок"
    Button* Button5; // "Сохранить книгу": the statistics workbook

    // Takes the results of a completed calculation of the task with its counts; earlier
    // replicate figures are dropped.
    void setCalculation(const TaskState& task, const CalculationResult& result);

    void Button1Click();
    void Button2Click();
    void Button3Click();
    void Button4Click();
    void Button5Click();

    // Whether a replicate run is going on.
    bool running() const { return run_->running(); }

    // Test seams: where "Сохранить рисунок" and "Сохранить книгу" write; empty restores the
    // file dialog.
    static void setImageFileChooserForTests(std::function<QString()> chooser);
    static void setWorkbookFileChooserForTests(std::function<QString()> chooser);

protected:
    void FormActivate() override;
    void FormClose() override;

private:
    int chosenCriterion() const; // 0..2
    void showTables();
    void showResiduals();
    void showCharts();
    void showReplicates(StatisticsReplicates result);
    void stopReplicates();

    std::unique_ptr<TaskState> task_;
    std::optional<TaskStatistics> statistics_;
    std::optional<ReplicateResult> replicates_;
    std::optional<SystemFigures> figures_;
    std::optional<ForensicIntervals> forensicIntervals_;

    BackgroundRun* run_;
};

extern TStatisticsForm* StatisticsForm;
