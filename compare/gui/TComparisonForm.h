// The comparison window, "Сравнение задач": allele frequencies with standard errors per task
// and pooled, the homogeneity test, the two distance matrices and the UPGMA tree of the
// tasks it is given, and their structure: diversity and differentiation, the pairwise tests,
// Reynolds' distance, the neighbor-joining tree, the allele triangle and the principal
// components. The estimates run on a worker thread with a progress bar as soon as the window
// is shown; "Рассчитать" runs the structure again on the chosen distance with B bootstrap
// replicates (the intervals and the trees' support). "Отменить" stops a run, and closing the
// window stops it too. The distances of the trees are saved as PHYLIP, MEGA and NEXUS files.
#pragma once

#include "compare/comparison_report.h"
#include "compare/gui/branch_tree_view.h"
#include "compare/gui/comparison_tree.h"
#include "compare/gui/structure_plots.h"
#include "toolkit/background_run.h"
#include "toolkit/controls.h"
#include "toolkit/form.h"
#include "toolkit/string_grid.h"

#include <QComboBox>
#include <QProgressBar>
#include <QSpinBox>
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
    StringGrid* StringGrid5;    // diversity per task
    StringGrid* StringGrid6;    // differentiation
    StringGrid* StringGrid7;    // pairwise tests
    StringGrid* StringGrid8;    // Reynolds' distances
    BranchTreeView* PaintBox2;  // the neighbor-joining tree
    Label* Label7;              // it in Newick
    TrianglePlot* PaintBox3;
    ComponentsPlot* PaintBox4;
    QComboBox* ComboBox1; // the trees' distance: Nei, chord, Reynolds
    QSpinBox* SpinEdit1;  // B, 100..100000
    Button* Button4;      // "Рассчитать"
    Button* Button5;      // "Файл PHYLIP"
    Button* Button6;      // "Файл MEGA"
    Button* Button7;      // "Файл NEXUS"

    // The tasks to compare; they must pass comparisonMismatch. Earlier results are dropped.
    void setSamples(std::vector<PopulationSample> samples);

    void Button1Click();
    void Button2Click();
    void Button3Click();
    void Button4Click();
    // Saves the distances of the trees in format 0 PHYLIP, 1 MEGA, 2 NEXUS.
    void saveDistances(int format);

    bool running() const { return run_->running(); }
    const std::optional<ComparisonReport>& report() const { return report_; }

    // Test seams: where "Сохранить рисунок" and "Сохранить книгу" write; empty restores the
    // file dialogs.
    static void setImageFileChooserForTests(std::function<QString()> chooser);
    static void setWorkbookFileChooserForTests(std::function<QString()> chooser);
    static void setDistanceFileChooserForTests(std::function<QString()> chooser);

protected:
    void FormActivate() override;
    void FormClose() override;

private:
    QWidget* picture(int page) const; // the plot on the page, or nothing
    StructureSettings structureSettings(int replicates, std::int64_t offset);
    void startRun(const QString& state, int steps);
    void enableResultButtons();
    void finish(ComparisonReport report);
    void finishStructure(PopulationStructure structure);
    void stop();
    void showReport();

    std::vector<PopulationSample> samples_;
    std::optional<ComparisonReport> report_;
    ComparisonTables tables_; // the texts of report_, shown and saved
    BackgroundRun* run_;
};
